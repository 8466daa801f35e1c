// The window's look and the hotkeys dialog in the shell: zoom, always on top and background
// colour from the settings and back, the menu commands, and the dialog's OK that binds and
// saves at once.

#include <QLabel>

#include "BackgroundDialog.h"
#include "ColorText.h"
#include "HotkeysDialog.h"
#include "QtEvents.h"
#include "ShellFixture.h"
#include "Zoom.h"

namespace {

class Look : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        EnsureTestApp();  // the hotkeys dialog is a real one, not shown
    }
    void TearDown() override {
        SetBackgroundColourTestHook(nullptr);
        SetHotkeysDialogTestHook(nullptr);
        ShellTest::TearDown();
    }
    void Quit() { app->applicationWillTerminate(); }
    std::string Window(const char* key) { return IniValue(IniPath(), "Window", key); }
};

TEST_F(Look, AFirstLaunchZoomsSoThatGridTextIsTwelvePixelsTall) {
    Launch();  // no settings yet, on a 1920 x 1080 screen: 8-point text needs 150 %
    EXPECT_EQ(app->Look().Zoom(), 1.5);
    EXPECT_EQ(tk::Zoom(), 1.5);
    Quit();
    EXPECT_EQ(Window("Zoom"), "150");
}

TEST_F(Look, SettingsComeBackAsTheyWereSaved) {
    struct Case {
        const char* ini;
        double zoom;
        bool onTop;
        const char* background;  // as saved
    };
    for (const Case& c : {
             Case{"Zoom=200\nAlwaysOnTop=Y\nBackground=#00b140\n", 2, true, "#00b140"},
             Case{"Zoom=75\nAlwaysOnTop=N\nBackground=#FFFFFF\n", 0.75, false, "#ffffff"},
             Case{"Zoom=110\n", 1.0, false, "#1a1a1f"},  // between steps: the nearest
             Case{"Zoom=37\nAlwaysOnTop=y\nBackground=green\n", 1, false, "#1a1a1f"},
             Case{"Left=5\n", 1, false, "#1a1a1f"},  // settings of an older version
         }) {
        Launch(std::string("[Window]\n") + c.ini);
        EXPECT_EQ(tk::Zoom(), c.zoom) << c.ini;
        EXPECT_EQ(app->window->AlwaysOnTop(), c.onTop) << c.ini;
        EXPECT_EQ(app->AlwaysOnTopMenuItem->State(), c.onTop ? 1 : 0) << c.ini;
        EXPECT_EQ(tk::ColorToHex(app->window->BackgroundColor()), c.background) << c.ini;
        Quit();
        EXPECT_EQ(Window("Zoom"), std::to_string(static_cast<int>(c.zoom * 100))) << c.ini;
        EXPECT_EQ(Window("AlwaysOnTop"), c.onTop ? "Y" : "N") << c.ini;
        EXPECT_EQ(Window("Background"), c.background) << c.ini;
        tk::Application::SetDelegate(nullptr);
        app.reset();
        tk::SetZoom(1);
    }
}

TEST_F(Look, ZoomStepsFromTheViewMenuAreSavedAndKeepTheWindowInPoints) {
    Launch("[Window]\nZoom=100\nLeft=10\nTop=50\n");
    Open(WriteSplitFile("route.txt", kThreeSplits));
    const tk::Rect before = app->window->Frame();
    tk::Menu* bar = app->window->MenuBar();
    ASSERT_NE(bar->FindItemByKey("Ctrl++;Ctrl+="), nullptr);  // both keys zoom in
    bar->FindItemByKey("Ctrl++;Ctrl+=")->Trigger();
    bar->FindItemByKey("Ctrl++;Ctrl+=")->Trigger();
    EXPECT_EQ(tk::Zoom(), 1.5);
    EXPECT_EQ(app->window->Frame().width, before.width);
    EXPECT_EQ(app->window->Frame().height, before.height);
    // The top-left corner stays on the screen: 10 and 50 pixels are 6.67 and 33.3 points.
    EXPECT_NEAR(app->window->Frame().x, 10 / 1.5, 1e-9);
    EXPECT_NEAR(tk::Screen::MainFrame().height - app->window->Frame().MaxY(), 50 / 1.5, 1e-9);
    for (int i = 0; i < 9; ++i) {
        bar->FindItemByKey("Ctrl+-")->Trigger();
    }
    EXPECT_EQ(tk::Zoom(), 0.5);  // no lower
    bar->FindItemByKey("Ctrl+0")->Trigger();
    EXPECT_EQ(tk::Zoom(), 1);
    bar->FindItem("Zoom In")->Trigger();
    Quit();
    EXPECT_EQ(Window("Zoom"), "125");
}

TEST_F(Look, ATallGridStaysOnTheScreenWhenZoomedIn) {
    Launch("[Window]\nZoom=100\nLeft=10\nTop=0\n");
    std::string route = "1\t0.00\nRoute\tBest Splits\tRun\n";
    for (int i = 0; i < 30; ++i) {
        route += "Split " + std::to_string(i) + "\t10.00\t10.00\n\t\t\n";
    }
    Open(WriteSplitFile("tall.txt", route));
    EXPECT_EQ(app->window->Frame().height, 80 + 30 * 22 + 4 + 22);
    app->window->MenuBar()->FindItem("Zoom In")->Trigger();
    app->window->MenuBar()->FindItem("Zoom In")->Trigger();
    app->window->MenuBar()->FindItem("Zoom In")->Trigger();
    app->window->MenuBar()->FindItem("Zoom In")->Trigger();  // 200 %: 540 points of screen
    EXPECT_EQ(app->window->Frame().height, 540);
    EXPECT_GE(app->window->Frame().y, 0);
}

TEST_F(Look, TheBackgroundColourDialogsChoiceIsKeptAndACancelChangesNothing) {
    Launch("[Window]\nZoom=100\n");
    std::optional<std::string> answer = "#00b140";
    std::string offered;
    SetBackgroundColourTestHook([&](const std::string& current) {
        offered = current;
        return answer;
    });
    app->BackgroundColourMenuClick();
    EXPECT_EQ(offered, "#1a1a1f");
    EXPECT_EQ(tk::ColorToHex(app->window->BackgroundColor()), "#00b140");
    answer.reset();
    app->BackgroundColourMenuClick();
    EXPECT_EQ(offered, "#00b140");
    EXPECT_EQ(tk::ColorToHex(app->window->BackgroundColor()), "#00b140");
    Quit();
    EXPECT_EQ(Window("Background"), "#00b140");
}

// OK binding F9 and saving it at once is the end-to-end hotkeys dialog scenario's; the
// conflict refusal is HotkeysDialogTest's. Here: the dialog shows the settings, Cancel keeps them.
TEST_F(Look, TheHotkeysDialogShowsTheSettingsAndCancelChangesNothing) {
    Launch("[Hotkeys]\nGlobalHotkeys=N\nSplit=F9\n");
    HotkeysDialogValues shown;
    SetHotkeysDialogTestHook([&](HotkeysDialog& dialog) {
        shown = dialog.Values();
        dialog.Choose(0, QKeySequence::fromString("F10"));
        return std::optional<HotkeysDialogValues>();  // Cancel
    });
    app->HotkeysMenuClick();
    EXPECT_EQ(shown.Names[0], "F9");
    EXPECT_FALSE(shown.GlobalHotkeys);
    EXPECT_EQ(tk::HotkeyName(*app->GlobalHotkeySpec(AppDelegate::kSplitHotkey)), "F9");
    app->applicationWillTerminate();
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Split"), "F9");
}

TEST_F(Look, ABadKeyNameFromTheFileIsShownInTheWindowAndInTheDialog) {
    testing::internal::CaptureStderr();
    Launch("[Hotkeys]\nSkip=Bogus\n");
    testing::internal::GetCapturedStderr();
    app->OnUpdateTimer();
    EXPECT_EQ(app->StatusLabel->Text(), "Bad key: Skip");
    std::string line;
    SetHotkeysDialogTestHook([&](HotkeysDialog& dialog) {
        line = dialog.findChild<QLabel*>("backend")->text().toStdString();
        return std::optional<HotkeysDialogValues>();
    });
    app->HotkeysMenuClick();
    EXPECT_EQ(line,
              "Backend: none (Global Hotkeys is off)\n"
              "The hotkey Skip=Bogus is not a key name; it is off until set here.");
    FakeClock::Advance(AppDelegate::kHotkeyNoticeTime);
    app->OnUpdateTimer();
    EXPECT_EQ(app->StatusLabel->Text(), "Ready");
}

}  // namespace
