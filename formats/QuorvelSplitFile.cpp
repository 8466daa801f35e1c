#include "QuorvelSplitFile.h"

#include <algorithm>

#include "FormatLimits.h"
#include "NumberText.h"
#include "QuorvelEngine.h"
#include "TextCutting.h"
#include "TimeTextCodec.h"

namespace {

using quorvel_detail::CutCells;
using quorvel_detail::CutRowLine;
using quorvel_detail::LineCutter;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSplitStateMark = "QVLSplitState\t";

std::size_t CellsIn(std::string_view line) {
    return line.empty() ? 0
                        : 1 + static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
}

// Counts what the engine would build from text, line by line, and stops at the first limit
// passed: nothing is built before the whole file is known to fit.
void CheckShape(std::string_view text) {
    LineCutter cutter(text);
    std::string_view line;
    std::size_t columns = 2;
    std::size_t rows = 0;
    std::size_t cells = 0;
    bool rowLine = true;   // the next line from line 2 on is a row line, else its notes line
    bool skipped = false;  // the row line before this notes line was empty
    for (int number = 1; cutter.Next(&line); ++number) {
        if (number == 2) {
            columns = std::max<std::size_t>(CellsIn(line), 2);
            CheckStoredRunCount(columns - 2, number);
        } else if (number > 2 && rowLine) {
            skipped = line.empty();
            if (!skipped) {
                CheckSplitCount(++rows, number);
                cells += std::max(columns, CellsIn(line));
            }
            rowLine = false;
        } else if (number > 2) {
            const std::size_t notes = CellsIn(line);
            cells += skipped || notes <= columns ? 0 : notes - columns;
            rowLine = true;
        }
        CheckCellCount(cells, number);
    }
}

std::string TypedNote(QuorvelClass& codes, std::string_view escaped) {
    std::string note = codes.RemoveSpecialCodes(std::string(escaped));
    for (std::size_t at = note.find("\r\n"); at != std::string::npos; at = note.find("\r\n", at)) {
        note.erase(at, 1);
    }
    return note;
}

}  // namespace

RouteData ReadQuorvelSplitText(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    if (text.starts_with(kSplitStateMark)) {
        throw FormatError(1, "not a split file: it is a saved run in progress (a split state)");
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        throw FormatError(LineAt(text, nul), "not a split file: it holds a NUL byte");
    }
    CheckShape(text);
    LineCutter cutter(text);
    std::string_view head[2];
    std::string_view rowLine;
    std::string_view notesLine;
    if (!cutter.Next(&head[0]) || !cutter.Next(&head[1]) || !cutter.Next(&rowLine) ||
        !cutter.Next(&notesLine)) {
        throw FormatError(0, "not a split file: it has fewer than four lines");
    }

    RouteData route;
    std::vector<std::string_view> cells;
    CutCells(head[0], &cells);
    if (!cells.empty()) {
        route.AttemptCount = ClampedAtoi(cells[0]);
    }
    if (cells.size() > 1) {
        route.StartOffset = quorvel_detail::TimeViewToLong(cells[1]);
    }
    CutCells(head[1], &cells);
    route.Description = cells.empty() ? "" : std::string(cells[0]);
    for (std::size_t c = 2; c < cells.size(); ++c) {
        route.RunTitles.emplace_back(cells[c]);
    }
    const std::size_t runs = route.RunTitles.size();

    QuorvelClass codes("");
    std::vector<std::int32_t> times;
    bool hasNotesLine = true;  // the first pair was read above
    for (bool first = true; first || cutter.Next(&rowLine); first = false) {
        if (!first) {
            hasNotesLine = cutter.Next(&notesLine);
        }
        if (rowLine.empty()) {
            continue;
        }
        RouteRow split;
        std::string_view name;
        CutRowLine(rowLine, &name, &times);
        times.resize(std::max(times.size(), runs + 1));
        cells.clear();
        if (hasNotesLine) {
            CutCells(notesLine, &cells);
        }
        cells.resize(std::max(cells.size(), runs + 2));
        split.Name = name;
        split.Picture.FileName = cells[0] == "|" ? "" : std::string(cells[0]);
        split.BestSegment = times[0];
        split.RunTimes.assign(times.begin() + 1,
                              times.begin() + 1 + static_cast<std::ptrdiff_t>(runs));
        for (std::size_t n = 0; n <= runs; ++n) {
            split.Notes.push_back(TypedNote(codes, cells[n + 1]));
        }
        route.Splits.push_back(std::move(split));
    }
    return route;
}

std::string QuorvelSplitText(const RouteData& given) {
    RouteData route = given;
    NormaliseRoute(&route);
    QuorvelClass codes("");
    std::string text = IntToString(route.AttemptCount) + "\t" +
                       LongToTimeString(route.StartOffset, /*ShowPlus=*/false, /*ShortForm=*/true) +
                       "\n" + HeaderText(route.Description) + "\tBest Splits";
    for (const std::string& title : route.RunTitles) {
        text += "\t" + HeaderText(title);
    }
    text += "\n";
    for (const RouteRow& split : route.Splits) {
        text += HeaderText(split.Name) + "\t";
        quorvel_detail::AppendTimeText(&text, split.BestSegment, /*ShowPlus=*/false,
                                       /*ShortForm=*/true);
        for (const std::int32_t time : split.RunTimes) {
            text += "\t";
            quorvel_detail::AppendTimeText(&text, time, /*ShowPlus=*/false, /*ShortForm=*/true);
        }
        text += "\n" + HeaderText(split.Picture.FileName);
        for (const std::string& note : split.Notes) {
            text += "\t" + codes.MakeSpecialCodes(note);
        }
        text += "\n";
    }
    // A file needs four lines to load: a route without splits gets a blank line instead.
    if (route.Splits.empty()) {
        text += "\n";
    }
    std::erase(text, '\0');
    return text;
}
