#include <gtest/gtest.h>

#include <QMenuBar>
#include <QWidget>
#include <memory>

#include "QtBackend.h"
#include "QtEvents.h"
#include "Toolkit.h"

using tk::Rect;
using tk::View;
using tk::Window;

namespace {

struct CountingDelegate : tk::ApplicationDelegate {
    bool quitAfterLastWindow = true;
    int willTerminate = 0;
    void WillTerminate() override { ++willTerminate; }
    bool ShouldTerminateAfterLastWindowClosed() override { return quitAfterLastWindow; }
};

class WindowOnScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        tk::Application::SetDelegate(&delegate);
    }
    void TearDown() override { tk::Application::SetDelegate(nullptr); }
    CountingDelegate delegate;
};

}  // namespace

TEST(Window, GrowingTheWindowKeepsATopPanelUnderTheTopEdge) {
    Window window(Rect{0, 0, 287, 200});
    auto* header = window.ContentView()->AddSubview(std::make_unique<View>(Rect{0, 138, 287, 40}));
    header->SetAutoresizingMask(tk::kWidthSizable | tk::kMinYMargin);
    auto* grid = window.ContentView()->AddSubview(std::make_unique<View>(Rect{0, 0, 287, 138}));
    grid->SetAutoresizingMask(tk::kWidthSizable | tk::kHeightSizable);
    window.SetFrame({0, -100, 287, 300}, /*display=*/true);
    EXPECT_EQ(header->Frame(), (Rect{0, 238, 287, 40}));
    EXPECT_EQ(grid->Frame(), (Rect{0, 0, 287, 238}));
}

TEST_F(WindowOnScreen, TheQtWindowTakesTheFrameWithTheMenuBarAsItsTopStrip) {
    const Rect screen = tk::Screen::MainFrame();
    Window window(Rect{100, 150, 287, 200});
    auto* panel = window.ContentView()->AddSubview(std::make_unique<View>(Rect{2, 10, 50, 30}));
    window.Show();
    QWidget* widget = tk::qt::WidgetOf(window);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(),
              QRect(100, static_cast<int>(screen.height) - 150 - 200, 287, 200));
    EXPECT_EQ(widget->findChild<QMenuBar*>()->geometry(), QRect(0, 0, 287, 22));
    EXPECT_EQ(tk::qt::WidgetOf(*window.ContentView())->geometry(), QRect(0, 22, 287, 178));
    // Bottom-up (2, 10) with height 30 in a 178-point content view.
    EXPECT_EQ(tk::qt::WidgetOf(*panel)->geometry(), QRect(2, 138, 50, 30));

    panel->SetFrame({2, 0, 50, 30});
    EXPECT_EQ(tk::qt::WidgetOf(*panel)->geometry(), QRect(2, 148, 50, 30));
    panel->SetHidden(true);
    EXPECT_TRUE(tk::qt::WidgetOf(*panel)->isHidden());
    window.Close();
}

TEST_F(WindowOnScreen, SettingTheFrameMovesTheQtWindowAndItsViews) {
    const Rect screen = tk::Screen::MainFrame();
    Window window(Rect{0, 0, 287, 200});
    auto* panel = window.ContentView()->AddSubview(std::make_unique<View>(Rect{2, 10, 50, 30}));
    window.Show();
    window.SetFrame({10, 20, 342, 300}, /*display=*/true);
    EXPECT_EQ(tk::qt::WidgetOf(window)->geometry(),
              QRect(10, static_cast<int>(screen.height) - 20 - 300, 342, 300));
    EXPECT_EQ(tk::qt::WidgetOf(*window.ContentView())->geometry(), QRect(0, 22, 342, 278));
    EXPECT_EQ(tk::qt::WidgetOf(*panel)->geometry(), QRect(2, 238, 50, 30));
    window.Close();
}

TEST_F(WindowOnScreen, ADelegateThatSaysNoKeepsTheApplicationRunning) {
    delegate.quitAfterLastWindow = false;
    Window window(Rect{0, 0, 200, 100});
    window.Show();
    window.Close();
    EXPECT_EQ(delegate.willTerminate, 0);
    EXPECT_FALSE(tk::Application::HasTerminated());
}
