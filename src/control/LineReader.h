// Cuts the bytes of one connection into command lines: a line ends in CR LF or in LF alone, and
// may hold at most kMaxLine bytes before its end. A longer line is the end of the connection,
// found as soon as its first kMaxLine + 1 bytes are in, however the bytes come.
//   LineReader reader;
//   reader.Append("ping\r\nsplit\npa");
//   reader.Next() -> {kLine, "ping"}, then {kLine, "split"}, then {kNone, ""}  ("pa" waits)
//   reader.Append(std::string(2000, 'x'));
//   reader.Next() -> {kTooLong, ""}: the connection is to be closed
// The reader keeps what is appended and not yet taken, so its caller bounds memory by reading
// from the socket only when Next() has nothing left (ControlServer reads kReadChunk at a time).
// Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace control {

class LineReader {
  public:
    static constexpr std::size_t kMaxLine = 1024;

    enum class Status { kLine, kNone, kTooLong };
    struct Result {
        Status What = Status::kNone;
        std::string_view Line;  // valid until the next call
    };

    void Append(std::string_view bytes);
    // The next whole line without its end; kNone while none is complete; kTooLong for a line
    // past the limit.
    Result Next();
    // Bytes appended and not yet taken.
    std::size_t Buffered() const { return buffer_.size() - taken_; }

  private:
    std::string buffer_;
    std::size_t taken_ = 0;    // bytes of buffer_ already handed out
    std::size_t scanned_ = 0;  // bytes of buffer_ known to hold no line end
    bool failed_ = false;
};

}  // namespace control
