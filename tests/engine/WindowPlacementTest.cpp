// A saved window position is held to the screen that exists.
#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

TEST(WindowPlacement, ASavedPositionIsHeldSoTheWindowLiesOnTheScreen) {
    // Saved left and top, window width and height, and where it goes on a 1280 x 1024 screen.
    const std::tuple<std::int64_t, std::int64_t, int, int, std::int32_t, std::int32_t> cases[] = {
        {100, 50, 300, 400, 100, 50},                  // on the screen: unchanged
        {3000, 10, 300, 400, 980, 10},                 // a monitor that is gone
        {-50, -20, 300, 400, 0, 0},                    // above and left of the screen
        {2147483647, 2147483647, 300, 400, 980, 624},  // the largest saved value
        {-2147483648LL, 0, 300, 400, 0, 0},            // the smallest
        {980, 624, 300, 400, 980, 624},                // exactly at the far corner
        {500, 500, 2000, 1500, 0, 0},  // larger than the screen: its top left corner
    };
    for (const auto& [left, top, width, height, expectedLeft, expectedTop] : cases) {
        const WindowOrigin origin = ClampWindowOrigin(left, top, width, height, 1280, 1024);
        EXPECT_EQ(std::make_pair(origin.Left, origin.Top),
                  std::make_pair(expectedLeft, expectedTop))
            << left << ", " << top;
    }
}
