// The window's look and the hotkeys dialog in the shell: zoom, always on top and background
// colour from the settings and back, the menu commands, and a bad key name shown.
#include <QLabel>

#include "ColorText.h"
#include "HotkeysDialog.h"
#include "QtEvents.h"
#include "ShellFixture.h"

namespace {

class Look : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        EnsureTestApp();  // the hotkeys dialog is a real one, not shown
    }
    std::string Window(const char* key) { return Ini("Window", key); }
    void Trigger(const char* title) { app->window->MenuBar()->FindItem(title)->Trigger(); }
};

TEST_F(Look, SettingsComeBackAsTheyWereSaved) {
    const struct {
        const char* ini;
        double zoom;
        bool onTop;
        const char* background;  // as saved
    } cases[] = {
        {"Zoom=200\nAlwaysOnTop=Y\nBackground=#00B140\n", 2, true, "#00b140"},
        {"Zoom=110\n", 1.0, false, "#1a1a1f"},  // between steps: the nearest
        {"Zoom=37\nAlwaysOnTop=y\nBackground=green\n", 1, false, "#1a1a1f"},
        {"Left=5\n", 1, false, "#1a1a1f"},  // settings of an older version: no first-launch zoom
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        tk::SetZoom(1);
        Launch(std::string("[Window]\n") + c.ini);
        EXPECT_EQ(
            std::tuple(tk::Zoom(), app->window->AlwaysOnTop(), app->AlwaysOnTopMenuItem->State(),
                       tk::ColorToHex(app->window->BackgroundColor())),
            std::tuple(c.zoom, c.onTop, c.onTop ? 1 : 0, std::string(c.background)));
        Quit();
        EXPECT_EQ(std::tuple(Window("Zoom"), Window("AlwaysOnTop"), Window("Background")),
                  std::tuple(std::to_string(static_cast<int>(c.zoom * 100)),
                             std::string(c.onTop ? "Y" : "N"), std::string(c.background)));
    }
}

TEST_F(Look, ZoomStepsFromTheViewMenuAreSavedAndKeepTheWindowInPoints) {
    Launch("[Window]\nZoom=100\nLeft=10\nTop=50\n");
    OpenRoute();
    const tk::Rect before = app->window->Frame();
    tk::Menu* bar = app->window->MenuBar();
    Trigger("Zoom In");
    bar->FindItemByKey("Ctrl++;Ctrl+=")->Trigger();  // both keys zoom in
    const tk::Rect after = app->window->Frame();
    EXPECT_EQ(std::tuple(tk::Zoom(), after.width, after.height),
              std::tuple(1.5, before.width, before.height));
    // The top-left corner stays on the screen: 10 and 50 pixels are 6.67 and 33.3 points.
    EXPECT_NEAR(after.x, 10 / 1.5, 1e-9);
    EXPECT_NEAR(tk::Screen::MainFrame().height - after.MaxY(), 50 / 1.5, 1e-9);
    bar->FindItemByKey("Ctrl+0")->Trigger();
    Trigger("Zoom Out");  // the steps and their ends are the toolkit's tests
    Quit();
    EXPECT_EQ(Window("Zoom"), "75");
}

// The dialog's OK, which binds and saves at once, is the end-to-end hotkeys dialog's.
TEST_F(Look, ABadKeyNameIsShownInTheWindowAndInTheDialogWhoseCancelChangesNothing) {
    testing::internal::CaptureStderr();
    Launch("[Hotkeys]\nGlobalHotkeys=N\nSplit=F9\nSkip=Bogus\n");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Status(), "Bad key: Skip");
    HotkeysDialogValues shown;
    std::string line;
    onDialog_ = [&](QDialog& dialog) {
        auto& hotkeys = dynamic_cast<HotkeysDialog&>(dialog);
        shown = hotkeys.Values();
        line = hotkeys.findChild<QLabel*>("backend")->text().toStdString();
        hotkeys.Choose(0, QKeySequence::fromString("F10"));
        return false;  // Cancel
    };
    app->HotkeysMenuClick();
    EXPECT_EQ(std::tuple(shown.Names[0], shown.GlobalHotkeys), std::tuple("F9", false));
    EXPECT_EQ(line,
              "Backend: none (Global Hotkeys is off)\n"
              "The hotkey Skip=Bogus is not a key name; it is off until set here.");
    EXPECT_EQ(hotkeys::HotkeyName(*app->GlobalHotkeySpec(AppDelegate::kSplitHotkey)), "F9");
    FakeClock::Advance(AppDelegate::kHotkeyNoticeTime);
    EXPECT_EQ(Status(), "Ready");
    Quit();
    EXPECT_EQ(Ini("Hotkeys", "Split"), "F9");
}

}  // namespace
