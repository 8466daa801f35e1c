// A saved window position is held to the screen that exists.
#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(WindowPlacement, ASavedPositionIsHeldSoTheWindowLiesOnTheScreen) {
    const struct {
        std::int64_t left, top;
        int width, height;
        std::int32_t expectedLeft, expectedTop;
    } cases[] = {
        {100, 50, 300, 400, 100, 50},                  // on the screen: unchanged
        {3000, 10, 300, 400, 980, 10},                 // a monitor that is gone
        {-50, -20, 300, 400, 0, 0},                    // above and left of the screen
        {2147483647, 2147483647, 300, 400, 980, 624},  // the largest saved value
        {-2147483648LL, 0, 300, 400, 0, 0},            // the smallest
        {980, 624, 300, 400, 980, 624},                // exactly at the far corner
        {500, 500, 2000, 1500, 0, 0},  // larger than the screen: its top left corner
    };
    for (const auto& c : cases) {
        const WindowOrigin origin = ClampWindowOrigin(c.left, c.top, c.width, c.height, 1280, 1024);
        EXPECT_EQ(origin.Left, c.expectedLeft) << c.left;
        EXPECT_EQ(origin.Top, c.expectedTop) << c.top;
    }
}
