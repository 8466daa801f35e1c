// Where a window may be put: a saved position is held to the screen, so that a value from
// another monitor or a hand-edited settings file never opens the window off screen (or, for
// 2147483647, overflows the window system's arithmetic). Standard library only.
//
//   screen 1280 x 1024, window 300 x 400:
//     ClampWindowOrigin(3000, 10, ...)       -> {980, 10}   (right edge on the screen)
//     ClampWindowOrigin(-50, -20, ...)       -> {0, 0}
//     ClampWindowOrigin(2147483647, 0, ...)  -> {980, 0}
#pragma once

#include <cstdint>

struct WindowOrigin {
    std::int32_t Left = 0;
    std::int32_t Top = 0;  // down from the screen's top edge
};

// Holds left and top (down from the top) so the whole window lies on a screen of the given
// size; a window larger than the screen is put at its top-left corner.
WindowOrigin ClampWindowOrigin(std::int64_t left, std::int64_t top, std::int64_t windowWidth,
                               std::int64_t windowHeight, std::int64_t screenWidth,
                               std::int64_t screenHeight);
