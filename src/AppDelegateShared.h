// What the delegate's files share: the window's plain title, the height of its menu strip, the
// check state of a menu item as a bool and back (on = 1, off = 0), the truncation of layout
// values and the colour of a difference.
#pragma once

#include <cmath>
#include <cstdint>

#include "Toolkit.h"

namespace shell {

inline constexpr char kAppTitle[] = "Quorvel";
inline constexpr double kTitleBar = tk::Window::kTitleBarHeight;

inline bool IsOn(const tk::MenuItem* item) {
    return item->State() != 0;
}

inline int CheckOf(bool on) {
    return on ? 1 : 0;
}

// Truncation toward zero of a layout value; out-of-range values saturate, NaN gives 0.
inline std::int64_t Trunc(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 9.0e18) {
        return static_cast<std::int64_t>(9.0e18);
    }
    if (value <= -9.0e18) {
        return static_cast<std::int64_t>(-9.0e18);
    }
    return static_cast<std::int64_t>(value);
}

// A difference's colour: green ahead (below 0), red behind, even (the text's, white) at 0.
inline tk::Color ColorOfSign(std::int32_t value, const tk::Color& even = tk::Color::White()) {
    if (value < 0) {
        return tk::Color::Green();
    }
    if (value > 0) {
        return tk::Color::Red();
    }
    return even;
}

}  // namespace shell
