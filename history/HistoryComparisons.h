// The comparisons a runner races that come from the history, as running times per split
// (the time on the clock at the end of each split), for the Splits view and the statistics.
// Plain inputs and outputs; 0 is "no time" at a split, as everywhere in Quorvel. Only the
// attempts on the given clock count. Standard library only.
//
// Route A B C; three attempts (segments in seconds, "-" skipped, "." not reached):
//   #1 finished  A 10  B 20  C 30        running 10, 30, 60
//   #2 finished  A 12  B  -  C 41        C's 41 spans B and C     running 12, -, 53
//   #3 reset     A  9  .   .             ended while timing B
//   SumOfBestSegments  -> 9, 29, 50     A's best 9, B's 20; to C, #2's 41 across B and C
//                                       after A's 9 (50) beats 20 + 30 (59)
//   BestSplitTimes     -> 9, 30, 53     the best running time ever at each split
//   AverageSegments    -> 10.33, 30.33, 60.33   (A's mean 10.33, B 20, C 30)
//   MedianSegments     -> 10, 30, 60
//   LatestRun          -> 9, 0, 0       the last attempt with a time
//
// Sum of best: the shortest way from the start to each split through segments that some
// attempt ran, a segment across skipped splits being one way across all of them. Every
// attempt's own splits are such a way, so the sum of best is never slower than a finished
// attempt. The route's own best segments (the split file's best column) may be given as
// single segments too (0 for none), for history the file holds from before.
//
// Average and median segments are summed from the start; a split that no attempt timed
// alone (right after an inserted split, say) is crossed with the segments that span it,
// and the splits inside get 0. Where nothing crosses, every later split gets 0.
#pragma once

#include <cstdint>
#include <vector>

#include "HistoryTypes.h"
#include "SegmentTable.h"

namespace history {

using RunningTimes = std::vector<std::int32_t>;

RunningTimes SumOfBestSegments(const History& history, TimeClock clock,
                               const std::vector<std::int32_t>& routeBestSegments = {});
RunningTimes BestSplitTimes(const History& history, TimeClock clock);
RunningTimes AverageSegments(const History& history, TimeClock clock);
RunningTimes MedianSegments(const History& history, TimeClock clock);
RunningTimes LatestRun(const History& history, TimeClock clock);

// The same from a table already collected (the statistics collect one for everything).
RunningTimes SumOfBestSegments(const SegmentTable& table,
                               const std::vector<std::int32_t>& routeBestSegments = {});

// The mean rounded to the nearest hundredth, and the median (the mean of the two middle
// ones, rounded down, for an even count); none for no values. Median reorders values.
std::optional<std::int32_t> Mean(const std::vector<std::int32_t>& values);
std::optional<std::int32_t> Median(std::vector<std::int32_t> values);

}  // namespace history
