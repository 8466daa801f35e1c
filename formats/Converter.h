// Converts a split file between this timer's format (.txt), the XML format (.lss) and the
// JSON format of the Linux timers (.json), chosen by the files' extensions. Used by the
// command line tool and by the window's Import and Export commands.
//
//   ConvertSplitFile("/runs/tunic.lss", "/runs/tunic.txt", {}, &report)
//     -> {Ok}, /runs/tunic.txt and its icons /runs/tunic-1.png ... written,
//        report.LeftBehindLine() "Left behind: 1,788 attempts of history"
//   ConvertSplitFile("/runs/bad.lss", ...)
//     -> {BadInput, "/runs/bad.lss: line 7: malformed XML: Start-end tags mismatch"},
//        nothing written
//
// The converted file is written atomically, and only when the whole input was read; icons
// that came inside the input are written beside it first ("<name>-<split>.<ext>") and
// removed again when the file itself cannot be written.
#pragma once

#include <string>

#include "ConvertReport.h"
#include "TimingMethod.h"

enum class SplitFormat { Unknown, Quorvel, Lss, UrnJson };

// By extension, any case: ".txt" Quorvel, ".lss" Lss, ".json" UrnJson, else Unknown.
SplitFormat SplitFormatOfPath(const std::string& path);

struct ConvertResult {
    enum Status { Ok, BadInput, WriteFailed, BadUsage } Outcome = Ok;
    std::string Message;  // one line, naming the file; "" when Ok
};

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               TimingMethod timing, ConvertReport* report);
