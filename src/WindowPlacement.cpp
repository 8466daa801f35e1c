#include "WindowPlacement.h"

#include <algorithm>

namespace {

std::int32_t HoldWithin(std::int64_t value, std::int64_t size, std::int64_t room) {
    const std::int64_t highest = std::max<std::int64_t>(0, room - size);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, highest));
}

}  // namespace

WindowOrigin ClampWindowOrigin(std::int64_t left, std::int64_t top, std::int64_t windowWidth,
                               std::int64_t windowHeight, std::int64_t screenWidth,
                               std::int64_t screenHeight) {
    return {HoldWithin(left, windowWidth, screenWidth),
            HoldWithin(top, windowHeight, screenHeight)};
}
