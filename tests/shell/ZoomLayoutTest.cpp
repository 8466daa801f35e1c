// The grid's frames on screen at a zoom: the layout in points is the same at every zoom, and a
// point takes zoom device-independent pixels.
#include <gtest/gtest.h>

#include <QRectF>
#include <QWidget>

#include "QtBackend.h"
#include "QtEvents.h"
#include "ShellFixture.h"
#include "Zoom.h"

namespace {

class ZoomLayout : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        EnsureTestApp();
    }
    void TearDown() override {
        tk::SetZoom(1);
        ShellTest::TearDown();
    }
};

TEST_F(ZoomLayout, ThreeRowsOfFourColumnsTakeTheirPointsTimesTheZoom) {
    struct Case {
        double zoom;
        QSize window;          // 287 x (80 + 70 + 22) points
        QRectF descriptionAt;  // (2, 2, 65, 22) from the header panel's top-left
        QRectF timeAt;         // split 1, column 2: x 67 + 2 x 55, 22 down, 55 x 10
        QRectF diffAt;         // the difference label under it
    };
    for (const Case& c : {
             Case{1.0, {287, 172}, {2, 2, 65, 22}, {177, 22, 55, 10}, {177, 32, 55, 10}},
             Case{1.5, {431, 258}, {3, 3, 97.5, 33}, {265.5, 33, 82.5, 15}, {265.5, 48, 82.5, 15}},
             Case{2.0, {574, 344}, {4, 4, 130, 44}, {354, 44, 110, 20}, {354, 64, 110, 20}},
         }) {
        Launch("[Window]\nLeft=10\nTop=50\n");
        tk::SetZoom(c.zoom);
        Open(WriteSplitFile("route.txt", kThreeSplits));
        ASSERT_NE(tk::qt::WidgetOf(*app->window), nullptr);
        EXPECT_EQ(app->window->Frame().width, 287) << c.zoom;
        EXPECT_EQ(tk::qt::WidgetOf(*app->window)->size(), c.window) << c.zoom;
        EXPECT_EQ(tk::qt::WidgetOf(*app->ScrollBox)->height(), std::lround(70 * c.zoom));
        EXPECT_EQ(tk::qt::DrawnRectOf(*DisplayGrid[0][0][0]), c.descriptionAt) << c.zoom;
        EXPECT_EQ(tk::qt::DrawnRectOf(*Cell(1, 2, 0)), c.timeAt) << c.zoom;
        EXPECT_EQ(tk::qt::DrawnRectOf(*Cell(1, 2, 1)), c.diffAt) << c.zoom;
        // The zoom came after the launch: the window's top-left corner stayed where "Left" and
        // "Top" put it at 100 %.
        EXPECT_EQ(tk::qt::WidgetOf(*app->window)->geometry().topLeft(), QPoint(10, 50)) << c.zoom;
        app->window->Close();
        tk::Application::SetDelegate(nullptr);
        app.reset();
        tk::SetZoom(1);
    }
}

}  // namespace
