#include "SplitFileCheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "FileIO.h"
#include "SplitFileLimits.h"
#include "TextCutting.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// Calls visit(index, cell) for each TAB-separated cell of line, from 0, until it returns
// false; an empty line is one empty cell. No list of cells is made, however long the line.
template <typename Visit>
void ForEachCell(std::string_view line, Visit visit) {
    for (std::size_t index = 0, start = 0;; ++index) {
        const std::size_t tab = line.find('\t', start);
        if (!visit(index, line.substr(start, tab - start)) || tab == std::string_view::npos) {
            return;
        }
        start = tab + 1;
    }
}

// A line that a runner would have meant as a row: a name and at least one time, every
// other cell empty or a time. A notes line holds a picture name and free text instead.
bool ReadsAsRowLine(std::string_view line) {
    bool row = true;
    std::size_t cells = 0;
    ForEachCell(line, [&](std::size_t index, std::string_view cell) {
        cells = index + 1;
        if (index == 0) {
            row = !cell.empty() && cell != "|";
        } else {
            row = (index > 1 || !cell.empty()) && (cell.empty() || IsTimeText(cell));
        }
        return row;
    });
    return row && cells >= 2;
}

SplitFileCheckResult Verdict(SplitFileKind kind, std::size_t lineIndex, std::string message) {
    return {kind, static_cast<int>(lineIndex) + 1, std::move(message)};
}

std::string LineText(std::size_t lineIndex) {
    return "Line " + std::to_string(lineIndex + 1);
}

// The line index of byte offset in text, counting LF, CR LF and CR as one break each.
std::size_t LineOf(std::string_view text, std::size_t offset) {
    std::size_t line = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

}  // namespace

bool IsTimeText(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        if (fraction.size() > 2 || !IsAllDigits(fraction)) {
            return false;
        }
        text = text.substr(0, point);
    }
    int fields = 0;
    for (std::size_t start = 0;; ++fields) {
        const std::size_t colon = text.find(':', start);
        if (!IsAllDigits(text.substr(start, colon - start)) || fields > 2) {
            return false;
        }
        if (colon == std::string_view::npos) {
            return true;
        }
        start = colon + 1;
    }
}

SplitFileCheckResult CheckSplitFileText(std::string_view text) {
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        const std::size_t line = LineOf(text, nul);
        return Verdict(
            SplitFileKind::Binary, line,
            "This is not a text file: line " + std::to_string(line + 1) + " holds a NUL byte.");
    }
    if (text.starts_with(kByteOrderMark)) {  // read past, as the reader does
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && text[first] == '<') {
        return Verdict(SplitFileKind::LiveSplitXml, LineOf(text, first),
                       "This looks like a LiveSplit split file (XML).");
    }
    if (first != std::string_view::npos && (text[first] == '{' || text[first] == '[')) {
        return Verdict(SplitFileKind::LibreSplitJson, LineOf(text, first),
                       "This looks like a LibreSplit or urn split file (JSON).");
    }
    if (text.starts_with("QVLSplitState\t")) {
        return Verdict(
            SplitFileKind::SplitState, 0,
            "This is a split-state file: open it with File \u25B8 Open Split State\u2026");
    }
    if (const SplitFileLimitPassed passed = FindPassedLimit(text); passed.Passed()) {
        return {SplitFileKind::TooLarge, passed.Line, passed.Message};
    }

    // Lines as the reader cuts them, one at a time: the first four, then pairs.
    quorvel_detail::LineCutter cutter(text);
    std::string_view head[4];
    std::size_t lineCount = 0;
    while (lineCount < 4 && cutter.Next(&head[lineCount])) {
        ++lineCount;
    }
    const std::string_view counterLine = head[0];
    const std::size_t tab = counterLine.find('\t');
    std::string_view count = counterLine.substr(0, tab);
    if (!count.empty() && (count.front() == '-' || count.front() == '+')) {
        count.remove_prefix(1);
    }
    if (!IsAllDigits(count)) {
        return Verdict(SplitFileKind::NotASplitFile, 0,
                       "Line 1 does not begin with an attempt count, so this is not a split file.");
    }
    if (tab != std::string_view::npos) {
        const std::string_view rest = counterLine.substr(tab + 1);
        const std::string_view offset = rest.substr(0, rest.find('\t'));
        if (!offset.empty() && !IsTimeText(offset)) {
            return Verdict(SplitFileKind::NotASplitFile, 0,
                           "Line 1 holds \"" + std::string(offset) +
                               "\" where the start offset belongs, so this is not a split file.");
        }
    }
    if (lineCount < 4) {
        const std::size_t last = std::max<std::size_t>(lineCount, 1);
        return Verdict(SplitFileKind::NotASplitFile, last - 1,
                       "The file ends at line " + std::to_string(last) +
                           ", before its first split, so this is not a split file.");
    }

    // The title line names the description, the best splits and each stored run: a row
    // holds its name and one time for each of the others.
    const std::size_t columns = std::max<std::size_t>(
        2, static_cast<std::size_t>(std::count(head[1].begin(), head[1].end(), '\t')) + 1);
    std::string_view row = head[2];
    std::string_view notes = head[3];
    bool hasNotes = true;
    for (std::size_t i = 2;; i += 2) {
        if (!row.empty()) {  // a blank pair of lines gives no row
            if (row.find('\t') == std::string_view::npos) {
                return Verdict(SplitFileKind::RowWithoutTab, i,
                               LineText(i) + " has no TAB between the split's name and its times.");
            }
            std::string_view notATime;
            bool tooMany = false;
            ForEachCell(row, [&](std::size_t c, std::string_view cell) {
                if (c > 0 && !cell.empty() && !IsTimeText(cell)) {
                    notATime = cell;
                    return false;
                }
                tooMany = tooMany || (c >= columns && !cell.empty());
                return true;
            });
            if (!notATime.empty()) {
                return Verdict(
                    SplitFileKind::NotATime, i,
                    LineText(i) + " holds \"" + std::string(notATime) + "\" where a time belongs.");
            }
            if (tooMany) {
                return Verdict(
                    SplitFileKind::TooManyTimes, i,
                    LineText(i) + " holds more times than the title line (line 2) names columns.");
            }
            if (hasNotes && ReadsAsRowLine(notes)) {
                return Verdict(SplitFileKind::NotesLineMissing, i + 1,
                               LineText(i + 1) + " holds a split where the notes line of line " +
                                   std::to_string(i + 1) + " belongs.");
            }
        }
        if (!cutter.Next(&row)) {
            return {};
        }
        hasNotes = cutter.Next(&notes);
    }
}

SplitFileCheckResult CheckSplitFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, &text, kMaxSplitFileBytes)) {
        const int error = errno;
        std::string target;
        std::string reason;
        struct stat info {};
        if (!FollowLinks(path, &target, &reason)) {
            // reason says why
        } else if (::stat(target.c_str(), &info) != 0) {
            reason = std::strerror(errno);
        } else if (S_ISDIR(info.st_mode)) {
            reason = "it is a folder";
        } else if (!S_ISREG(info.st_mode)) {
            reason = "it is not a regular file";
        } else if (error == EFBIG) {
            return {SplitFileKind::TooLarge, 0,
                    TooManyBytesMessage(static_cast<std::size_t>(info.st_size))};
        } else {
            reason = "it cannot be read";
        }
        return {SplitFileKind::Unreadable, 0, "The file could not be opened: " + reason + "."};
    }
    return CheckSplitFileText(text);
}
