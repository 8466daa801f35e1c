#include "HistoryComparisons.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "NumberText.h"

namespace history {

std::optional<std::int32_t> Mean(const std::vector<std::int32_t>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::int64_t sum = 0;
    for (const std::int32_t value : values) {
        sum += value;
    }
    const auto count = static_cast<std::int64_t>(values.size());
    // Rounded half away from zero.
    const std::int64_t rounded = sum >= 0 ? (sum + count / 2) / count : (sum - count / 2) / count;
    return SaturateToInt32(rounded);
}

std::optional<std::int32_t> Median(std::vector<std::int32_t> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle),
                     values.end());
    const std::int64_t upper = values[middle];
    if (values.size() % 2 == 1) {
        return static_cast<std::int32_t>(upper);
    }
    const std::int64_t lower =
        *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
    const std::int64_t sum = lower + upper;
    return static_cast<std::int32_t>(sum >= 0 ? sum / 2 : (sum - 1) / 2);
}

RunningTimes SumOfBestSegments(const SegmentTable& table,
                               const std::vector<std::int32_t>& routeBestSegments) {
    const std::size_t splitCount = table.Single.size();
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
    // The ways into each split: (first split covered, shortest time), one per first split.
    std::vector<std::vector<std::pair<std::size_t, std::int64_t>>> into(splitCount);
    const auto offer = [&](std::size_t first, std::size_t last, std::int64_t time) {
        for (auto& [from, best] : into[last]) {
            if (from == first) {
                best = std::min(best, time);
                return;
            }
        }
        into[last].emplace_back(first, time);
    };
    for (std::size_t k = 0; k < splitCount; ++k) {
        const auto& single = table.Single[k];
        if (!single.empty()) {
            offer(k, k, *std::min_element(single.begin(), single.end()));
        }
        if (k < routeBestSegments.size() && routeBestSegments[k] > 0) {
            offer(k, k, routeBestSegments[k]);
        }
    }
    for (const SpanningSegment& segment : table.Spanning) {
        offer(segment.First, segment.Last, segment.Time);
    }
    // reach[k]: the shortest way from the start to the end of split k - 1 (reach[0] = 0).
    std::vector<std::int64_t> reach(splitCount + 1, kNone);
    reach[0] = 0;
    RunningTimes running(splitCount, 0);
    for (std::size_t k = 0; k < splitCount; ++k) {
        for (const auto& [first, time] : into[k]) {
            if (reach[first] != kNone) {
                reach[k + 1] = std::min(reach[k + 1], reach[first] + time);
            }
        }
        if (reach[k + 1] != kNone) {
            running[k] = SaturateToInt32(reach[k + 1]);
        }
    }
    return running;
}

RunningTimes SumOfBestSegments(const History& history, TimeClock clock,
                               const std::vector<std::int32_t>& routeBestSegments) {
    return SumOfBestSegments(CollectSegments(history, clock), routeBestSegments);
}

RunningTimes BestSplitTimes(const History& history, TimeClock clock) {
    const std::size_t splitCount = history.SplitNames.size();
    RunningTimes best(splitCount, 0);
    std::vector<bool> seen(splitCount, false);
    for (const Attempt& attempt : history.Attempts) {
        if (attempt.Clock != clock || !IsListed(attempt)) {
            continue;
        }
        for (std::size_t k = 0; k < attempt.Splits.size() && k < splitCount; ++k) {
            const SplitEntry& entry = attempt.Splits[k];
            if (entry.Kind == EntryKind::Timed && entry.HasRunning &&
                (!seen[k] || entry.Running < best[k])) {
                best[k] = entry.Running;
                seen[k] = true;
            }
        }
    }
    return best;
}

namespace {

// Sums one figure of each split's segments from the start (see the header).
RunningTimes SummedSegments(
    const SegmentTable& table,
    const std::function<std::optional<std::int32_t>(std::vector<std::int32_t>)>& figure) {
    const std::size_t splitCount = table.Single.size();
    RunningTimes running(splitCount, 0);
    std::int64_t total = 0;
    std::size_t k = 0;
    while (k < splitCount) {
        if (const auto segment = figure(table.Single[k])) {
            total += *segment;
            running[k] = SaturateToInt32(total);
            ++k;
            continue;
        }
        // The nearest end reached by segments that start here and span skipped splits.
        std::size_t last = splitCount;
        for (const SpanningSegment& spanning : table.Spanning) {
            if (spanning.First == k && spanning.Last < last) {
                last = spanning.Last;
            }
        }
        if (last == splitCount) {
            break;
        }
        std::vector<std::int32_t> times;
        for (const SpanningSegment& spanning : table.Spanning) {
            if (spanning.First == k && spanning.Last == last) {
                times.push_back(spanning.Time);
            }
        }
        total += *figure(times);
        running[last] = SaturateToInt32(total);
        k = last + 1;
    }
    return running;
}

}  // namespace

RunningTimes AverageSegments(const History& history, TimeClock clock) {
    return SummedSegments(CollectSegments(history, clock),
                          [](std::vector<std::int32_t> values) { return Mean(values); });
}

RunningTimes MedianSegments(const History& history, TimeClock clock) {
    return SummedSegments(CollectSegments(history, clock), [](std::vector<std::int32_t> values) {
        return Median(std::move(values));
    });
}

RunningTimes LatestRun(const History& history, TimeClock clock) {
    const std::size_t splitCount = history.SplitNames.size();
    RunningTimes running(splitCount, 0);
    for (auto attempt = history.Attempts.rbegin(); attempt != history.Attempts.rend(); ++attempt) {
        if (attempt->Clock != clock || !IsListed(*attempt)) {
            continue;
        }
        bool timed = false;
        for (std::size_t k = 0; k < attempt->Splits.size() && k < splitCount; ++k) {
            const SplitEntry& entry = attempt->Splits[k];
            if (entry.Kind == EntryKind::Timed && entry.HasRunning) {
                running[k] = entry.Running;
                timed = true;
            }
        }
        if (timed) {
            break;
        }
    }
    return running;
}

}  // namespace history
