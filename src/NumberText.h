// Reading numbers out of file text, shared by the split file, split-state and settings
// readers. Standard library only.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

// A 64-bit value held to the 32-bit range: 3000000000 -> 2147483647,
// -3000000000 -> -2147483648, -5 -> -5.
inline std::int32_t SaturateToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

// The white space atoi skips.
inline bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads text as atoi does (leading white space, an optional sign, digits up to the first
// non-digit, 0 without digits) but clamps the value to the 32-bit range instead of
// overflowing: "12px" -> 12, " -5" -> -5, "abc" -> 0, "99999999999" -> 2147483647.
inline std::int32_t ClampedAtoi(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kLimit) {
            value = value * 10 + (text[i] - '0');
        }
    }
    return SaturateToInt32(negative ? -value : value);
}
