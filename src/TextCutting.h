// Cutting the text of a split file or a split-state file into lines and cells, without
// copying: every piece is a view into the text, which must outlive it. Internal to the
// engine; its ParseLines and ParseColumns, and the readers, cut through these.
//   CutLines("A\r\nB\r\n") -> "A", "B", ""     CutCells("a\t\tb") -> "a", "", "b"
//   CutRowLine("Level 1\t40.10\t\t1:36.20") -> "Level 1", {4010, 0, 9620}
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace quorvel_detail {

// Hands out the lines of a text one at a time: every CR LF, LF or lone CR is one break. A
// text whose first run of breaks reaches its end is one line; otherwise a final break gives
// a final empty line. "A\r\nB\r\n" -> "A", "B", ""; "A\n\n" -> "A"; "" -> nothing.
// The lines are views into the text, which must outlive them.
class LineCutter {
  public:
    explicit LineCutter(std::string_view text) : text_(text) {
        if (text.empty()) {
            return;
        }
        const std::size_t first = text.find_first_of("\r\n");
        if (first == std::string_view::npos) {
            single_ = text;
            left_ = Left::kOne;
            return;
        }
        if (text.find_first_not_of("\r\n", first) == std::string_view::npos) {
            single_ = text.substr(0, first);
            left_ = Left::kOne;
            return;
        }
        nextCr_ = Find(first, '\r');
        nextLf_ = Find(first, '\n');
        left_ = Left::kMany;
    }

    // The next line, or false when there are no more.
    bool Next(std::string_view* line) {
        if (left_ == Left::kOne) {
            *line = single_;
            left_ = Left::kNone;
            return true;
        }
        if (left_ == Left::kNone) {
            return false;
        }
        const std::size_t size = text_.size();
        const std::size_t lineEnd = std::min(nextCr_, nextLf_);
        if (lineEnd >= size) {
            *line = text_.substr(start_);
            left_ = Left::kNone;
            return true;
        }
        *line = text_.substr(start_, lineEnd - start_);
        start_ = lineEnd + 1;
        if (lineEnd == nextCr_ && start_ < size && text_[start_] == '\n') {
            ++start_;  // CR LF is one break
        }
        // The next CR and the next LF are each found with memchr and kept until a line
        // passes them, so a file without CR looks for one only once.
        if (nextCr_ < start_) {
            nextCr_ = Find(start_, '\r');
        }
        if (nextLf_ < start_) {
            nextLf_ = Find(start_, '\n');
        }
        return true;
    }

  private:
    enum class Left { kNone, kOne, kMany };

    // The position of the first c at or after from, or the size of the text.
    std::size_t Find(std::size_t from, char c) const {
        const void* found = std::memchr(text_.data() + from, c, text_.size() - from);
        return found == nullptr
                   ? text_.size()
                   : static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
    }

    std::string_view text_;
    std::string_view single_;  // the one line of a text that has only one
    Left left_ = Left::kNone;
    std::size_t start_ = 0;
    std::size_t nextCr_ = 0;
    std::size_t nextLf_ = 0;
};

// All the lines of text, as LineCutter hands them out.
void CutLines(std::string_view text, std::vector<std::string_view>* lines);

// Cuts one line at every TAB; an empty line gives no cells. At most maxCells cells are
// cut, the rest of the line left: CutCells("a\tb\tc", &cells, 2) -> "a", "b".
void CutCells(std::string_view line, std::vector<std::string_view>* cells,
              std::size_t maxCells = static_cast<std::size_t>(-1));

// Cuts a row line into its first cell and the times that the other cells hold, each read
// as TimeStringToLong reads it, in one pass over the line:
//   "Level 1\t40.10\t\t1:36.20" -> "Level 1", {4010, 0, 9620}; "Level 1" -> "Level 1", {}.
void CutRowLine(std::string_view line, std::string_view* name, std::vector<std::int32_t>* times);

}  // namespace quorvel_detail
