// Keeping a route's history with its splits when the route changes. Standard library only.
//
// The split editor describes an edit by where each new split came from:
//   old route  A  B  C  D         edit {OldIndex {0, none, 2, 1}, Names {"A", "New", "C", "Bee"}}
//   new route  A  New  C  Bee     (D removed, B renamed and moved below C, New inserted)
// An inserted split has no history; a moved split's history moves with it, a renamed one
// keeps it, a removed one's history goes. Before OK the editor asks how many removed splits
// hold times, to say so:
//   RemovedSplitsWithHistory({10, 10, 0, 3}, edit) -> 1     (D holds 3 times)
//   RemovalWarning(1) -> "1 split's history will be removed"
//   RemovalWarning(3) -> "3 splits' history will be removed"
//
// Each attempt's entries follow the edit (RearrangeEntries). Segment times are what a split
// carries: a removed split's segment is added to the next split with a time, so the running
// times after it stay as they were (as the split editor does with a stored run); running
// times are summed again from the segments in the new order, so a moved split takes its own
// segment to its new place. A split inserted before another leaves that one's segments
// spanning both, as a skipped split would.
//
// A split file edited outside Quorvel no longer matches the history's splits. AlignByNames
// matches them by name, keeping their order (the longest run of names in common), and pairs
// the splits left between two matches by position as renamed ones. Splits of the history
// left over are set aside, not removed: their times stay in the file, out of every figure,
// until a later split file names them again.
//   AlignByNames({"A", "B", "C"}, {}, {"A", "Bee", "C", "D"}) -> sources {0, 1, 2, none}
//   AlignByNames({"A", "B", "C"}, {}, {"A", "C"})             -> sources {0, 2}, set aside {1}
//   AlignByNames({"A"}, {"B"}, {"A", "B"})                   -> sources {0, 1} (B brought back)
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "HistoryTypes.h"

namespace history {

struct RouteEdit {
    // For each split of the new route, its index in the old route; none for an inserted one.
    std::vector<std::optional<std::size_t>> OldIndex;
    std::vector<std::string> Names;  // the new route's names, one per split
};

// True when Names has one name per split and every old index is below oldCount and named
// at most once.
bool IsValidRouteEdit(const RouteEdit& edit, std::size_t oldCount);

// How many splits the edit removes that hold at least one time; timesPerSplit is indexed
// by the old route's splits (HistoryDatabase::TimesPerSplit, or TimesPerSplit below).
std::size_t RemovedSplitsWithHistory(const std::vector<std::size_t>& timesPerSplit,
                                     const RouteEdit& edit);
// The editor's sentence for that count; "" for 0.
std::string RemovalWarning(std::size_t splitsWithHistory);

// The number of timed entries at each split of a loaded history.
std::vector<std::size_t> TimesPerSplit(const History& history);

// One attempt's entries, by the old route's order, rearranged for the new route (see
// above). Segment times move only for attempts of the attempt list (listed); an imported
// segment time with no attempt has no neighbours to move to. Trailing NotReached entries
// are dropped.
//   entries A{Timed 1000, seg 1000} B{Timed 3000, seg 2000} C{Timed 6000, seg 3000},
//   edit removing B -> A{Timed 1000, seg 1000} C{Timed 6000, seg 5000}
std::vector<SplitEntry> RearrangeEntries(const std::vector<SplitEntry>& entries,
                                         const RouteEdit& edit, bool listed);

// The outcome of matching the history's splits against a split file's names.
struct Realignment {
    // For each split of the split file: its index among the history's splits (the ones in
    // use first, then those set aside), or none for a split the history does not know.
    std::vector<std::optional<std::size_t>> Source;
    // The splits in use that no name matched: set aside from now on.
    std::vector<std::size_t> SetAside;
    std::size_t Renamed = 0;      // matched by position between two matching names
    std::size_t BroughtBack = 0;  // set-aside splits matched again by name

    // True when nothing changes: every split in use matched by name, in place.
    bool Unchanged(std::size_t inUseCount) const;
};

Realignment AlignByNames(const std::vector<std::string>& inUse,
                         const std::vector<std::string>& setAside,
                         const std::vector<std::string>& names);

}  // namespace history
