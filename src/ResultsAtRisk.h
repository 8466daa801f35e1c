// What a command would throw away or replace, asked before the shell resets a run, quits, or
// saves a run over the kept one, so that the runner is asked only when something is at
// stake. Reads the engine; changes nothing. Standard library only.
//
// Kept run 32.93 (last row), best segments 10.00 and 20.00, AutosaveBestRun off:
//   a finished run of 30.00 with segments 9.50 and 20.50
//     FindUnsavedResults -> {FasterRun: true, NewBestSegments: true, RunTime 3000, KeptTime 3293}
//     FindSaveRunConcern -> {None}
//   a finished run of 36.26
//     FindSaveRunConcern -> {Slower, RunTime 3626, KeptTime 3293}
//   a run stopped after 1 of 2 splits
//     FindSaveRunConcern -> {Unfinished, DoneSplits 1, Splits 2}
#pragma once

#include <cstdint>

#include "QuorvelEngine.h"

struct UnsavedResults {
    bool FasterRun = false;        // a finished run beats the kept run and is not kept yet
    bool NewBestSegments = false;  // segments beat the best splits and are not taken yet
    std::int32_t RunTime = 0;      // the finished run's final time; 0 when unfinished
    std::int32_t KeptTime = 0;     // the kept run's final time; 0 when it has none

    bool Any() const { return FasterRun || NewBestSegments; }
};

// The results a reset or a quit would lose. segmentsKeptAnyway: the command itself keeps the
// run's segments (a reset with AutosaveBestSplits on, a quit that keeps an unfinished run as a
// split state), so only a faster finished run can be lost.
UnsavedResults FindUnsavedResults(const QuorvelClass& engine, bool segmentsKeptAnyway);

struct SaveRunConcern {
    enum class Kind { None, Slower, Unfinished };
    Kind What = Kind::None;
    std::int32_t RunTime = 0;   // the run's final time (Slower)
    std::int32_t KeptTime = 0;  // the kept run's final time; 0 when it has none
    unsigned DoneSplits = 0;    // splits with a time in the run (Unfinished)
    unsigned Splits = 0;        // rows of the route
};

// Whether Save Run would replace a kept run with a worse one: a finished run slower than the
// kept run, or an unfinished run while the kept run has times. None when there is no kept
// run to lose or nothing to save.
SaveRunConcern FindSaveRunConcern(const QuorvelClass& engine);
