// The shell's guard of a runner's results, between the menu commands and the engine: it
// refuses files that are not split files before they are loaded, keeps one window per split
// file (with a read-only second one), asks before Reset, Quit and Save Run drop or replace a
// result, asks before a write goes over a change made outside, and asks before quitting with
// a failed save. Each question only when there is something to lose; the questions about
// results can be switched off (Options ▸ Ask Before Losing Results).
//
//   ResultGuard guard(*TimerData);
//   if (!guard.BeforeOpen(path)) return;   // refused: said so; the open file stays
//   TimerData->LoadSplitData(path);
//   ...
//   if (!guard.BeforeReset()) return;      // Cancel
//   TimerData->ClearTimer();
//   guard.AfterWrites();                   // an outside change found by a write: asked
#pragma once

#include <memory>
#include <string>

#include "QuorvelEngine.h"
#include "SafetyQuestions.h"
#include "SplitFileLock.h"

class ResultGuard {
  public:
    explicit ResultGuard(QuorvelClass& engine) : engine_(engine) {}

    // Misc/AskBeforeLosingResults: the Reset, Quit and Save Run questions.
    bool AskBeforeLosingResults = true;

    // Checks the file's text and takes its lock. False when it must not be loaded: a file
    // that is not a split file (told in a message naming the file, what it looks like and
    // the first bad line) or one the runner would not open read-only. Read-only is offered,
    // with the reason as the question, when the file is open in another window, when it has
    // several names (hard links: an atomic save would part this name from the others), and
    // when no lock can be taken. When the runner chose read-only, the engine is set ReadOnly.
    // The file is never written.
    bool BeforeOpen(const std::string& path);
    // Why the last BeforeOpen refused, for the tests and the log: "This looks like ...".
    const std::string& LastRefusal() const { return lastRefusal_; }
    // True when the last BeforeOpen let through a split file with mistakes (a row without a
    // TAB, a notes line missing, text that is no time) because the runner chose Open in
    // Editor: the shell reads it leniently and shows it in the route editor to mend it.
    bool MendRequested() const { return mendRequested_; }

    // Before ClearTimer: a faster finished run or new best segments that the reset would
    // lose. Save keeps them (as Save Run / Save Best Splits do); false means Cancel.
    bool BeforeReset();
    // Before quitting: what the autosave options keep is kept (KeepWhatAutosaveKeeps), the
    // same question for the rest, then, if the last save of the split file or the split state
    // failed, Retry / Quit Anyway / Cancel. unfinishedRunKept: the quit keeps an unfinished
    // run as a split state. False means stay.
    bool BeforeQuit(bool unfinishedRunKept);
    // Before another split file replaces the open one (Open, New Route, Import, Open Split
    // State): what the autosave options keep is kept, then the question for the rest ("...
    // before opening another split file?"). False means Cancel: the open file stays.
    bool BeforeReplacing(bool unfinishedRunKept);
    // What the autosave options would keep of the run, kept now, without a question: its new
    // best segments with Autosave Best Splits on (unless the run stays as a split state), a
    // faster finished run with Autosave Best Run on. For a quit no one is asked about
    // (SIGTERM, SIGHUP), and before the questions above.
    void KeepWhatAutosaveKeeps(bool unfinishedRunKept);
    // Before KeepCurrentSplits: a slower or unfinished run over the kept run. False: Cancel.
    bool BeforeSaveRun();

    // After a command that may have written the split file: if a write found the file
    // changed on disk, asks Reload (the run in progress kept as a split state, then taken
    // up again) / Overwrite / Cancel. True when the grid was reloaded.
    bool AfterWrites();

  private:
    bool Asking() const { return AskBeforeLosingResults && !engine_.ReadOnly; }
    // The question before results are lost, for what is left of them; false: Cancel.
    bool AskBeforeLosing(Losing how, bool segmentsKeptAnyway);
    void SaveResults(bool fasterRun);

    QuorvelClass& engine_;
    std::unique_ptr<SplitFileLock> lock_;
    std::string lockedPath_;
    std::string lastRefusal_;
    bool mendRequested_ = false;
};
