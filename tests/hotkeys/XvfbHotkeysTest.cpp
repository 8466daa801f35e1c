// The whole path under a private X server: another client's window has the focus, xdotool
// presses keys, and the Qt event loop delivers the actions.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FocusedWindow.h"
#include "GlobalHotkeys.h"
#include "Harness.h"
#include "ParsedHotkey.h"
#include "QtEvents.h"

namespace {

using support::ScopedEnv;
using support::XdotoolKey;
using support::Xvfb;

class XvfbHotkeys : public ::testing::Test {
  protected:
    void StartServer(const std::vector<std::string>& arguments = {}) {
        if (support::FindProgram("Xvfb").empty() || support::FindProgram("xdotool").empty()) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        }
        server_ = std::make_unique<Xvfb>(arguments);
        ASSERT_TRUE(server_->Running());
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->Display());
        window_ = std::make_unique<FocusedWindow>(server_->Display());
        ASSERT_TRUE(window_->Ok());
        hotkeys_ = std::make_unique<tk::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }

    void Press(const std::vector<std::string>& keys) {
        ASSERT_TRUE(XdotoolKey(server_->Display(), keys));
    }

    // Presses a key that should set its action off once, and checks that it does, once.
    void ExpectOnePerPress(const char* key, const int& count) {
        const int before = count;
        Press({key});
        EXPECT_TRUE(ProcessEventsUntil([&] { return count == before + 1; })) << key;
        hotkeys_->DispatchPending();
        EXPECT_EQ(count, before + 1) << key;
    }

    // Presses keys that should set nothing off.
    void ExpectNothing(const std::vector<std::string>& keys, const int& count) {
        const int before = count;
        Press(keys);
        hotkeys_->DispatchPending();
        QCoreApplication::processEvents();
        EXPECT_EQ(count, before);
    }

    ScopedEnv noWayland_{"WAYLAND_DISPLAY", std::nullopt};
    std::unique_ptr<Xvfb> server_;
    std::unique_ptr<ScopedEnv> display_;
    std::unique_ptr<FocusedWindow> window_;
    std::vector<std::string> reports_;
    std::unique_ptr<tk::GlobalHotkeys> hotkeys_;  // last: goes before the server
};

TEST_F(XvfbHotkeys, RawKeyEventsReachTheActionWhileAnotherWindowHasTheFocus) {
    StartServer();
    int splits = 0;
    hotkeys_->Bind(
        1, Spec("Num+1"), [&splits] { ++splits; }, "Split");
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "xinput2");
    EXPECT_TRUE(reports_.empty());

    for (int i = 0; i < 3; ++i) {
        ExpectOnePerPress("KP_1", splits);
    }
    EXPECT_EQ(hotkeys_->LastEvent().Id, 1);
    EXPECT_NE(hotkeys_->LastEvent().ServerTimeMs, 0u);
    EXPECT_GT(hotkeys_->LastEvent().ReceivedNs, 0);
    // Nothing is grabbed: the focused window got the keys as well.
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 3);
}

TEST_F(XvfbHotkeys, AKeypadKeyMatchesWithNumLockOnAndOff) {
    StartServer();
    int splits = 0;
    hotkeys_->Bind(1, Spec("Num+1"), [&splits] { ++splits; });
    ASSERT_TRUE(hotkeys_->Start());
    ExpectOnePerPress("KP_End", splits);
    Press({"Num_Lock"});
    ExpectOnePerPress("KP_1", splits);
    ExpectOnePerPress("KP_End", splits);
    ExpectNothing({"1"}, splits);  // the 1 of the top row is another key
}

TEST_F(XvfbHotkeys, ModifiersChooseBetweenBindingsOfOneKey) {
    StartServer();
    int plain = 0;
    int withCtrl = 0;
    hotkeys_->Bind(3, Spec("F5"), [&plain] { ++plain; });
    hotkeys_->Bind(2, Spec("Ctrl+F5"), [&withCtrl] { ++withCtrl; });
    ASSERT_TRUE(hotkeys_->Start());
    ExpectOnePerPress("ctrl+F5", withCtrl);
    EXPECT_EQ(plain, 0);
    ExpectOnePerPress("F5", plain);
    EXPECT_EQ(withCtrl, 1);
    hotkeys_->Unbind(3);
    ExpectNothing({"F5"}, plain);
}

TEST_F(XvfbHotkeys, AKeyGrabTakesTheKeysFromTheFocusedWindowUntilDisabled) {
    StartServer();
    int splits = 0;
    hotkeys_->Bind(1, Spec("Num+1"), [&splits] { ++splits; });
    ASSERT_TRUE(hotkeys_->Start(tk::HotkeyStartMode::kX11KeyGrab));
    EXPECT_EQ(hotkeys_->Backend(), "x11-grab");
    EXPECT_TRUE(reports_.empty());

    ExpectOnePerPress("KP_End", splits);
    Press({"Num_Lock"});
    ExpectOnePerPress("KP_1", splits);
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 0);
    hotkeys_->SetEnabled(false);  // the keys go back to the focused window
    ExpectNothing({"KP_1"}, splits);
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 1);
}

TEST_F(XvfbHotkeys, ALostServerIsReportedOnceAndStopsNothingElse) {
    StartServer();
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    window_.reset();
    server_->Kill();
    EXPECT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    hotkeys_->DispatchPending();
    QCoreApplication::processEvents();
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "Global hotkeys stopped: the connection to the display was lost; the "
                            "menu keys still work."});
}

TEST_F(XvfbHotkeys, AnActionMayStopTheHotkeys) {
    StartServer();
    int splits = 0;
    hotkeys_->Bind(1, Spec("Num+1"), [this, &splits] {
        ++splits;
        hotkeys_->Stop();
    });
    ASSERT_TRUE(hotkeys_->Start());
    Press({"KP_1", "KP_1"});
    EXPECT_TRUE(ProcessEventsUntil([&] { return splits == 1; }));
    EXPECT_FALSE(hotkeys_->IsRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(splits, 1);
}

TEST_F(XvfbHotkeys, AKeyGrabbedByAnotherProgramIsReportedOnceAndTheOthersStillWork) {
    StartServer();
    tk::GlobalHotkeys other(nullptr);
    other.Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(other.Start(tk::HotkeyStartMode::kX11KeyGrab));
    other.DispatchPending();

    int skips = 0;
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    hotkeys_->Bind(2, Spec("Num+2"), [&skips] { ++skips; });
    ASSERT_TRUE(hotkeys_->Start(tk::HotkeyStartMode::kX11KeyGrab));
    EXPECT_EQ(reports_,
              std::vector<std::string>{"Global hotkey Num+1 is taken by another program."});
    ExpectOnePerPress("KP_Down", skips);
}

TEST_F(XvfbHotkeys, AKeyTheKeyboardLacksIsReportedOnce) {
    StartServer();
    hotkeys_->Bind(1, Spec("Launch Mail"), [] {});
    ASSERT_TRUE(hotkeys_->Start());
    hotkeys_->Bind(2, Spec("Num+2"), [] {});  // binding again does not repeat the report
    EXPECT_EQ(reports_,
              std::vector<std::string>{"Global hotkey Launch Mail has no key on this keyboard."});
}

}  // namespace
