// Picture files named inside a split file (a picture cell, a JSON "icon"): a file is only
// ever read or named on when the name is a plain relative name inside the route's folder,
// so a hostile file cannot make a conversion copy out or embed any other file the runner
// can read. Every fault is a short reason for the report's left-behind line.
//
//   PictureNameFault("level1.png")          -> ""
//   PictureNameFault("icons/boss.png")      -> ""
//   PictureNameFault("/proc/self/environ")  -> "not inside the route's folder"
//   PictureNameFault("../../secret")        -> "not inside the route's folder"
//
//   ReadPictureFile("/runs/", "level1.png", &bytes)  -> "" and the file's bytes
//   ReadPictureFile("/runs/", "fifo.png", &bytes)    -> "not a regular file"
#pragma once

#include <string>
#include <string_view>

// Why name is not a plain relative name inside a folder, or "" when it is: absolute names,
// a ".." anywhere and control characters (a TAB, a line break) are refused.
std::string PictureNameFault(std::string_view name);

// Reads the picture file name names in folder into *bytes, or says why not: the name is
// refused (above); the file is missing, a folder, a FIFO or a device; it is larger than
// kMaxPictureBytes; a folder on the way is a symbolic link; or the name is a symbolic link
// that another user made or that leads out of the folder.
std::string ReadPictureFile(const std::string& folder, const std::string& name, std::string* bytes);
