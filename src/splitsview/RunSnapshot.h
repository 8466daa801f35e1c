// What the Splits view shows of the engine, copied out of it after each command, so that the
// view's rules are plain functions of a value and a finished run can stay on screen after the
// engine has moved on.
//
//   RunSnapshot run = TakeSnapshot(*TimerData);
//   run.names         {"Stairs", "Rope", ...}     one per split
//   run.current       {250, 0, 0, ...}           the run's running times, 0 = none yet
//   run.next          1                           the split being timed; = rows when finished
//   run.storedRuns    {{"Last Week", {261, 532, ...}}, {"Personal Best", {230, 470, ...}}}
//   run.bestSegments  {220, 221, ...}            0 = no best segment yet
//
// The last stored run is the kept run, the personal best; with no stored run there is none.
// Times are hundredths of a second, as everywhere in the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QuorvelClass;

struct StoredRun {
    std::string title;
    std::vector<std::int32_t> times;  // running time at each split, 0 = none
};

struct RunSnapshot {
    bool hasRoute = false;  // a split file is loaded
    std::string splitFile;  // its path, for the folder its pictures must lie in
    std::string description;
    std::int32_t attempts = 0;
    std::vector<std::string> names;
    std::vector<std::string> pictures;  // full paths, "" for none
    std::vector<StoredRun> storedRuns;  // the last one is the kept run
    std::vector<std::int32_t> bestSegments;
    std::int32_t minBestSegment = 0;  // a segment must be longer than this to be a best one
    std::vector<std::int32_t> current;
    std::uint32_t next = 0;
    std::int32_t clock = 0;  // the engine's current time
    bool running = false;
    // The run is over (next = rows): its times stay on screen until the next start or reset.
    bool finished = false;

    std::size_t Rows() const { return names.size(); }
    // The kept run's times, or null without a stored run.
    const StoredRun* Kept() const { return storedRuns.empty() ? nullptr : &storedRuns.back(); }
    bool operator==(const RunSnapshot&) const = default;
};

// Copies the engine's route, best segments, stored runs and current run.
RunSnapshot TakeSnapshot(const QuorvelClass& engine);

// Keeps a finished run on screen until Reset or the next start. When a run beats the kept
// run, the engine keeps it at once (the split file holds the new personal best from the last
// split on) and empties its current run; what it shows then is a paused clock on the final
// time over an empty run. The keeper sees that moment and answers, instead, the run as it
// ended: its times (the kept run's new times), against the comparisons and best segments it
// was raced against (those of the snapshot before), finished. It knows the moment by the
// snapshot before: a run at its last split (or finished, for Save Run), whose times the
// kept run now holds, and an engine paused on the final time with an empty current run.
//
//   RunOnScreen screen;
//   screen.Update(engine);   // after every command, every file opened and every edit
//   screen.Tick(engine);     // on every tick: the clock only
//   screen.Run();            // what to show
class RunOnScreen {
  public:
    const RunSnapshot& Update(const QuorvelClass& engine);
    // The clock and whether it runs; nothing else is read. A finished run held on screen
    // keeps its final time.
    const RunSnapshot& Tick(const QuorvelClass& engine);
    const RunSnapshot& Run() const { return run_; }
    // True while a kept run is shown in place of the engine's emptied one.
    bool HoldingKeptRun() const { return holding_; }

  private:
    RunSnapshot run_;
    bool holding_ = false;
};
