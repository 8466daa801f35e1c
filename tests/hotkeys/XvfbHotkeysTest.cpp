// The X11 ways under a private X server: raw events grab nothing, a key grab holds its keys
// while enabled (as another program's grab finds), Num Lock, keys taken or missing, a lost
// server. A keypad split through raw events while the game has the focus is end to end.
#include <gtest/gtest.h>

#include "GlobalHotkeys.h"
#include "Harness.h"
#include "ParsedHotkey.h"
#include "QtEvents.h"

namespace {

using support::ScopedEnv;

class XvfbHotkeys : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!support::HasProgram("Xvfb") || !support::HasProgram("xdotool")) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        }
        EnsureTestApp();
        server_ = std::make_unique<support::Xvfb>();
        ASSERT_TRUE(server_->Running());
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->Display());
        hotkeys_ = std::make_unique<hotkeys::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }
    // Presses the keys and checks that they set off exactly n splits.
    void ExpectSplits(const std::vector<std::string>& keys, int n) {
        const int want = splits_ + n;
        ASSERT_TRUE(support::XdotoolKey(server_->Display(), keys));
        EXPECT_TRUE(ProcessEventsUntil([&] { return splits_ >= want; }));
        hotkeys_->DispatchPending();
        QCoreApplication::processEvents();
        EXPECT_EQ(splits_, want) << keys[0];
    }
    // Whether another program finds Num+1 taken: whether the game has lost that key.
    bool Num1Grabbed() {
        std::vector<std::string> reports;
        hotkeys::GlobalHotkeys other(
            [&reports](const std::string& text) { reports.push_back(text); });
        other.Bind(1, Spec("Num+1"), nullptr);
        EXPECT_TRUE(other.Start(hotkeys::HotkeyStartMode::kX11KeyGrab));
        return !reports.empty();
    }

    ScopedEnv noWayland_{"WAYLAND_DISPLAY", std::nullopt};
    std::unique_ptr<support::Xvfb> server_;
    std::unique_ptr<ScopedEnv> display_;
    std::vector<std::string> reports_;
    std::unique_ptr<hotkeys::GlobalHotkeys> hotkeys_;  // goes before the server
    int splits_ = 0;
    const std::function<void()> split_ = [this] { ++splits_; };
};

TEST_F(XvfbHotkeys, RawEventsGrabNothingAndAKeyGrabHoldsItsKeysWhileEnabledWithNumLockOnOrOff) {
    hotkeys_->Bind(1, Spec("Num+1"), split_);
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "xinput2");
    ExpectSplits({"KP_End", "1"}, 1);  // the 1 of the top row is another key
    EXPECT_FALSE(Num1Grabbed());
    hotkeys_->Stop();
    ASSERT_TRUE(hotkeys_->Start(hotkeys::HotkeyStartMode::kX11KeyGrab));
    EXPECT_EQ(hotkeys_->Backend(), "x11-grab");
    ExpectSplits({"KP_End", "Num_Lock", "KP_1"}, 2);
    EXPECT_TRUE(Num1Grabbed());
    hotkeys_->SetEnabled(false);
    EXPECT_FALSE(Num1Grabbed());
    ExpectSplits({"KP_1"}, 0);
    // An action may stop the hotkeys: the second press is not delivered.
    hotkeys_->Bind(1, Spec("Num+1"), [this] {
        ++splits_;
        hotkeys_->Stop();
    });
    hotkeys_->SetEnabled(true);
    ExpectSplits({"KP_1", "KP_1"}, 1);
    EXPECT_FALSE(hotkeys_->IsRunning());
    EXPECT_TRUE(reports_.empty());
}

TEST_F(XvfbHotkeys, KeysTakenByAnotherProgramOrMissingAreReportedOnceAndTheOthersWork) {
    hotkeys::GlobalHotkeys other(nullptr);
    other.Bind(1, Spec("Num+1"), nullptr);
    ASSERT_TRUE(other.Start(hotkeys::HotkeyStartMode::kX11KeyGrab));
    hotkeys_->Bind(1, Spec("Num+1"), nullptr);
    hotkeys_->Bind(2, Spec("Num+2"), split_);
    hotkeys_->Bind(3, Spec("Launch Mail"), nullptr);
    ASSERT_TRUE(hotkeys_->Start(hotkeys::HotkeyStartMode::kX11KeyGrab));
    hotkeys_->Bind(4, Spec("Num+4"), nullptr);  // binding again does not repeat the reports
    EXPECT_EQ(reports_,
              (std::vector<std::string>{"Global hotkey Launch Mail has no key on this keyboard.",
                                        "Global hotkey Num+1 is taken by another program."}));
    ExpectSplits({"KP_Down"}, 1);
}

TEST_F(XvfbHotkeys, ALostServerIsReportedOnce) {
    ASSERT_TRUE(hotkeys_->Start());
    server_->Kill();
    EXPECT_TRUE(ProcessEventsUntil([this] { return !reports_.empty(); }));
    hotkeys_->DispatchPending();
    QCoreApplication::processEvents();
    EXPECT_EQ(reports_, std::vector<std::string>{
                            "Global hotkeys stopped: the connection to the display was lost; the "
                            "menu keys still work."});
}

}  // namespace
