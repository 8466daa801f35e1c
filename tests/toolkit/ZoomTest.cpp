#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <memory>

#include "ColorText.h"
#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"
#include "Zoom.h"

using tk::Color;
using tk::Rect;
using tk::View;
using tk::Window;

namespace {

TEST(Zoom, StepsOfAQuarterFromHalfToFourTimes) {
    struct Case {
        double zoom, snapped, in, out;
    };
    for (const Case& c : {Case{1.3, 1.25, 1.5, 1.0}, Case{0.1, 0.5, 0.75, 0.5},
                          Case{9.0, 4.0, 4.0, 3.75}, Case{std::nan(""), 1.0, 1.25, 0.75}}) {
        EXPECT_EQ(tk::SnapZoom(c.zoom), c.snapped) << c.zoom;
        EXPECT_EQ(tk::ZoomIn(c.zoom), c.in) << c.zoom;
        EXPECT_EQ(tk::ZoomOut(c.zoom), c.out) << c.zoom;
    }
}

TEST(Zoom, FirstLaunchMakesGridTextTwelvePixelsTallWhereTheWindowFits) {
    struct Case {
        double fontPoints;
        Rect screen;
        double zoom;
    };
    const Rect window{0, 0, 287, 200};
    for (const Case& c : {Case{8, {0, 0, 1920, 1040}, 1.5}, Case{8, {0, 0, 400, 300}, 1.25},
                          Case{8, {0, 0, 200, 100}, 1.0}, Case{13, {0, 0, 1920, 1040}, 1.0},
                          Case{2, {0, 0, 7680, 4320}, 4.0}, Case{5, {0, 0, 3840, 2160}, 2.5}}) {
        EXPECT_EQ(tk::FirstLaunchZoom(c.fontPoints, 12, window, c.screen), c.zoom)
            << c.fontPoints << " on " << c.screen.width;
    }
}

TEST(ColorText, ColoursAsTheSettingsKeepThem) {
    EXPECT_EQ(tk::ColorToHex(Color::Red()), "#ff0000");
    EXPECT_EQ(tk::ColorToHex({0.1, 0.1, 0.12, 1}), "#1a1a1f");
    EXPECT_EQ(tk::ColorToHex({2, -1, std::nan(""), 1}), "#ff0000");
    for (const char* text : {"#1A1A1F", "#000000"}) {
        const auto color = tk::ColorFromHex(text);
        ASSERT_TRUE(color.has_value()) << text;
        EXPECT_EQ(tk::ColorToHex(*color), QString(text).toLower().toStdString());
        EXPECT_EQ(color->alpha, 1);
    }
    for (const char* bad : {"", "00ff00", "#0f0", "#00ff0", "#00ff00 ", "#gg0000", "#00ff001"}) {
        EXPECT_FALSE(tk::ColorFromHex(bad).has_value()) << bad;
    }
}

class ZoomOnScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        tk::Screen::OverrideMain({0, 0, 1920, 1080}, {0, 0, 1920, 1080});
    }
    void TearDown() override {
        tk::SetZoom(1);
        tk::Screen::ClearOverride();
    }
};

TEST_F(ZoomOnScreen, LabelsArePaintedAtTheZoom) {
    tk::SetZoom(2);
    Window window(Rect{0, 0, 100, 72});
    window.SetBackgroundColor(Color::Black());
    auto label = std::make_unique<tk::Label>(Rect{10, 10, 20, 10});
    label->SetDrawsBackground(true);
    label->SetBackgroundColor(Color::Red());
    window.ContentView()->AddLabel(std::move(label));
    window.Show();
    ProcessPendingEvents();
    const QImage image = tk::qt::WidgetOf(*window.ContentView())->grab().toImage();
    ASSERT_EQ(image.size(), QSize(200, 100));
    // The label covers x 20..60 and, from the top of the 50-point view, y 60..80 pixels.
    EXPECT_EQ(image.pixelColor(21, 61), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(58, 78), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(62, 70), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(40, 82), QColor(Qt::red));
    window.Close();
}

TEST_F(ZoomOnScreen, AlwaysOnTopReachesTheWindowManagerAndKeepsTheWindowShown) {
    Window window(Rect{0, 0, 200, 100});
    window.Show();
    for (const bool onTop : {true, false}) {
        window.SetAlwaysOnTop(onTop);
        QWidget* widget = tk::qt::WidgetOf(window);
        EXPECT_EQ(widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        EXPECT_TRUE(widget->isVisible());
    }
    window.Close();
}

}  // namespace
