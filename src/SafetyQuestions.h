// The questions asked before a runner's results are dropped, replaced or written over: each
// a standard message box with the safe answer as its default, and Escape as Cancel. The
// texts are built from what is at stake ("This run (36.26) is slower than the kept run
// (32.93). Replace the kept run?"), and the shell asks only when something is.
//
// Each is asked through Ask (Prompts.h):
//
//   const Question q = ReplaceKeptRunQuestion(concern);
//   if (Ask(q) != Answer::Replace) return;   // Cancel, Escape or the close box
#pragma once

#include <string>

#include "Prompts.h"
#include "ResultsAtRisk.h"

// What would lose the results.
enum class Losing { ByReset, ByQuit, ByOpeningAnother };

// Reset, Quit, or another split file opened (Open, New Route, Import, Open Split State) with a
// faster finished run or new best segments not saved: "Save your new personal best before
// resetting?" / "...before quitting?" / "...before opening another split file?" — Save
// (default), Discard, Cancel. With only new best segments: "Save your new best segments ...?".
Question SaveBeforeLosingQuestion(Losing how, const UnsavedResults& results);

// Save Run over a faster kept run, or with an unfinished run: Replace, Cancel (default).
//   "This run (36.26) is slower than the kept run (32.93). Replace the kept run?"
//   "This run is unfinished (1 of 3 splits done). Replace the kept run (32.93)?"
Question ReplaceKeptRunQuestion(const SaveRunConcern& concern);

// A write of the split file found it changed by another program: Reload (default),
// Overwrite, Cancel.
Question ChangedOnDiskQuestion(const std::string& path);

// A file Quorvel would write over (New Route, Import, Export) and what that loses, in the
// replace check's words: Replace, Cancel (default).
//   "route.lss is a LiveSplit file with 1,788 attempts; replacing it loses them." and
//   "Cancel keeps it as it is."
Question ReplaceFileQuestion(const std::string& loss);

// Export onto a LiveSplit file that can be updated in place: Update, Cancel (default).
//   "Update route.lss?" and "What Quorvel does not hold is kept."
Question UpdateFileQuestion(const std::string& path);

// The split file is open in another window: Read-Only (default), Cancel.
Question OpenReadOnlyQuestion(const std::string& path);

// A file not opened, with what it looks like and the first bad line: OK only; a split file
// with mistakes the route editor can mend offers Open in Editor and Cancel (the default).
//   "any.lss was not opened: this looks like a LiveSplit split file (XML)." and "The file
//   was left as it is."
Question RefusedFileNotice(const std::string& path, const std::string& why, bool mendable = false);

// Quit or closing the window while the last save failed: Retry (default), Quit Anyway, Cancel.
//   "Your run could not be saved (No space left on device)."
Question QuitAfterFailedSaveQuestion(const std::string& reason);
