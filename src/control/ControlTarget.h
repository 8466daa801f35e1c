// The window as the control server sees it: the one seam between outside commands and the
// shell. The server never touches the engine's state itself; a run command goes to the window
// as a menu command, and goes through everything the menu item goes through (the input
// lockout, the questions before results are lost, the refresh of the grid).
//
//   class Window : public control::ControlTarget {
//       const QuorvelClass* Engine() const override { return TimerData.get(); }
//       void RunMenuCommand(control::MenuCommand command) override {
//           switch (command) { case control::MenuCommand::kStartSplit: DoSplitMenuClick(); ... }
//       }
//       bool RunCommandsPaused() const override { return prompts.Open(); }   // a dialog is up
//       bool ReadOnly() const override { return TimerData->ReadOnly; }
//       bool FinishedRunKept() const override { return runKept_; }
//   };
//
// Plain C++: the protocol and its tests use it without Qt. Main thread only.
#pragma once

class QuorvelClass;

namespace control {

// The Timer menu's run commands, as the window's menu items run them.
enum class MenuCommand {
    kStartSplit,   // Start / Split: starts a reset run, resumes a paused one, splits a running one
    kSkipSplit,    // Skip Split
    kUndoSplit,    // Undo Split
    kPauseResume,  // Pause / Resume: also starts a reset run
    kReset,        // Reset
};

class ControlTarget {
  public:
    virtual ~ControlTarget() = default;

    // The engine the window shows, read for the queries; null when there is none.
    virtual const QuorvelClass* Engine() const = 0;
    // Runs the command exactly as its menu item does. Only called when neither of the two
    // below holds.
    virtual void RunMenuCommand(MenuCommand command) = 0;
    // True while a dialog is open in the window: outside run commands are then refused (not
    // kept for later), as the global hotkeys are.
    virtual bool RunCommandsPaused() const = 0;
    // True for a window that opened its split file read-only (another window has it): its
    // outside run commands are ignored; queries are still answered.
    virtual bool ReadOnly() const = 0;
    // True while a finished run has been kept in place of the kept run (by the autosave at its
    // last split, or by Save Run): the engine then reads as paused at the first split with the
    // final time on its clock, but the run is over. It reads as Ended, its times are those of
    // the kept run, and Start / Split begins a new attempt, as the menu's does.
    virtual bool FinishedRunKept() const { return false; }
};

}  // namespace control
