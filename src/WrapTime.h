// Time arithmetic with 32-bit wrap-around, as the engine's clock does it: the sum and the
// difference of two times in hundredths, computed unsigned so that they wrap instead of
// overflowing. WrapSub(5, 10) -> -5; WrapSub(INT32_MIN, 1) -> INT32_MAX;
// WrapAdd(INT32_MAX, 1) -> INT32_MIN. Shared by the engine and the shell.
#pragma once

#include <cstdint>

inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

inline std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
