#include "ColorText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tk {

namespace {

int Byte(double component) {
    if (std::isnan(component)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::clamp(component, 0.0, 1.0) * 255));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string ColorToHex(const Color& color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", Byte(color.red), Byte(color.green),
                  Byte(color.blue));
    return text;
}

std::optional<Color> ColorFromHex(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    double components[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[1 + 2 * i]);
        const int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        components[i] = (high * 16 + low) / 255.0;
    }
    return Color{components[0], components[1], components[2], 1};
}

}  // namespace tk
