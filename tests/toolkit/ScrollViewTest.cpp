#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <memory>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

using tk::Point;
using tk::Rect;
using tk::ScrollView;
using tk::View;

namespace {

// The grid of 20 rows of 22 points in a visible height of 200.
std::unique_ptr<ScrollView> TwentyRows() {
    auto scroll = std::make_unique<ScrollView>(Rect{0, 0, 287, 200});
    scroll->SetDocumentView(std::make_unique<View>(Rect{0, 0, 287, 444}));
    return scroll;
}

}  // namespace

TEST(ScrollView, ScrollPositionIsKeptWithinTheDocument) {
    auto scroll = TwentyRows();
    struct Case {
        double y;
        double expected;
    };
    const Case cases[] = {{111, 111}, {244, 244}, {300, 244}, {-5, 0}, {0, 0}};
    for (const Case& c : cases) {
        scroll->ScrollToPoint({0, c.y});
        EXPECT_EQ(scroll->ScrollPosition(), (Point{0, c.expected})) << c.y;
    }
}

TEST(ScrollView, AShrinkingDocumentPullsTheScrollPositionBack) {
    auto scroll = TwentyRows();
    scroll->ScrollToPoint({0, 244});
    scroll->DocumentView()->SetFrame({0, 0, 287, 300});
    EXPECT_EQ(scroll->ScrollPosition().y, 100);
}
