// The running time as the window shows it: a time to tenths, LongToTimeString without its
// last digit. 523 -> "5.2", 123450 -> "20:34.5", with showPlus 120 -> "+1.2".
#pragma once

#include <cstdint>
#include <string>

#include "QuorvelEngine.h"

inline std::string TenthsText(std::int32_t time, bool showPlus) {
    std::string text = LongToTimeString(time, showPlus, /*ShortForm=*/true);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}
