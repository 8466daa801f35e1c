// Global hotkeys in the shell: the "Hotkeys" settings, the Options item, the commands they run
// and the one press that reaches the timer both as a menu key and as a global hotkey. No X
// server here: the hotkeys cannot start, which is itself one of the cases.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "Harness.h"
#include "ShellFixture.h"

namespace {

// Qt key codes, as the key names read.
constexpr int kKeyP = 0x50;
constexpr int kKeyF5 = 0x01000034;

class Hotkeys : public ShellTest {
  protected:
    // The Timer menu item with that key, as the key press reaches it.
    void MenuKey(const char* key) {
        tk::MenuItem* item = app->window->MenuBar()->FindItemByKey(key);
        ASSERT_NE(item, nullptr) << key;
        item->Trigger();
    }
    void Global(AppDelegate::HotkeyCommand command) { app->GlobalHotkeyPressed(command); }

    // Launched with a run going: the three-split route started 0.40 s ago.
    void LaunchRunning(const std::string& ini) {
        Launch(ini);
        Open(WriteSplitFile("route.txt", kThreeSplits));
        app->DoSplitMenuClick();
        ASSERT_TRUE(TimerData->IsTimerRunning());
        FakeClock::Advance(40);
    }

    std::string Status() {
        app->OnUpdateTimer();
        return app->StatusLabel->Text();
    }

  private:
    // Never reach a real display from a unit test.
    support::ScopedEnv noDisplay_{"DISPLAY", std::nullopt};
    support::ScopedEnv noWayland_{"WAYLAND_DISPLAY", std::nullopt};
};

// ---- Settings ----

TEST_F(Hotkeys, KeyNamesAreReadAndWrittenBackAsTheyWere) {
    Launch("[Hotkeys]\nSplit=Ctrl+F5\nPause=P\nTheme=dark\n");
    ASSERT_NE(app->GlobalHotkeySpec(AppDelegate::kSplitHotkey), nullptr);
    EXPECT_EQ(*app->GlobalHotkeySpec(AppDelegate::kSplitHotkey),
              (tk::HotkeySpec{kKeyF5, tk::kHotkeyCtrl, /*Keypad=*/false}));
    EXPECT_EQ(*app->GlobalHotkeySpec(AppDelegate::kPauseHotkey), (tk::HotkeySpec{kKeyP, 0, false}));
    app->applicationWillTerminate();
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Split"), "Ctrl+F5");
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Pause"), "P");
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Skip"), "Num+2");
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Theme"), "dark");
}

TEST_F(Hotkeys, UnknownNamesAreReportedOnceAndStayOffButAreKept) {
    testing::internal::CaptureStderr();
    Launch("[Hotkeys]\nSplit=Bogus\nUndo=Ctrl+A, Ctrl+B\nSkip=\nReset=Num+1\n");
    app->GlobalHotkeysMenuClick();
    app->GlobalHotkeysMenuClick();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("Quorvel: the global hotkey Split=Bogus is not a key name; it is off\n"
                       "Quorvel: the global hotkey Undo=Ctrl+A, Ctrl+B is not a key name; it is "
                       "off\n"
                       "Quorvel: the global hotkey Reset=Num+1 is the key of Split; it is off\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("Skip"), std::string::npos) << "an empty name is off without a word";
    EXPECT_EQ(err.find("Bogus", err.find("Bogus") + 1), std::string::npos) << err;
    for (auto command :
         {AppDelegate::kSplitHotkey, AppDelegate::kSkipHotkey, AppDelegate::kUndoHotkey}) {
        EXPECT_EQ(app->GlobalHotkeySpec(command), nullptr) << command;
    }
    // Split=Bogus binds nothing: its command cannot come from a global key.
    Open(WriteSplitFile("route.txt", kThreeSplits));
    Global(AppDelegate::kSplitHotkey);
    EXPECT_FALSE(TimerData->IsTimerRunning());

    app->applicationWillTerminate();
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Split"), "Bogus");
    EXPECT_EQ(IniValue(IniPath(), "Hotkeys", "Skip"), "");
}

// ---- The Options item ----

TEST_F(Hotkeys, WithoutADisplayTheMenuKeysCarryOnAndTheStatusLineSaysSoForAWhile) {
    testing::internal::CaptureStderr();
    Launch("[Hotkeys]\nGlobalHotkeys=Y\n");
    app->GlobalHotkeysMenuClick();
    app->GlobalHotkeysMenuClick();  // tried again: no second report
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "Quorvel: Global hotkeys are not available in this session; the menu keys still "
              "work.\n");
    EXPECT_FALSE(app->GlobalHotkeysObject()->IsRunning());
    EXPECT_EQ(app->GlobalHotkeysMenuItem->State(), 1);
    EXPECT_EQ(Status(), "Menu keys only");

    Open(WriteSplitFile("route.txt", kThreeSplits));
    Press(&AppDelegate::DoSplitMenuClick);
    EXPECT_TRUE(TimerData->IsTimerRunning());
    EXPECT_EQ(Status(), "-12.0") << "a running clock's difference takes over";
    app->PauseResumeMenuClick();
    EXPECT_EQ(Status(), "Menu keys only");
    FakeClock::Advance(AppDelegate::kHotkeyNoticeTime);
    EXPECT_EQ(Status(), "Ready");
}

// ---- Commands ----

TEST_F(Hotkeys, AGlobalKeyRunsTheMenuCommandWithItsChecksAndLockout) {
    LaunchRunning("");
    Global(AppDelegate::kSplitHotkey);
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 1u);
    FakeClock::Advance(20);
    Global(AppDelegate::kSplitHotkey);  // within the lockout
    app->DoSplitMenuClick();            // the same lockout for the menu
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 1u);

    FakeClock::Advance(20);
    Global(AppDelegate::kUndoHotkey);
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 0u);
    FakeClock::Advance(40);
    Global(AppDelegate::kSkipHotkey);
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 1u);

    Global(AppDelegate::kPauseHotkey);
    EXPECT_FALSE(TimerData->IsTimerRunning());
    Global(AppDelegate::kResetHotkey);
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 0u);
    EXPECT_EQ(TimerData->GetCurrentTime(), 0);
}

// ---- One press, two ways in ----

// The menu key and the global hotkey on the same key are one press when they arrive within
// kSameKeyWindow of each other, whichever comes first; only the first of them runs.
TEST_F(Hotkeys, APressThatComesAsMenuKeyAndGlobalKeyRunsOnce) {
    LaunchRunning("[Hotkeys]\nPause=P\n");
    MenuKey("P");
    Global(AppDelegate::kPauseHotkey);
    EXPECT_FALSE(TimerData->IsTimerRunning()) << "menu first";

    FakeClock::Advance(50);
    Global(AppDelegate::kPauseHotkey);
    FakeClock::Advance(AppDelegate::kSameKeyWindow - 1);
    MenuKey("P");
    EXPECT_TRUE(TimerData->IsTimerRunning()) << "global key first";

    FakeClock::Advance(AppDelegate::kSameKeyWindow);
    MenuKey("P");
    EXPECT_FALSE(TimerData->IsTimerRunning()) << "a later press is a press of its own";
    FakeClock::Advance(AppDelegate::kSameKeyWindow);
    Global(AppDelegate::kPauseHotkey);
    EXPECT_TRUE(TimerData->IsTimerRunning());

    LaunchRunning("[Hotkeys]\nPause=P\n");
    MenuKey("P");
    Global(AppDelegate::kPauseHotkey);  // the same press: dropped
    Global(AppDelegate::kPauseHotkey);  // a press the menu never saw: taken
    EXPECT_TRUE(TimerData->IsTimerRunning()) << "only the first of two arrivals is dropped";
}

TEST_F(Hotkeys, OnlyTheSameKeyIsOnePress) {
    LaunchRunning("[Hotkeys]\nReset=P\n");  // the global Reset on the menu key of Pause
    MenuKey("P");
    Global(AppDelegate::kResetHotkey);
    EXPECT_FALSE(TimerData->IsTimerRunning());
    EXPECT_NE(TimerData->GetCurrentTime(), 0) << "paused, not reset";
    LaunchRunning("");  // Num+5 for Pause: another key at the same moment
    MenuKey("P");
    Global(AppDelegate::kPauseHotkey);
    EXPECT_TRUE(TimerData->IsTimerRunning());
}

}  // namespace
