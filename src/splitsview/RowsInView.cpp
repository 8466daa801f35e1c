#include "RowsInView.h"

#include <algorithm>

std::vector<std::size_t> RowsInView(std::size_t rows, std::size_t current, int visible) {
    const auto shown =
        static_cast<std::size_t>(std::clamp(visible, kMinVisibleRows, kMaxVisibleRows));
    std::vector<std::size_t> view;
    if (rows <= shown) {
        for (std::size_t i = 0; i < rows; ++i) {
            view.push_back(i);
        }
        return view;
    }
    // The scrolling part holds rows 0 .. rows - 2; it ends at the row after the current one.
    const std::size_t scrolling = shown - 1;
    const std::size_t lastFirst = rows - 1 - scrolling;
    const std::size_t wantedEnd = std::min(current + 2, rows - 1);  // one past the next row
    const std::size_t first =
        std::min(wantedEnd > scrolling ? wantedEnd - scrolling : 0, lastFirst);
    for (std::size_t i = first; i < first + scrolling; ++i) {
        view.push_back(i);
    }
    view.push_back(rows - 1);
    return view;
}
