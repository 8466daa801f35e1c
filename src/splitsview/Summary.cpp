#include "Summary.h"

#include <algorithm>

#include "Comparisons.h"
#include "NumberText.h"

std::optional<std::int32_t> SumOfBest(const std::vector<std::int32_t>& bestSegments,
                                      std::int32_t historySumOfBest) {
    if (historySumOfBest > 0) {
        return historySumOfBest;
    }
    if (bestSegments.empty()) {
        return std::nullopt;
    }
    std::int64_t sum = 0;
    for (const std::int32_t best : bestSegments) {
        if (best == 0) {
            return std::nullopt;
        }
        sum += best;
    }
    return SaturateToInt32(sum);
}

std::optional<std::int32_t> BestPossibleTime(const std::vector<std::int32_t>& bestSegments,
                                             const std::vector<std::int32_t>& run, std::size_t next,
                                             std::int32_t clock) {
    const std::size_t rows = std::min(bestSegments.size(), run.size());
    if (rows == 0) {
        return std::nullopt;
    }
    if (next >= rows) {
        return run[rows - 1] != 0 ? std::optional(run[rows - 1]) : std::nullopt;
    }
    std::size_t from = next;  // the first split not made with a time
    while (from > 0 && run[from - 1] == 0) {
        --from;
    }
    std::int64_t sum = from > 0 ? run[from - 1] : 0;
    for (std::size_t i = from; i < rows; ++i) {
        if (bestSegments[i] == 0) {
            return std::nullopt;
        }
        sum += bestSegments[i];
        if (i == next) {
            sum = std::max<std::int64_t>(sum, clock);
        }
    }
    return SaturateToInt32(sum);
}

std::optional<std::int32_t> PossibleTimeSave(const std::vector<std::int32_t>& comparison,
                                             const std::vector<std::int32_t>& bestSegments,
                                             std::size_t i) {
    if (i >= comparison.size() || i >= bestSegments.size()) {
        return std::nullopt;
    }
    const std::int32_t segment = SegmentAt(comparison, i);
    if (segment == 0 || bestSegments[i] == 0) {
        return std::nullopt;
    }
    return SaturateToInt32(std::max<std::int64_t>(std::int64_t{segment} - bestSegments[i], 0));
}

std::optional<std::int32_t> TotalPossibleTimeSave(const std::vector<std::int32_t>& comparison,
                                                  const std::vector<std::int32_t>& bestSegments) {
    std::optional<std::int64_t> sum;
    for (std::size_t i = 0; i < comparison.size(); ++i) {
        if (const auto save = PossibleTimeSave(comparison, bestSegments, i)) {
            sum = sum.value_or(0) + *save;
        }
    }
    return sum ? std::optional(SaturateToInt32(*sum)) : std::nullopt;
}
