// A saved window position is held to the screen that exists.
#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(WindowPlacement, ASavedPositionIsHeldSoTheWindowLiesOnTheScreen) {
    const struct {
        std::int64_t left, top;
        std::int32_t expectedLeft, expectedTop;
    } cases[] = {
        {100, 50, 100, 50},                  // on the screen: unchanged
        {3000, 10, 980, 10},                 // a monitor that is gone
        {-50, -20, 0, 0},                    // above and left of the screen
        {2147483647, 2147483647, 980, 624},  // the largest saved value
        {-2147483648LL, 0, 0, 0},            // the smallest
        {980, 624, 980, 624},                // exactly at the far corner
    };
    for (const auto& c : cases) {
        const WindowOrigin origin = ClampWindowOrigin(c.left, c.top, 300, 400, 1280, 1024);
        EXPECT_EQ(origin.Left, c.expectedLeft) << c.left;
        EXPECT_EQ(origin.Top, c.expectedTop) << c.top;
    }
}

TEST(WindowPlacement, AWindowLargerThanTheScreenGoesToItsTopLeftCorner) {
    const WindowOrigin origin = ClampWindowOrigin(500, 500, 2000, 1500, 1280, 1024);
    EXPECT_EQ(origin.Left, 0);
    EXPECT_EQ(origin.Top, 0);
}
