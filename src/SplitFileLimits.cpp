#include "SplitFileLimits.h"

#include <algorithm>
#include <cstdio>

#include "TextCutting.h"

namespace {

std::string LineName(std::size_t index) {
    return "Line " + GroupedCount(index + 1);
}

SplitFileLimitPassed PassedAt(std::size_t index, std::string message) {
    return {static_cast<int>(index + 1), std::move(message)};
}

// The cells of a line: its TABs and one; an empty line has none. The TABs are counted in
// blocks of 255 bytes into a one-byte counter, which the compiler turns into vector code
// (std::count, with its wide counter, is not, and took three times as long).
std::size_t CellsOf(std::string_view line) {
    if (line.empty()) {
        return 0;
    }
    std::size_t tabs = 0;
    for (std::size_t start = 0; start < line.size(); start += 255) {
        const std::size_t end = std::min(line.size(), start + 255);
        unsigned char inBlock = 0;
        for (std::size_t i = start; i < end; ++i) {
            inBlock += line[i] == '\t' ? 1 : 0;
        }
        tabs += inBlock;
    }
    return tabs + 1;
}

}  // namespace

std::string GroupedCount(std::size_t count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}

std::string TooManyBytesMessage(std::size_t bytes) {
    char size[32];
    std::snprintf(size, sizeof size, "%.1f", static_cast<double>(bytes) / (1 << 20));
    return "The file is " + std::string(size) + " MB; split files up to " +
           std::to_string(kMaxSplitFileBytes >> 20) + " MB are read.";
}

SplitFileLimitPassed FindPassedLimit(std::string_view text) {
    quorvel_detail::LineCutter cutter(text);
    std::string_view line;
    if (!cutter.Next(&line) || !cutter.Next(&line)) {
        return {};
    }
    const std::size_t columns = std::max<std::size_t>(2, CellsOf(line));
    if (columns > kMaxSplitFileColumns) {
        return PassedAt(1, LineName(1) + " names " + GroupedCount(columns) +
                               " columns; split files of up to " +
                               GroupedCount(kMaxSplitFileColumns) + " columns are read.");
    }
    std::size_t rows = 0;
    std::size_t cells = 0;
    for (std::size_t index = 2; cutter.Next(&line); ++index) {
        if (index % 2 != 0 || line.empty()) {
            continue;  // a notes line, or a blank pair of lines
        }
        if (++rows > kMaxSplitFileRows) {
            return PassedAt(index, LineName(index) + " holds split " + GroupedCount(rows) +
                                       "; split files of up to " + GroupedCount(kMaxSplitFileRows) +
                                       " splits are read.");
        }
        // The row's cells: the times after its name, and at least one per column.
        cells += std::max(columns, CellsOf(line) - 1);
        if (cells > kMaxSplitFileCells) {
            return PassedAt(index, LineName(index) + " brings the grid to " + GroupedCount(cells) +
                                       " cells; split files of up to " +
                                       GroupedCount(kMaxSplitFileCells) + " cells are read.");
        }
    }
    return {};
}
