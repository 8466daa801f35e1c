#include <gtest/gtest.h>

#include "Toolkit.h"

using tk::Rect;

TEST(Geometry, FlipRectTurnsBottomUpIntoTopDownAndBack) {
    struct Case {
        Rect in;
        double containerHeight;
        Rect expected;
    };
    const Case cases[] = {
        {{2, 10, 55, 10}, 70, {2, 50, 55, 10}},  // a cell label in a 70-point grid
        {{0, 0, 100, 70}, 70, {0, 0, 100, 70}},  // fills the container
        {{2, 60, 65, 10}, 70, {2, 0, 65, 10}},   // touches the top edge
        {{5, -4, 10, 8}, 20, {5, 16, 10, 8}},    // hangs below the bottom edge
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tk::FlipRect(c.in, c.containerHeight), c.expected);
        EXPECT_EQ(tk::FlipRect(c.expected, c.containerHeight), c.in);
    }
}

TEST(Geometry, WindowFramesConvertBetweenScreenAndDesktopCoordinates) {
    struct Case {
        Rect mainScreen;  // top-down, on the desktop
        Rect topDown;
        Rect screen;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1080}, {100, 50, 300, 200}, {100, 830, 300, 200}},
        {{0, 0, 1920, 1080}, {0, 0, 287, 1080}, {0, 0, 287, 1080}},
        // A main screen that is not at the desktop's origin.
        {{1280, 200, 1920, 1080}, {1380, 250, 300, 200}, {100, 830, 300, 200}},
        // A window above the main screen has y beyond its height.
        {{0, 0, 800, 600}, {10, -100, 50, 60}, {10, 640, 50, 60}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tk::ScreenRectFromTopDown(c.topDown, c.mainScreen), c.screen);
        EXPECT_EQ(tk::TopDownRectFromScreen(c.screen, c.mainScreen), c.topDown);
    }
}

TEST(Geometry, UnionIgnoresEmptyRectanglesAndIntersectionNeedsSharedArea) {
    const Rect a{0, 0, 10, 10};
    const Rect b{5, 5, 10, 10};
    EXPECT_EQ(a.Union(b), (Rect{0, 0, 15, 15}));
    EXPECT_EQ(a.Union(Rect{100, 100, 0, 5}), a);
    EXPECT_EQ(Rect{}.Union(b), b);
    EXPECT_EQ(a.Intersection(b), (Rect{5, 5, 5, 5}));
    EXPECT_FALSE(a.Intersects(Rect{10, 0, 5, 5}));  // touching edges only
    EXPECT_TRUE(a.Intersection(Rect{10, 0, 5, 5}).IsEmpty());
}
