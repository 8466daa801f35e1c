#include "TextCutting.h"

#include "TimeTextCodec.h"

namespace quorvel_detail {

void CutLines(std::string_view text, std::vector<std::string_view>* lines) {
    lines->clear();
    LineCutter cutter(text);
    for (std::string_view line; cutter.Next(&line);) {
        lines->push_back(line);
    }
}

void CutCells(std::string_view line, std::vector<std::string_view>* cells, std::size_t maxCells) {
    cells->clear();
    if (line.empty() || maxCells == 0) {
        return;
    }
    // Cells are short, and in notes lines mostly empty: a plain scan beats a library search
    // call per cell.
    const char* start = line.data();
    const char* const end = start + line.size();
    for (const char* p = start; p != end; ++p) {
        if (*p == '\t') {
            cells->emplace_back(start, static_cast<std::size_t>(p - start));
            if (cells->size() == maxCells) {
                return;
            }
            start = p + 1;
        }
    }
    cells->emplace_back(start, static_cast<std::size_t>(end - start));
}

void CutRowLine(std::string_view line, std::string_view* name, std::vector<std::int32_t>* times) {
    times->clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p != end && *p != '\t') {
        ++p;
    }
    *name = std::string_view(line.data(), static_cast<std::size_t>(p - line.data()));
    while (p != end) {
        const char* const cell = ++p;  // past the TAB
        std::int32_t time = 0;
        p = ReadPlainTime(cell, end, &time);
        if (p == nullptr || (p != end && *p != '\t')) {
            p = cell;
            while (p != end && *p != '\t') {
                ++p;
            }
            time = ReadAnyTime(std::string_view(cell, static_cast<std::size_t>(p - cell)));
        }
        times->push_back(time);
    }
}

}  // namespace quorvel_detail
