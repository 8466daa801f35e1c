// Global hotkeys in the shell: the "Hotkeys" settings, the Options item, the commands they run
// and the one press that reaches the timer both as a menu key and as a global hotkey. No X
// server here: the hotkeys cannot start, which is itself one of the cases.
#include "Harness.h"
#include "ShellFixture.h"

namespace {

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
        OpenRoute();
        app->DoSplitMenuClick();
        FakeClock::Advance(40);
    }
    bool Running() const { return TimerData->IsTimerRunning(); }

  private:
    // Never reach a real display from a unit test.
    support::ScopedEnv noDisplay_{"DISPLAY", std::nullopt}, noWayland_{"WAYLAND_DISPLAY", {}};
};

// Good names read and written back as they were: the end-to-end hotkeys runs.
TEST_F(Hotkeys, UnknownNamesAreReportedOnceAndStayOffButAreKept) {
    testing::internal::CaptureStderr();
    Launch("[Hotkeys]\nSplit=Bogus\nUndo=Ctrl+A, Ctrl+B\nSkip=\nReset=Num+5\n");
    app->GlobalHotkeysMenuClick();
    app->GlobalHotkeysMenuClick();                     // read again: no second report
    EXPECT_EQ(testing::internal::GetCapturedStderr(),  // no display: the last line
              "Quorvel: the global hotkey Split=Bogus is not a key name; it is off\n"
              "Quorvel: the global hotkey Undo=Ctrl+A, Ctrl+B is not a key name; it is off\n"
              "Quorvel: the global hotkey Reset=Num+5 is the key of Pause; it is off\n"
              "Quorvel: Global hotkeys are not available in this session; the menu keys still "
              "work.\n");
    for (auto command : {AppDelegate::kSplitHotkey, AppDelegate::kSkipHotkey,
                         AppDelegate::kUndoHotkey, AppDelegate::kResetHotkey}) {
        EXPECT_EQ(app->GlobalHotkeySpec(command), nullptr) << command;
    }
    Quit();
    EXPECT_EQ(std::tuple(Ini("Hotkeys", "Split"), Ini("Hotkeys", "Skip")), std::tuple("Bogus", ""));
}

TEST_F(Hotkeys, WithoutADisplayTheMenuKeysCarryOnAndTheStatusLineSaysSoForAWhile) {
    testing::internal::CaptureStderr();
    Launch("[Hotkeys]\nGlobalHotkeys=Y\n");
    app->GlobalHotkeysMenuClick();
    app->GlobalHotkeysMenuClick();  // tried again: no second report
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Quorvel: Global hotkeys are not available in this session; the menu keys still "
              "work.\n");
    EXPECT_EQ(std::tuple(app->GlobalHotkeysObject()->IsRunning(),
                         app->GlobalHotkeysMenuItem->State(), Status()),
              std::tuple(false, 1, "Menu keys only"));
    OpenRoute();
    Press(&AppDelegate::DoSplitMenuClick);
    EXPECT_EQ(Status(), "-12.0") << "a running clock's difference takes over";
    app->PauseResumeMenuClick();
    EXPECT_EQ(Status(), "Menu keys only");
    FakeClock::Advance(AppDelegate::kHotkeyNoticeTime);
    EXPECT_EQ(Status(), "Ready");
}

// Each global key runs its menu command, within the same lockout as the menu's.
TEST_F(Hotkeys, AGlobalKeyRunsTheMenuCommandWithItsChecksAndLockout) {
    LaunchRunning("");
    std::vector<unsigned> next;
    const auto press = [&](std::int32_t after, const std::function<void()>& command) {
        FakeClock::Advance(after);
        command();
        next.push_back(TimerData->GetNextSplitNumber());
    };
    press(0, [&] { Global(AppDelegate::kSplitHotkey); });
    press(20, [&] { Global(AppDelegate::kSplitHotkey); });  // within the lockout
    press(0, [&] { app->DoSplitMenuClick(); });             // the same lockout for the menu
    press(20, [&] { Global(AppDelegate::kUndoHotkey); });
    press(40, [&] { Global(AppDelegate::kSkipHotkey); });
    EXPECT_EQ(next, (std::vector<unsigned>{1, 1, 1, 0, 1}));
    Global(AppDelegate::kPauseHotkey);
    EXPECT_FALSE(Running());
    Global(AppDelegate::kResetHotkey);
    EXPECT_EQ(TimerData->GetCurrentTime(), 0);
}

// The menu key and the global hotkey on the same key are one press when they arrive within
// kSameKeyWindow of each other, whichever comes first; only the first of them runs.
TEST_F(Hotkeys, APressThatComesAsMenuKeyAndGlobalKeyRunsOnce) {
    LaunchRunning("[Hotkeys]\nPause=P\n");
    MenuKey("P");
    Global(AppDelegate::kPauseHotkey);
    EXPECT_FALSE(Running()) << "menu first";
    FakeClock::Advance(50);
    Global(AppDelegate::kPauseHotkey);
    FakeClock::Advance(AppDelegate::kSameKeyWindow - 1);
    MenuKey("P");
    EXPECT_TRUE(Running()) << "global key first";
    FakeClock::Advance(AppDelegate::kSameKeyWindow);
    MenuKey("P");
    EXPECT_FALSE(Running()) << "a later press is a press of its own";
    FakeClock::Advance(AppDelegate::kSameKeyWindow);
    Global(AppDelegate::kPauseHotkey);
    EXPECT_TRUE(Running());

    LaunchRunning("[Hotkeys]\nPause=P\n");
    MenuKey("P");
    Global(AppDelegate::kPauseHotkey);  // the same press: dropped
    Global(AppDelegate::kPauseHotkey);  // a press the menu never saw: taken
    EXPECT_TRUE(Running()) << "only the first of two arrivals is dropped";

    LaunchRunning("[Hotkeys]\nReset=P\n");  // the global Reset on the menu key of Pause
    MenuKey("P");
    Global(AppDelegate::kResetHotkey);
    EXPECT_NE(TimerData->GetCurrentTime(), 0) << "paused, not reset";
}

}  // namespace
