// Every segment time of a history on one clock, sorted for the figures: per split, the
// segments that cover that split alone, and apart from them the segments that span skipped
// splits. The statistics and the comparisons are both worked out from one. Standard library
// only.
//
// An attempt on route A B C D with entries A{Timed, segment 1000} B{Skipped}
// C{Timed, segment 2500} D{Timed, segment 900} gives:
//   Single[0] += 1000, Spanning += {First 1, Last 2, Time 2500}, Single[3] += 900
// A segment time that is negative (a damaged import) is left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "HistoryTypes.h"

namespace history {

struct SpanningSegment {
    std::size_t First = 0;  // the first split it covers
    std::size_t Last = 0;   // the split whose time ends it
    std::int32_t Time = 0;
};

struct SegmentTable {
    std::vector<std::vector<std::int32_t>> Single;  // per split, in attempt order
    // Per split, the segment of the latest attempt of the list that has one there.
    std::vector<std::optional<std::int32_t>> Latest;
    std::vector<SpanningSegment> Spanning;
};

SegmentTable CollectSegments(const History& history, TimeClock clock);

}  // namespace history
