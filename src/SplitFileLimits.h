// The largest split file the reader and the check take. Large enough for any real route,
// small enough that a hostile file cannot take the machine's memory: without them a title
// line of 20,000 TABs over 2,000 rows (a 36 KB file) made 40 million cells, more than 3 GB.
// Both the reader and the check count the text against these before building anything, and
// refuse the file at the first line that passes one. Standard library only.
//
//   FindPassedLimit("0\t0\nD" + 20,000 TABs + "\n...")
//     -> {2, "Line 2 names 20,001 columns; split files of up to 200 columns are read."}
//   FindPassedLimit(a file of 10,001 splits)
//     -> {20003, "Line 20,003 holds split 10,001; split files of up to 10,000 splits are read."}
//   FindPassedLimit("12\t-0.50\nAny%\tBest Splits\tPB\nLevel 1\t40.10\t41.00\n\t\t\n") -> {0, ""}
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Grid columns, "Best Splits" and "Current" included: the cells of the title line.
inline constexpr std::size_t kMaxSplitFileColumns = 200;
// Splits: row lines that are not blank.
inline constexpr std::size_t kMaxSplitFileRows = 10000;
// Cells of the grid: each row holds one per column, or more when its row line is longer.
inline constexpr std::size_t kMaxSplitFileCells = 2000000;
// Bytes of the file, checked before it is read: a grid within the limits above, notes and
// all, is a few megabytes.
inline constexpr std::size_t kMaxSplitFileBytes = std::size_t{64} << 20;

struct SplitFileLimitPassed {
    int Line = 0;         // the line where a limit is passed, counted from 1; 0 when none is
    std::string Message;  // "Line 2 names 20,001 columns; ..."; "" when none is passed

    bool Passed() const { return Line != 0; }
};

// Cuts text into lines and cells as the reader does (the text after any byte-order mark)
// and returns the first line at which the grid would pass a limit. Takes no memory beyond
// the message.
SplitFileLimitPassed FindPassedLimit(std::string_view text);

// The refusal of a file of the given size, when it passes kMaxSplitFileBytes:
//   70 MB -> "The file is 70.0 MB; split files up to 64 MB are read."
std::string TooManyBytesMessage(std::size_t bytes);

// A count with its thousands grouped: 20001 -> "20,001", 999 -> "999".
std::string GroupedCount(std::size_t count);
