// What writing a route to a path that is taken would lose, said in Quorvel's own words, for
// the questions before File ▸ New Route… and Export… write a file, and for the converter's
// refusal of an existing output. Only an older copy of the very route being written may be
// replaced without a word; everything else is named with what it holds.
//
//   CheckReplace("/runs/new.txt", "", route)        -> {Free, ""}            (nothing there)
//   CheckReplace("/runs/a.txt", "/runs/a.txt", r)    -> {SameFile, "a.txt is the file being
//                                                       written from."}
//   CheckReplace("/runs/route.txt", "", route)       -> {OlderCopyOfSameRoute, ""}: a split
//       file with the same description, split names and stored-run titles, no more attempts
//       and no note the route lacks
//   CheckReplace("/runs/route.lss", "", route)       -> {WouldLose, "route.lss is a LiveSplit
//       file with 1,788 attempts; replacing it loses them.", Updatable}
//   CheckReplace("/runs/README.md", "", route)       -> {WouldLose, "README.md is not a split
//       file; replacing it loses its contents."}
//   CheckReplace("/runs/route.txt", "", other)       -> {WouldLose, "route.txt is a Quorvel
//       split file with 57 attempts and notes; replacing it loses them."}
//
// inPath is the file the route comes from ("" when none): OUT is the same file when it is
// IN by device and inode, so a symbolic link or a hard link to IN counts as IN. The file at
// outPath is read no further than kMaxInputBytes; a link there is judged by what it leads to.
#pragma once

#include <string>

#include "RouteData.h"

struct ReplaceVerdict {
    enum Kind { Free, OlderCopyOfSameRoute, WouldLose, SameFile } Outcome = Free;
    std::string Loss;  // one sentence for WouldLose and SameFile; "" otherwise
    // A LiveSplit file that can be updated in place instead (LssUpdate.h).
    bool Updatable = false;
};

ReplaceVerdict CheckReplace(const std::string& outPath, const std::string& inPath,
                            const RouteData& writing);
