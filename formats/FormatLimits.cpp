#include "FormatLimits.h"

#include <algorithm>
#include <cstdio>

void CheckInputSize(std::size_t size) {
    if (size > kMaxInputBytes) {
        char text[96];
        std::snprintf(text, sizeof text, "the file is %.1f MB; files up to %zu MB are read",
                      static_cast<double>(size) / (1u << 20), kMaxInputBytes >> 20);
        throw FormatError(0, text);
    }
}

void CheckSplitCount(std::size_t splits, int line) {
    if (splits > kMaxSplits) {
        throw FormatError(line, GroupedNumber(static_cast<std::int64_t>(splits)) +
                                    " splits; routes up to " + GroupedNumber(kMaxSplits) +
                                    " splits are read");
    }
}

void CheckComparisonCount(std::size_t comparisons, int line) {
    if (comparisons > kMaxComparisons) {
        throw FormatError(line, GroupedNumber(static_cast<std::int64_t>(comparisons)) +
                                    " comparisons; up to " + GroupedNumber(kMaxComparisons) +
                                    " are read");
    }
}

int LineAt(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(
                   text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}
