// The history of the route open in the window: every attempt recorded as it is run, in the
// database beside the split file (route.txt -> route.history.sqlite, history/), and read
// back for the statistics window and the route editor. One per window,
// owned by the shell: opened when a split file is loaded, opened again for another one,
// closed at quit.
//
//   history.Open();              // after LoadSplitData: "" or the refusal for the window:
//                                // "route.history.sqlite was not opened: it is damaged."
//   history.SettleUnfinished(/*undecided=*/false);   // after the question to resume a run
//   history.Started();           // after StartTimer
//   history.SplitMade(0);        // after DoSplit timed split 0; SplitSkipped, SplitUndone
//   history.Finished();          // after the last split
//   history.Reset();             // before ClearTimer
//   history.Left();              // before another file is loaded, or at quit, mid-run
//
// Every record is handed to the recorder's writer thread and returns at once: a split costs
// the window a lock, never a wait on the disk. The writer is woken once the change is drawn
// (tk::AfterPaint), so that on a busy machine it takes no time from the drawing. A read-only
// window, a refused history file or no split file records nothing; the run works the same. A route
// with no history gets one at its next attempt.
//
// Attempts are recorded on the route's clock: the clock of its latest attempt (an imported
// game-time route stays on game time), real time for a route made in Quorvel. An attempt's
// paused time is the time the clock stood still between its start and its end.
//
// What an earlier process left unfinished (killed, or quit mid-run) follows the runner's
// answer to the question to resume it: the run taken up again continues the attempt, a run
// not taken up (discarded, or no split state to offer) drops it, and a question closed
// without an answer leaves it for the next open.
//
// Main thread only (the recorder's thread is its own).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HistoryRecorder.h"
#include "QuorvelEngine.h"
#include "Toolkit.h"

class RouteHistory {
  public:
    // engine: the shell's engine holder, which may be empty (before launch, after quit).
    explicit RouteHistory(const std::unique_ptr<QuorvelClass>& engine) : engine_(engine) {}
    RouteHistory(const RouteHistory&) = delete;
    RouteHistory& operator=(const RouteHistory&) = delete;

    // ---- The route ----
    // Opens the history of the split file the engine holds, for recording unless the engine
    // is read-only, closing the one open before. "" or the one line that says why the file
    // was refused (never written, and nothing recorded until the route is opened again).
    std::string Open();
    // Writes what is queued and closes the file: no route, or quitting.
    void Close();
    // After Open and the question to resume an unfinished run: a run in progress in the
    // engine continues the attempt the history holds unfinished (or starts one with its
    // splits); with none, that attempt is dropped; undecided leaves it as it is.
    void SettleUnfinished(bool undecided);
    // The split file was loaded again (changed outside Quorvel): the history follows its
    // split names when they changed; a run in progress goes on being recorded.
    void Reloaded();
    // After the route editor's OK changed the route: the history follows each split to its
    // new place (oldIndex: for each split now, where it was; none for an inserted one). ""
    // or why it could not ("History not changed: database or disk is full"); then the
    // history is matched to the new splits by their names.
    std::string RouteEdited(const std::vector<std::optional<std::size_t>>& oldIndex);

    bool Recording() const { return recorder_.Recording(); }
    history::TimeClock Clock() const { return clock_; }
    // The last failure to write the history ("History not saved: database or disk is
    // full"), "" while writes succeed.
    std::string Problem() const { return recorder_.Problem(); }

    // ---- The run, as the engine carries out each command ----
    void Started();                // after StartTimer
    void SplitMade(unsigned row);  // after DoSplit timed row (the clock read from the engine)
    void SplitSkipped(unsigned row);
    void SplitUndone(unsigned row);  // row: the split made again from now
    void Finished();                 // after the last split stopped the clock
    void Reset();                    // before ClearTimer
    void Left();                     // the route is left, or the window closed, mid-run

    // ---- Reading; each waits for the disk ----
    bool Load(history::History* out, std::string* problem);
    std::vector<std::size_t> TimesPerSplit();
    // Waits until everything recorded so far is written (tests, and the statistics window).
    void WaitUntilWritten() { recorder_.WaitUntilWritten(); }

  private:
    std::vector<std::string> SplitNames() const;
    std::int32_t PauseTime() const;
    std::int32_t TimeOnClock() const;
    // Holds the records from here until the window has drawn the command's change.
    void HoldUntilDrawn();

    const std::unique_ptr<QuorvelClass>& engine_;
    std::vector<std::string> names_;  // the split names the history was opened with
    history::TimeClock clock_ = history::TimeClock::Real;
    std::optional<history::Attempt> unfinished_;
    // The clock reading at which the attempt would have started had it never paused, and
    // the start offset it started from: the paused time is what the clock lost since.
    std::int32_t startClock_ = 0;
    std::int32_t startOffset_ = 0;

    history::HistoryRecorder recorder_;
    tk::AfterPaint drawn_{[this] { recorder_.Release(); }};
};
