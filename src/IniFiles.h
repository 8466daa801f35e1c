// The settings store: text values filed under a section and a key, read from and written
// to an INI file. It knows nothing of what any setting means.
//
//   [Misc]
//   AutoSaveBestRun=N
//
//   [Window]
//   Left=12
//
// Keys the program never asks for survive a read and a save; comments, blank lines, line
// order and malformed lines do not. Names and values are kept byte for byte.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class IniFileClass {
  public:
    // Section -> key -> value, each ordered byte-wise. A section exists only while it holds
    // at least one key.
    std::map<std::string, std::map<std::string, std::string>> Sections;
    // The path of the last ReadIniFile, "" when that file could not be opened.
    std::string IniFileName;

    // Empties the store and reads path. A missing or unreadable file (a folder included)
    // leaves the store empty and IniFileName "", so a later save writes nothing.
    void ReadIniFile(std::string path);
    // Writes every section and key to IniFileName, atomically: a failed write leaves the old
    // file whole. Returns false when nothing was written (no file name, or the write failed),
    // with *reason (when given) saying why: "No space left on device".
    bool SaveIniFile(std::string* reason = nullptr);

    // The stored value, or def when the section or key is missing. Reads never create keys.
    std::string ReadString(std::string section, std::string key, std::string def);
    // atoi of the stored value, clamped to the 32-bit range ("12px" -> 12, "" -> 0).
    std::int32_t ReadInteger(std::string section, std::string key, std::int32_t def);
    // atof of the stored value ("0.5" -> 0.5, "" -> 0.0).
    double ReadFloat(std::string section, std::string key, double def);
    void WriteString(std::string section, std::string key, std::string value);
    void WriteInteger(std::string section, std::string key, std::int32_t value);  // "%d"
    void WriteFloat(std::string section, std::string key, double value);          // "%f"

    // Cuts text at every run of CR and LF characters; blank lines disappear and a final
    // line end gives no empty line: "a\r\n\r\nb\n" -> {"a", "b"}, "\na" -> {"", "a"}.
    void ParseLines(std::string text, std::vector<std::string>* lines);
};
