// Converts a split file between this timer's format (.txt), the XML format (.lss) and the
// JSON format of the Linux timers (.json), chosen by the files' extensions, and carries the
// route's history with it. Used by the command line tool and by the window's Import and
// Export commands.
//
//   ConvertSplitFile("/runs/tunic.lss", "/runs/tunic.txt", ConvertOptions{}, &report)
//     -> {Ok}, /runs/tunic.txt and its icons /runs/tunic-1.png ... written, the attempts
//        and segment times in /runs/tunic.history.sqlite; report.Text() "1,788 attempts and
//        1,436 segment times kept (12 of them from ids with no attempt)"
//   ConvertSplitFile("/runs/bad.lss", ...)
//     -> {BadInput, "/runs/bad.lss: line 7: malformed XML: Start-end tags mismatch"},
//        nothing written
//   ConvertSplitFile("/runs/a.txt", "/runs/a.lss", ConvertOptions{}, &report), a.lss there
//     -> {OutputExists, "/runs/a.lss: already exists: a.lss is a LiveSplit file with 1,788
//        attempts; replacing it loses them."}, nothing written (OutputExists messages end
//        in a full stop); with Update: a.lss updated in place (LssUpdate.h)
//
// The history. From a .lss, its attempt list and segment histories (LssReader.h); from a
// .txt, the history database beside it (history/HistoryDatabase.h), read only. Into a .txt,
// the database beside it ("route.txt" -> "route.history.sqlite") is filled in one
// transaction once the split file is in place, with the clock the route was read on; into a
// .lss, AttemptHistory and SegmentHistory; a .json has no place for it: it is counted in the
// left-behind line. A .json IN holds none, which the report says: "No history: a JSON split
// file keeps only the attempt count". Times of a .txt route go to a .lss under the clock its
// history records (game time for a route imported on game time), unless Timing says otherwise. A
// history beside OUT that holds more attempts than the one written is a loss the runner is asked
// about (or refused, without a question), as an existing OUT is.
//
// Nothing is ever written over a file but OUT, and OUT only with Replace or Update; IN is
// never written. OUT is written atomically through a temporary file of its own, and only
// when the whole input was read. Icons that came inside the input, and pictures that must go
// along with OUT to another folder, are written beside OUT only after OUT is in place, each
// under a free name ("tunic-1.png", "tunic-1-2.png" when that is taken). When OUT cannot be
// written, or the conversion is cancelled, every file it made is removed and no other.
//
// Picture names read from a file are taken only as relative names inside the file's
// folder, naming regular files of at most kMaxPictureBytes (PictureFiles.h); any other is
// left behind and named in the report: Left behind: the picture "/etc/passwd" of "Forest"
// (not inside the route's folder).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "ConvertReport.h"
#include "LssReader.h"
#include "ReplaceCheck.h"
#include "RouteFiles.h"
#include "TimingMethod.h"

// What becomes of an OUT that is there already.
enum class ExistingOutput { Keep, Replace, Update };

struct ConvertOptions {
    TimingMethod Timing = TimingMethod::Automatic;
    // An existing OUT may be replaced (quorvel-convert --force). Without it, or Update, an
    // existing OUT is refused and nothing is written.
    bool Replace = false;
    // An existing .lss OUT is updated in place (quorvel-convert --update); any other
    // existing OUT is refused.
    bool Update = false;
    // Called once the input is read, with 0 of all the steps (one per picture to read or
    // write, and one for OUT), and again after each step; answering false cancels the
    // conversion: nothing is written and no file of it is left behind. The history is
    // written after the last step, beyond cancelling.
    std::function<bool(std::size_t done, std::size_t total)> Progress;

    // ---- The window's questions ----
    // Asked once IN is read, when it holds real and game times and Timing is Automatic: the
    // clock to read; nothing cancels.
    ClockChoice ChooseClock;
    // Asked when OUT is there (or a history beside it would be lost), with what replacing it
    // would lose; its answer stands in for Replace and Update (Keep cancels). Update is
    // taken only for a verdict that is Updatable.
    std::function<ExistingOutput(const ReplaceVerdict&)> DecideExisting;
};

struct ConvertResult {
    enum Status {
        Ok,
        BadInput,      // IN cannot be read as its format says
        WriteFailed,   // OUT cannot be written
        BadUsage,      // an extension is not .txt, .lss or .json
        SameFile,      // OUT is IN (the same path, a link to it or a hard link)
        OutputExists,  // OUT is there and neither Replace nor Update was given
        NotUpdatable,  // Update was asked for an OUT that cannot be updated
        Cancelled,     // Progress answered false, or a question Cancel
    } Outcome = Ok;
    std::string Message;  // one line, naming the file; "" when Ok
};

ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               const ConvertOptions& options, ConvertReport* report);

// As above with Replace set, as the tests and a caller that has asked already convert.
ConvertResult ConvertSplitFile(const std::string& inPath, const std::string& outPath,
                               TimingMethod timing, ConvertReport* report);
