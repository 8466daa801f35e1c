// The moments an XML split file's attempt list holds, as the other timer writes them: month,
// day, year, then the time of day in UTC, to the second.
//
//   ReadUtcDateText("09/20/2026 18:02:00") -> 1789927320 (seconds since 1970-01-01 00:00 UTC)
//   ReadUtcDateText("01/01/0001 00:00:00") -> -62135596800  (a date some files hold)
//   ReadUtcDateText("13/01/2020 00:00:00") -> nothing (no thirteenth month)
//   UtcDateText(1789927320)                -> "09/20/2026 18:02:00"
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Nothing for text that is not such a date (years 1 to 9999), blanks around it allowed.
std::optional<std::int64_t> ReadUtcDateText(std::string_view text);

// Seconds outside years 1 to 9999 are held to the nearest of them.
std::string UtcDateText(std::int64_t seconds);
