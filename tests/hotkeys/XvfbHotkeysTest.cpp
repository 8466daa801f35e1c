// The whole path under a private X server: another client's window has the focus, xdotool
// presses keys, and the Qt event loop delivers the actions.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <QCoreApplication>
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

class XvfbHotkeys : public ::testing::Test {
  protected:
    void SetUp() override {
        if (support::FindProgram("Xvfb").empty() || support::FindProgram("xdotool").empty()) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        }
        server_ = std::make_unique<support::Xvfb>();
        ASSERT_TRUE(server_->Running());
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->Display());
        window_ = std::make_unique<FocusedWindow>(server_->Display());
        ASSERT_TRUE(window_->Ok());
        hotkeys_ = std::make_unique<tk::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }

    void Press(const std::vector<std::string>& keys) {
        ASSERT_TRUE(support::XdotoolKey(server_->Display(), keys));
    }
    // Presses a key and checks that it sets its action off exactly once.
    void ExpectOnePerPress(const char* key, const int& count) {
        const int before = count;
        Press({key});
        EXPECT_TRUE(ProcessEventsUntil([&] { return count == before + 1; })) << key;
        hotkeys_->DispatchPending();
        EXPECT_EQ(count, before + 1) << key;
    }
    // Presses keys and checks that they set nothing off.
    void ExpectNothing(const std::vector<std::string>& keys, const int& count) {
        const int before = count;
        Press(keys);
        hotkeys_->DispatchPending();
        QCoreApplication::processEvents();
        EXPECT_EQ(count, before);
    }

    ScopedEnv noWayland_{"WAYLAND_DISPLAY", std::nullopt};
    std::unique_ptr<support::Xvfb> server_;
    std::unique_ptr<ScopedEnv> display_;
    std::unique_ptr<FocusedWindow> window_;
    std::vector<std::string> reports_;
    std::unique_ptr<tk::GlobalHotkeys> hotkeys_;  // last: goes before the server
    int splits_ = 0;
};

TEST_F(XvfbHotkeys, RawKeyEventsReachTheActionWithoutAGrabAndWithNumLockOnOrOff) {
    hotkeys_->Bind(
        1, Spec("Num+1"), [this] { ++splits_; }, "Split");
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "xinput2");
    EXPECT_TRUE(reports_.empty());
    ExpectOnePerPress("KP_End", splits_);
    Press({"Num_Lock"});
    ExpectOnePerPress("KP_1", splits_);
    ExpectOnePerPress("KP_1", splits_);
    ExpectNothing({"1"}, splits_);  // the 1 of the top row is another key
    EXPECT_EQ(hotkeys_->LastEvent().Id, 1);
    EXPECT_NE(hotkeys_->LastEvent().ServerTimeMs, 0u);
    EXPECT_GT(hotkeys_->LastEvent().ReceivedNs, 0);
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 3);  // nothing grabbed: the game got all three
}

TEST_F(XvfbHotkeys, AKeyGrabTakesTheKeysFromTheFocusedWindowUntilDisabled) {
    hotkeys_->Bind(1, Spec("Num+1"), [this] { ++splits_; });
    ASSERT_TRUE(hotkeys_->Start(tk::HotkeyStartMode::kX11KeyGrab));
    EXPECT_EQ(hotkeys_->Backend(), "x11-grab");
    EXPECT_TRUE(reports_.empty());
    ExpectOnePerPress("KP_End", splits_);
    Press({"Num_Lock"});
    ExpectOnePerPress("KP_1", splits_);
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 0);
    hotkeys_->SetEnabled(false);  // the keys go back to the focused window
    ExpectNothing({"KP_1"}, splits_);
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 1);
}

TEST_F(XvfbHotkeys, KeysTakenByAnotherProgramOrMissingAreReportedOnceAndTheOthersWork) {
    tk::GlobalHotkeys other(nullptr);
    other.Bind(1, Spec("Num+1"), [] {});
    ASSERT_TRUE(other.Start(tk::HotkeyStartMode::kX11KeyGrab));
    other.DispatchPending();
    hotkeys_->Bind(1, Spec("Num+1"), [] {});
    hotkeys_->Bind(2, Spec("Num+2"), [this] { ++splits_; });
    hotkeys_->Bind(3, Spec("Launch Mail"), [] {});
    ASSERT_TRUE(hotkeys_->Start(tk::HotkeyStartMode::kX11KeyGrab));
    hotkeys_->Bind(4, Spec("Num+4"), [] {});  // binding again does not repeat the reports
    EXPECT_EQ(reports_,
              (std::vector<std::string>{"Global hotkey Launch Mail has no key on this keyboard.",
                                        "Global hotkey Num+1 is taken by another program."}));
    ExpectOnePerPress("KP_Down", splits_);
}

TEST_F(XvfbHotkeys, ALostServerIsReportedOnce) {
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
    hotkeys_->Bind(1, Spec("Num+1"), [this] {
        ++splits_;
        hotkeys_->Stop();
    });
    ASSERT_TRUE(hotkeys_->Start());
    Press({"KP_1", "KP_1"});
    EXPECT_TRUE(ProcessEventsUntil([this] { return splits_ == 1; }));
    EXPECT_FALSE(hotkeys_->IsRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(splits_, 1);
}

}  // namespace
