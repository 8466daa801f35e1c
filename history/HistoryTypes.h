// A route's history as plain values: every attempt, how it ended, and what it recorded at
// each split. The database (HistoryDatabase.h) loads one; the statistics and comparisons
// (HistoryStatistics.h, HistoryComparisons.h) read one; nothing here touches a file.
// Standard library only.
//
// A route "A", "B", "C" and three attempts, times in hundredths:
//   #12 finished  A {Timed, running 4010, segment 4010}  B {Skipped}
//                 C {Timed, running 13000, segment 8990}     <- C's segment spans B and C
//   #13 reset     A {Timed, 4100, 4100}                      <- ended while timing B
//   #-1 segment times only (imported; no attempt of that id): B {Timed, segment 5000}
//
// A segment is the time since the last split that has a time: after a skipped split it
// spans the skipped ones too (a combined segment). A split with no entry before one with an
// entry counts as skipped (a split inserted into the route after the attempt was run).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace history {

// Which clock an attempt's times are on.
enum class TimeClock : std::uint8_t { Real = 0, Game = 1 };

// How an attempt ended. The numbers are the ones the database holds.
enum class Ending : std::uint8_t {
    InProgress = 0,    // being recorded now
    Finished = 1,      // the last split was made
    Reset = 2,         // reset while timing the split after its last entry
    ProcessDied = 3,   // no end was recorded; found so when the history was next opened
    WindowClosed = 4,  // the window was closed with the run in progress
    Dropped = 5,       // died or closed, and the run was not taken up again at the next launch
    SegmentsOnly = 6,  // imported segment times that belong to no attempt
};
inline constexpr std::uint8_t kLastEnding = 6;

enum class EntryKind : std::uint8_t { NotReached, Skipped, Timed };

// One split of one attempt.
struct SplitEntry {
    std::int32_t Running = 0;  // the running time at the end of the split, when HasRunning
    std::int32_t Segment = 0;  // the time since the last split with a time (Timed only)
    EntryKind Kind = EntryKind::NotReached;
    bool HasRunning = false;  // false for imported segment times that belong to no attempt

    bool operator==(const SplitEntry&) const = default;
};

struct Attempt {
    std::int64_t Id = 0;      // the database's own id: the order of recording or import
    std::int32_t Number = 0;  // the split file's attempt count at its start, or the imported id
    TimeClock Clock = TimeClock::Real;
    std::optional<std::int64_t> StartedUtc;  // seconds since 1970-01-01 00:00 UTC
    std::optional<std::int64_t> EndedUtc;
    Ending End = Ending::InProgress;
    // Finished: the final time. Otherwise the time on the clock when it ended, when known.
    std::optional<std::int32_t> FinalTime;
    std::optional<std::int32_t> PauseTime;
    // How often the run was taken up again after the process died or the window closed.
    std::int32_t Resumed = 0;
    // By the route's current order, up to the attempt's last entry (a finished attempt's
    // list can be shorter than the route when splits were added after it was run).
    std::vector<SplitEntry> Splits;

    bool operator==(const Attempt&) const = default;
};

struct History {
    std::vector<std::string> SplitNames;  // the route's splits, in order
    std::vector<Attempt> Attempts;        // in order of recording; imported ones by their ids

    bool operator==(const History&) const = default;
};

// The entry of split index, NotReached past the end of the attempt's list.
inline SplitEntry EntryAt(const Attempt& attempt, std::size_t index) {
    return index < attempt.Splits.size() ? attempt.Splits[index] : SplitEntry{};
}

// True for an attempt of the attempt list; false for segment times with no attempt.
inline bool IsListed(const Attempt& attempt) {
    return attempt.End != Ending::SegmentsOnly;
}

// The split being timed when an attempt that did not finish ended: the one after its last
// entry (0 when it has none).
inline std::size_t EndedAtSplit(const Attempt& attempt) {
    for (std::size_t i = attempt.Splits.size(); i > 0; --i) {
        if (attempt.Splits[i - 1].Kind != EntryKind::NotReached) {
            return i;
        }
    }
    return 0;
}

}  // namespace history
