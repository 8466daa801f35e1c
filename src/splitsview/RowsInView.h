// Which rows of the split list are on screen. A set number of rows is shown (12 unless the
// runner chose otherwise); the last row of the route is always the last one shown, and the
// others scroll so that the split being timed and the one after it are in view, with the
// splits already made above them.
//
// 40 rows, 12 shown (11 that scroll, and row 39):
//   current 0  -> 0..10, 39       current 20 -> 11..21, 39
//   current 9  -> 0..10, 39       current 38 -> 28..38, 39
//   current 10 -> 1..11, 39       current 39 or finished (40) -> 28..38, 39
// A route that fits shows every row.
#pragma once

#include <cstddef>
#include <vector>

// At least this many rows are shown: the one being timed, the next and the last.
inline constexpr int kMinVisibleRows = 3;
inline constexpr int kMaxVisibleRows = 100;
inline constexpr int kDefaultVisibleRows = 12;

// The indexes of the rows in view, top to bottom. rows is the number of rows, current the
// row being timed (rows once the run is finished), visible the rows shown, held within
// kMinVisibleRows and kMaxVisibleRows.
std::vector<std::size_t> RowsInView(std::size_t rows, std::size_t current, int visible);
