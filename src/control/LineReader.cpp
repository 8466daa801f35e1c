#include "LineReader.h"

namespace control {

namespace {

// A line of length bytes (its CR counted, when one ends it) passes the limit.
bool TooLong(std::string_view line) {
    const std::size_t max = LineReader::kMaxLine;
    return line.size() > max + 1 || (line.size() == max + 1 && line.back() != '\r');
}

}  // namespace

void LineReader::Append(std::string_view bytes) {
    if (failed_) {
        return;
    }
    if (taken_ > 0 && taken_ >= buffer_.size() / 2) {
        buffer_.erase(0, taken_);
        scanned_ -= taken_;
        taken_ = 0;
    }
    buffer_.append(bytes);
}

LineReader::Result LineReader::Next() {
    if (failed_) {
        return {Status::kTooLong, {}};
    }
    const std::size_t end = buffer_.find('\n', scanned_);
    const std::size_t stop = end == std::string::npos ? buffer_.size() : end;
    std::string_view line = std::string_view(buffer_).substr(taken_, stop - taken_);
    if (TooLong(line)) {
        failed_ = true;
        buffer_.clear();
        taken_ = scanned_ = 0;
        return {Status::kTooLong, {}};
    }
    if (end == std::string::npos) {
        scanned_ = buffer_.size();
        return {Status::kNone, {}};
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    taken_ = scanned_ = end + 1;
    return {Status::kLine, line};
}

}  // namespace control
