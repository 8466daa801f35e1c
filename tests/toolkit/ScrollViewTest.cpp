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

TEST(ScrollView, TheScrollBarShowsTheDistanceFromTheTopOfTheDocument) {
    EnsureTestApp();
    tk::Window window(Rect{0, 0, 287, 222});
    auto* scroll = window.ContentView()->AddSubview(TwentyRows());
    window.Show();
    QScrollBar* bar = tk::qt::VerticalScrollBarOf(*scroll);
    ASSERT_NE(bar, nullptr);
    struct Case {
        double y;      // bottom-up, in the document
        int barValue;  // top of the visible area below the top of the document
    };
    const Case cases[] = {{244, 0}, {111, 133}, {0, 244}};
    for (const Case& c : cases) {
        scroll->ScrollToPoint({0, c.y});
        scroll->ReflectScrolledClipView();
        EXPECT_EQ(bar->value(), c.barValue) << c.y;
        EXPECT_EQ(bar->maximum(), 244);
    }
    // The user's scrolling comes back into the model.
    bar->setValue(33);
    EXPECT_EQ(scroll->ScrollPosition().y, 211);
    EXPECT_EQ(tk::qt::WidgetOf(*scroll->DocumentView())->height(), 444);
    window.Close();
}

TEST(ScrollView, TheMouseWheelScrollsTheDocument) {
    EnsureTestApp();
    tk::Window window(Rect{0, 0, 287, 222});
    auto* scroll = window.ContentView()->AddSubview(TwentyRows());
    scroll->ScrollToPoint({0, 244});  // top of the document
    window.Show();
    auto* area = qobject_cast<QAbstractScrollArea*>(tk::qt::WidgetOf(*scroll));
    ASSERT_NE(area, nullptr);
    QWheelEvent down(QPointF(100, 100), area->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                     /*inverted=*/false);
    QCoreApplication::sendEvent(area->viewport(), &down);
    EXPECT_LT(scroll->ScrollPosition().y, 244);
    EXPECT_EQ(scroll->ScrollPosition().y, 244 - area->verticalScrollBar()->value());
    window.Close();
}
