// Time text without temporaries, for the engine's readers and writers of large files: the
// reader takes the common forms in one pass and leaves every other text to the general
// reader, and the writer appends to a string of the caller's. Both give exactly what
// TimeStringToLong and LongToTimeString give. Internal to the engine.
//   TimeViewToLong("1:05.23") -> 6523    TimeViewToLong("-5.2") -> -520
//   AppendTimeText(&s, 6523, /*ShowPlus=*/false, /*ShortForm=*/true) appends "1:05.23"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel_detail {

// Reads the forms the writer produces, "[-][[h:]m:]s[.d[d]]" with 1 to 9 digits in every
// field, from p on, and returns where it stopped, or nullptr when the text at p does not
// begin with such a form. The time counts only when the text ends where it stopped (or, in
// a row line, a TAB ends the cell there); for any other text the general reader decides.
// For these forms both readers agree: no field can reach the clamp, and both hold the sum
// to the 32-bit range with its sign: "600000:00:00.00" -> 2147483647.
//   "1:05.23" -> 6523, stops at the end; "1:05.234" -> stops at the '4'; "1:" -> nullptr.
const char* ReadPlainTime(const char* p, const char* end, std::int32_t* time);

// The general reader of time text, for any text (see TimeStringToLong).
std::int32_t ReadAnyTime(std::string_view text);

// TimeStringToLong of a view: ReadPlainTime when it takes the whole text, else ReadAnyTime.
std::int32_t TimeViewToLong(std::string_view text);

// Appends the text of a time, as LongToTimeString gives it, without a string of its own.
void AppendTimeText(std::string* out, std::int32_t time, bool ShowPlus, bool ShortForm);

}  // namespace quorvel_detail
