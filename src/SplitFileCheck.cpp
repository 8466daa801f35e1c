#include "SplitFileCheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "FileIO.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// Lines at LF, CR LF or CR; a text ending in a line break has a final empty line, as the
// engine's reader counts them.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string_view> Cells(std::string_view line) {
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
         tab = line.find('\t', start)) {
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    cells.push_back(line.substr(start));
    return cells;
}

// A line that a runner would have meant as a row: a name and at least one time, every
// other cell empty or a time. A notes line holds a picture name and free text instead.
bool ReadsAsRowLine(std::string_view line) {
    const std::vector<std::string_view> cells = Cells(line);
    if (cells.size() < 2 || cells[0].empty() || cells[0] == "|" || cells[1].empty()) {
        return false;
    }
    return std::all_of(cells.begin() + 1, cells.end(),
                       [](std::string_view cell) { return cell.empty() || IsTimeText(cell); });
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
    std::size_t first = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;  // a byte-order mark
    first = text.find_first_not_of(" \t\r\n", first);
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

    const std::vector<std::string_view> lines = Lines(text);
    const std::vector<std::string_view> counter = Cells(lines[0]);
    std::string_view count = counter[0];
    if (!count.empty() && (count.front() == '-' || count.front() == '+')) {
        count.remove_prefix(1);
    }
    if (!IsAllDigits(count)) {
        return Verdict(SplitFileKind::NotASplitFile, 0,
                       "Line 1 does not begin with an attempt count, so this is not a split file.");
    }
    if (counter.size() > 1 && !counter[1].empty() && !IsTimeText(counter[1])) {
        return Verdict(SplitFileKind::NotASplitFile, 0,
                       "Line 1 holds \"" + std::string(counter[1]) +
                           "\" where the start offset belongs, so this is not a split file.");
    }
    if (lines.size() < 4) {
        return Verdict(SplitFileKind::NotASplitFile, lines.size() - 1,
                       "The file ends at line " + std::to_string(lines.size()) +
                           ", before its first split, so this is not a split file.");
    }

    // The title line names the description, the best splits and each stored run: a row
    // holds its name and one time for each of the others.
    const std::size_t columns = std::max<std::size_t>(2, Cells(lines[1]).size());
    for (std::size_t i = 2; i < lines.size(); i += 2) {
        if (lines[i].empty()) {
            continue;  // a blank pair of lines gives no row
        }
        const std::vector<std::string_view> cells = Cells(lines[i]);
        if (cells.size() < 2) {
            return Verdict(SplitFileKind::RowWithoutTab, i,
                           LineText(i) + " has no TAB between the split's name and its times.");
        }
        for (std::size_t c = 1; c < cells.size(); ++c) {
            if (!cells[c].empty() && !IsTimeText(cells[c])) {
                return Verdict(
                    SplitFileKind::NotATime, i,
                    LineText(i) + " holds \"" + std::string(cells[c]) + "\" where a time belongs.");
            }
        }
        for (std::size_t c = columns; c < cells.size(); ++c) {
            if (!cells[c].empty()) {
                return Verdict(
                    SplitFileKind::TooManyTimes, i,
                    LineText(i) + " holds more times than the title line (line 2) names columns.");
            }
        }
        if (i + 1 < lines.size() && ReadsAsRowLine(lines[i + 1])) {
            return Verdict(SplitFileKind::NotesLineMissing, i + 1,
                           LineText(i + 1) + " holds a split where the notes line of line " +
                               std::to_string(i + 1) + " belongs.");
        }
    }
    return {};
}

SplitFileCheckResult CheckSplitFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        struct stat info {};
        std::string reason;
        if (::stat(path.c_str(), &info) != 0) {
            reason = std::strerror(errno);
        } else if (S_ISDIR(info.st_mode)) {
            reason = "it is a folder";
        } else if (!S_ISREG(info.st_mode)) {
            reason = "it is not a regular file";
        } else {
            reason = "it cannot be read";
        }
        return {SplitFileKind::Unreadable, 0, "The file could not be opened: " + reason + "."};
    }
    return CheckSplitFileText(text);
}
