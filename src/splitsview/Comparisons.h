// What the Splits view races against: the choices of View > Compare Against and the running
// time at each split of the one chosen.
//
//   Personal Best      the kept run (the last stored run); the default
//   Best Segments      the best segments added up, split by split
//   Best Split Times   the fastest time ever at each split          (from the history)
//   Average Segments   the average segments added up                (from the history)
//   Median Segments    the median segments added up                 (from the history)
//   Latest Run         the last attempt's times                     (from the history)
//   "Last Week"        each other stored run, by its title
//
// The grid gives the kept run, the stored runs and the best segments; the others come from
// the route's history, handed in as running times per split (HistoryComparisons). Best
// Segments and the sum of best come from the history too where it has them: there a segment
// run across a skipped split counts as one combined segment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RunSnapshot.h"

enum class ComparisonKind : std::uint8_t {
    kPersonalBest,
    kBestSegments,
    kBestSplitTimes,
    kAverageSegments,
    kMedianSegments,
    kLatestRun,
    kStoredRun,  // by title
};

struct ComparisonId {
    ComparisonKind kind = ComparisonKind::kPersonalBest;
    std::string title;  // the stored run's title (kStoredRun only)
    bool operator==(const ComparisonId&) const = default;
};

// The choice as the settings keep it: the title of a comparison of its own ("Personal Best",
// "Median Segments"), or "Run:" and a stored run's title ("Run:Last Week"). Text that names
// none is the personal best.
std::string ComparisonToText(const ComparisonId& id);
ComparisonId ComparisonFromText(std::string_view text);

// The running time at each split of the history's comparisons, one per split of the route
// as it is now; an empty list when the history cannot give it (no history, or not as many
// splits). 0 is a split with no time.
struct HistoryComparisons {
    std::vector<std::int32_t> bestSegments;  // combined across skipped splits
    std::vector<std::int32_t> bestSplitTimes;
    std::vector<std::int32_t> averageSegments;
    std::vector<std::int32_t> medianSegments;
    std::vector<std::int32_t> latestRun;
    std::int32_t sumOfBest = 0;  // 0: none
    bool operator==(const HistoryComparisons&) const = default;
};

// A comparison ready to race: its title and its running time at each split.
struct ComparisonTimes {
    std::string title;
    std::string segmentTitle;         // its time for one split: "PB segment", "Median segment"
    std::vector<std::int32_t> times;  // one per split, 0 = no time
    bool available = false;           // it has at least one time
};

// One entry of the Compare Against menu.
struct ComparisonChoice {
    ComparisonId id;
    std::string title;
    bool available = false;  // has times to race against
};

// The choices for this route, in the menu's order: the six of our own, then each stored run
// but the kept one (the personal best itself) by its title.
std::vector<ComparisonChoice> ComparisonChoices(const RunSnapshot& run,
                                                const HistoryComparisons& history);

// The running times of the comparison chosen. A stored run that is no longer there (renamed
// or removed) falls back to the personal best.
ComparisonTimes ResolveComparison(const RunSnapshot& run, const ComparisonId& id,
                                  const HistoryComparisons& history);

// The best segments added up split by split, from the grid: {220, 221, 0, 170} ->
// {220, 441, 0, 0}. After a split with no best segment nothing adds up any more.
std::vector<std::int32_t> BestSegmentTimes(const std::vector<std::int32_t>& bestSegments);

// The segment of split i in running times: times[i] less the time of the split before, the
// first split's time itself; 0 when either is missing, as the engine has it after a skipped
// split. {100, 0, 350}: 100, 0, 0. {100, 250}: 100, 150.
std::int32_t SegmentAt(const std::vector<std::int32_t>& times, std::size_t i);
