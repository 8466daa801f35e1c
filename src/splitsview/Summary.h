// The figures under the clock, worked out from the best segments, the run and the comparison
// (running times per split, 0 for none). Each is nullopt when it cannot be known: a best
// segment missing where one is needed, a comparison without times.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// The history's sum of best when it has one (where a segment run across a skipped split
// counts as one combined segment, so that it is never slower than a finished run), else the
// best segments added up when every split has one.
//   ({2200, 2210, 1700}, 0) -> 6110     ({2200, 0, 1700}, 0) -> nullopt
//   ({2200, 0, 1700}, 5900) -> 5900
std::optional<std::int32_t> SumOfBest(const std::vector<std::int32_t>& bestSegments,
                                      std::int32_t historySumOfBest);

// The fastest the run can still end: its time so far plus the best segments still ahead.
// The time so far is that of the last split made, plus the best segments from there to the
// split being timed, unless the clock is already past that; a finished run's is its final
// time. run holds the run's running times, next the split being timed.
//   best {1000, 2000, 3000}, run {1100, 0, 0}, next 1, clock 1500 -> 1100 + 2000 + 3000 = 6100
//   the same at clock 3500 (the split being timed is slower than its best) -> 3500 + 3000
std::optional<std::int32_t> BestPossibleTime(const std::vector<std::int32_t>& bestSegments,
                                             const std::vector<std::int32_t>& run, std::size_t next,
                                             std::int32_t clock);

// What a best segment would save against the comparison at split i: the comparison's
// segment less the best segment, never below 0.
//   comparison {1200, 3400}, best {1000, 2000}: split 0 -> 200, split 1 -> 200
std::optional<std::int32_t> PossibleTimeSave(const std::vector<std::int32_t>& comparison,
                                             const std::vector<std::int32_t>& bestSegments,
                                             std::size_t i);
// The same over the whole route: the sum over every split where both are known.
std::optional<std::int32_t> TotalPossibleTimeSave(const std::vector<std::int32_t>& comparison,
                                                  const std::vector<std::int32_t>& bestSegments);
