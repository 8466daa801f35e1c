// Converts a split file between this timer's format (.txt), the XML format (.lss) and the
// JSON format of the Linux timers (.json), chosen by the files' extensions. Used by the
// command line tool and by the window's Import and Export commands.
//
//   ConvertSplitFile("/runs/tunic.lss", "/runs/tunic.txt", ConvertOptions{}, &report)
//     -> {Ok}, /runs/tunic.txt and its icons /runs/tunic-1.png ... written,
//        report.LeftBehindLine() "Left behind: 1,788 attempts of history"
//   ConvertSplitFile("/runs/bad.lss", ...)
//     -> {BadInput, "/runs/bad.lss: line 7: malformed XML: Start-end tags mismatch"},
//        nothing written
//   ConvertSplitFile("/runs/a.txt", "/runs/a.lss", ConvertOptions{}, &report), a.lss there
//     -> {OutputExists, "/runs/a.lss: already exists: a.lss is a LiveSplit file with 1,788
//        attempts; replacing it loses them."}, nothing written (OutputExists messages end
//        in a full stop)
//
// Nothing is ever written over a file but OUT, and OUT only with Replace; IN is never
// written. OUT is written atomically through a temporary file of its own, and only when the
// whole input was read. Icons that came inside the input, and pictures that must go along
// with OUT to another folder, are written beside OUT only after OUT is in place, each under
// a free name ("tunic-1.png", "tunic-1-2.png" when that is taken). When
// OUT cannot be written, or the conversion is cancelled, every file it made is removed and
// no other.
//
// Picture names read from a file are taken only as relative names inside the file's
// folder, naming regular files of at most kMaxPictureBytes (PictureFiles.h); any other is
// left behind and named in the report: Left behind: the picture "/etc/passwd" of "Forest"
// (not inside the route's folder).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "ConvertReport.h"
#include "RouteFiles.h"
#include "TimingMethod.h"

struct ConvertOptions {
    TimingMethod Timing = TimingMethod::Automatic;
    // An existing OUT may be replaced (quorvel-convert --force, or the window once the runner
    // has said so). Without it an existing OUT is refused and nothing is written.
    bool Replace = false;
    // Called once the input is read, with 0 of all the steps (one per picture to read or
    // write, and one for OUT), and again after each step; answering false cancels the
    // conversion: nothing is written and no file of it is left behind.
    std::function<bool(std::size_t done, std::size_t total)> Progress;
};

struct ConvertResult {
    enum Status {
        Ok,
        BadInput,      // IN cannot be read as its format says
        WriteFailed,   // OUT cannot be written
        BadUsage,      // an extension is not .txt, .lss or .json
        SameFile,      // OUT is IN (the same path, a link to it or a hard link)
        OutputExists,  // OUT is there and Replace was not given
        Cancelled,     // Progress answered false
    } Outcome = Ok;
    std::string Message;  // one line, naming the file; "" when Ok
};

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               const ConvertOptions& options, ConvertReport* report);

// The window's Import and Export, which ask the runner before they name an existing OUT:
// as above with Replace set.
ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               TimingMethod timing, ConvertReport* report);
