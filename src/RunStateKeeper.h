// The run-state autosave and the recovery question: a run in progress survives a crash or a
// kill of the application.
//
// While "Autosave Split State" is on and a split file is loaded, the split state is saved
// after every command that changes the run (start, split, skip, undo, pause, resume), as soon
// as the window has drawn the change, and every kSaveInterval of run time while the run runs; once
// the run is reset, finished or kept, its split-state file is removed, so it never offers a stale
// run. A kill therefore loses no split already made, and the run clock comes back at most
// kSaveInterval behind where it was. When a split file is opened whose split-state file holds an
// unfinished run of it, the runner is asked whether to take that run up again:
//   "An unfinished run was found (20:34.5, 7 of 20 splits done). Resume it?"
//
// Owned by the shell; works on the shell's engine and writes through the engine's
// SaveSplitStateData. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "QuorvelEngine.h"
#include "Toolkit.h"

class RunStateKeeper {
  public:
    static constexpr std::int32_t kSaveInterval = 500;  // hundredths of run time

    // engine: the shell's engine holder, which may be empty (before launch, after quit).
    explicit RunStateKeeper(const std::unique_ptr<QuorvelClass>& engine) : engine_(engine) {}
    RunStateKeeper(const RunStateKeeper&) = delete;
    RunStateKeeper& operator=(const RunStateKeeper&) = delete;

    // The question asked when a split file with an unfinished run is opened; the time as the
    // running-time display shows it, to tenths.
    //   (123450, 7, 20) -> "An unfinished run was found (20:34.5, 7 of 20 splits done).
    //   Resume it?"
    static std::string UnfinishedRunQuestion(std::int32_t runTime, unsigned doneSplits,
                                             unsigned rowCount);

    // "Autosave Split State": stored as "AutoSaveSplitState" under "Misc", on when missing.
    bool IsOn() const { return on_; }
    // Turning it off forgets a save a command asked for.
    void SetOn(bool on);

    // After a command that changed the run: with the autosave on and a split file loaded, the
    // split state is saved right after the window has drawn the change (so the disk never
    // holds up a split on the screen, and a kill a few milliseconds later keeps it), or
    // removed at once when runOver (finished, or kept in place of the kept run).
    void AfterCommand(bool runOver);
    // On every tick, with the run time read by the tick: saves when the run runs and its clock is
    // kSaveInterval past the last save. One comparison when no save is due.
    void OnTick(std::int32_t runTime);
    // Saves now, whatever the autosave says (Save Split State); remembers the run time.
    void Save();
    // Writes the save a command asked for, if it has not been written yet.
    void Flush();
    // Removes the split-state file of the loaded split file, with the autosave on.
    void Remove();
    // A run was brought back from a split-state file: the next tick save counts from it.
    void RunLoaded();

    // Right after a split file is loaded: when its split-state file names it and holds a run
    // time other than 0, asks "Resume" (the default) or "Discard". Resume loads the state;
    // Discard removes the state file and keeps the fresh load; closing the question keeps
    // both, to be asked again next time (Undecided). Not asked with the autosave off.
    enum class Offer { NotAsked, Resumed, Discarded, Undecided };
    Offer OfferUnfinishedRun();

  private:
    void CancelSave();
    bool FileLoaded() const;

    const std::unique_ptr<QuorvelClass>& engine_;
    bool on_ = true;
    // The run time of the last save.
    std::int32_t lastSaveTime_ = 0;
    // The save that a command asked for, written once the window has drawn the command.
    bool savePending_ = false;
    tk::AfterPaint afterPaint_{[this] { Flush(); }};
};
