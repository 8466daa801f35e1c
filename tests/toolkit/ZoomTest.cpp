// Zoom steps, the first launch's zoom, colours as the settings keep them, painting at a zoom.
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cmath>

#include "ColorText.h"
#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"
#include "Zoom.h"

using tk::Color;

TEST(Zoom, StepsOfAQuarterFromHalfToFourTimes) {
    // zoom: snapped, in, out
    const std::array<double, 4> cases[] = {{1.3, 1.25, 1.5, 1.0},
                                           {0.1, 0.5, 0.75, 0.5},
                                           {9.0, 4.0, 4.0, 3.75},
                                           {NAN, 1.0, 1.25, 0.75}};
    for (const auto& [zoom, snapped, in, out] : cases) {
        EXPECT_EQ(std::tuple(tk::SnapZoom(zoom), tk::ZoomIn(zoom), tk::ZoomOut(zoom)),
                  std::tuple(snapped, in, out))
            << zoom;
    }
}

TEST(Zoom, FirstLaunchMakesGridTextTwelvePixelsTallWhereTheWindowFits) {
    // font points, screen width and height: zoom
    const std::array<double, 4> cases[] = {{8, 1920, 1040, 1.5}, {8, 400, 300, 1.25},
                                           {8, 200, 100, 1.0},   {13, 1920, 1040, 1.0},
                                           {2, 7680, 4320, 4.0}, {5, 3840, 2160, 2.5}};
    for (const auto& [points, width, height, zoom] : cases) {
        EXPECT_EQ(tk::FirstLaunchZoom(points, 12, {0, 0, 287, 200}, {0, 0, width, height}), zoom)
            << points << " on " << width;
    }
}

// Round trips through the settings, upper case read, "green" refused: the shell's look tests.
TEST(ColorText, ColoursAsTheSettingsKeepThemRoundedAndClamped) {
    EXPECT_EQ(tk::ColorToHex({0.1, 0.1, 0.12, 1}), "#1a1a1f");
    EXPECT_EQ(tk::ColorToHex({2, -1, std::nan(""), 1}), "#ff0000");
    EXPECT_EQ(tk::ColorFromHex("#000000").value_or(Color::Red()).alpha, 1);
    for (const char* bad : {"", "00ff00", "#0f0", "#00ff0", "#00ff00 ", "#gg0000", "#00ff001"}) {
        EXPECT_FALSE(tk::ColorFromHex(bad).has_value()) << bad;
    }
}

TEST(ZoomOnScreen, LabelsArePaintedAtTheZoomAndAlwaysOnTopKeepsTheWindowShown) {
    EnsureTestApp();
    tk::Screen::OverrideMain({0, 0, 1920, 1080}, {0, 0, 1920, 1080});
    tk::SetZoom(2);
    tk::Window window(tk::Rect{0, 0, 100, 72});
    window.SetBackgroundColor(Color::Black());
    auto label = std::make_unique<tk::Label>(tk::Rect{10, 10, 20, 10});
    label->SetDrawsBackground(true);
    label->SetBackgroundColor(Color::Red());
    window.ContentView()->AddLabel(std::move(label));
    window.Show();
    ProcessPendingEvents();
    const QImage image = tk::qt::WidgetOf(*window.ContentView())->grab().toImage();
    ASSERT_EQ(image.size(), QSize(200, 100));
    // The label covers x 20..60 and, from the top of the 50-point view, y 60..80 pixels.
    EXPECT_EQ(image.pixelColor(58, 78), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(62, 82), QColor(Qt::red));
    tk::SetZoom(1);
    for (const bool onTop : {true, false}) {  // the flag reaches the window manager
        window.SetAlwaysOnTop(onTop);
        QWidget* widget = tk::qt::WidgetOf(window);
        EXPECT_EQ(widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        EXPECT_TRUE(widget->isVisible());
    }
    window.Close();
    tk::Screen::ClearOverride();
}
