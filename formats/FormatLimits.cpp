#include "FormatLimits.h"

#include <algorithm>
#include <cstdio>

namespace {

void CheckCount(std::size_t count, std::size_t limit, int line, const std::string& what,
                const std::string& limitText) {
    if (count > limit) {
        throw FormatError(
            line, GroupedNumber(static_cast<std::int64_t>(count)) + " " + what + "; " + limitText);
    }
}

}  // namespace

std::string MegabyteText(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1u << 20));
    return text;
}

void CheckInputSize(std::size_t size) {
    if (size > kMaxInputBytes) {
        throw FormatError(0, "the file is " + MegabyteText(size) + "; files up to " +
                                 std::to_string(kMaxInputBytes >> 20) + " MB are read");
    }
}

void CheckSplitCount(std::size_t splits, int line) {
    CheckCount(splits, kMaxSplits, line, "splits",
               "routes up to " + GroupedNumber(kMaxSplits) + " splits are read");
}

void CheckStoredRunCount(std::size_t runs, int line) {
    CheckCount(runs, kMaxStoredRuns, line, "stored runs",
               "up to " + GroupedNumber(kMaxStoredRuns) + " are read");
}

void CheckCellCount(std::size_t cells, int line) {
    CheckCount(cells, kMaxCells, line, "cells",
               "files up to " + GroupedNumber(kMaxCells) + " cells are read");
}

void CheckElementCount(std::size_t elements, int line) {
    CheckCount(elements, kMaxElements, line, "elements",
               "files up to " + GroupedNumber(kMaxElements) + " elements are read");
}

int LineAt(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(
                   text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}
