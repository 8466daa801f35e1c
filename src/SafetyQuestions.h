// The questions asked before a runner's results are dropped, replaced or written over: each
// a standard message box with the safe answer as its default, and Escape as Cancel. The
// texts are built from what is at stake ("This run (36.26) is slower than the kept run
// (32.93). Replace the kept run?"), and the shell asks only when something is.
//
// Tests answer without a human: SetAnswererForTests installs a function that gets the
// question (text and buttons) and returns the answer.
//
//   const Question q = ReplaceKeptRunQuestion(concern);
//   if (Ask(q) != Answer::Replace) return;   // Cancel, Escape or the close box
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ResultsAtRisk.h"

enum class Answer {
    Save,
    Discard,
    Cancel,
    Replace,
    Reload,
    Overwrite,
    Retry,
    QuitAnyway,
    ReadOnly,
    Ok,
    OpenInEditor,
};

struct Question {
    std::string Text;         // the question itself
    std::string Informative;  // what is at stake, or ""
    std::vector<Answer> Buttons;
    Answer Default = Answer::Cancel;  // taken by Return; Escape always gives Cancel
};

// Shows the question in a modal message box and returns the button pressed; Escape and the
// close box give Cancel. Without a running application (and no answerer), Cancel.
Answer Ask(const Question& question);

// While set, Ask returns what answerer says instead of showing a dialog. nullptr removes it.
void SetAnswererForTests(std::function<Answer(const Question&)> answerer);

// The button's title: Answer::QuitAnyway -> "Quit Anyway".
std::string ButtonTitle(Answer answer);

// Reset or Quit with a faster finished run or new best segments not saved:
//   "Save your new personal best before resetting?" / "...before quitting?" — Save (default),
//   Discard, Cancel. With only new best segments: "Save your new best segments before ...?".
Question SaveBeforeLosingQuestion(bool quitting, const UnsavedResults& results);

// Save Run over a faster kept run, or with an unfinished run: Replace, Cancel (default).
//   "This run (36.26) is slower than the kept run (32.93). Replace the kept run?"
//   "This run is unfinished (1 of 3 splits done). Replace the kept run (32.93)?"
Question ReplaceKeptRunQuestion(const SaveRunConcern& concern);

// A write of the split file found it changed by another program: Reload (default),
// Overwrite, Cancel.
Question ChangedOnDiskQuestion(const std::string& path);

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
