// The whole path under a private X server: another client's window has the focus, xdotool
// presses keys, and the Qt event loop delivers the actions.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <QCoreApplication>

#include "GlobalHotkeys.h"
#include "Harness.h"
#include "ParsedHotkey.h"
#include "QtEvents.h"

namespace {

using support::ScopedEnv;

// A window of another client that takes the keyboard focus and counts the key presses that
// reach it: the game the runner plays while the global hotkeys listen.
class FocusedWindow {
  public:
    explicit FocusedWindow(const std::string& display) : c_(xcb_connect(display.c_str(), nullptr)) {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        const xcb_window_t window = xcb_generate_id(c_);
        const uint32_t events = XCB_EVENT_MASK_KEY_PRESS;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                          &events);
        xcb_map_window(c_, window);
        RoundTrip();  // focus needs the window viewable
        xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        RoundTrip();
    }
    ~FocusedWindow() { xcb_disconnect(c_); }
    // Presses of the keys of a key symbol that have reached the window so far.
    long PressesOf(uint32_t keysym) {
        RoundTrip();
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
                pressed_.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
            }
            std::free(event);
        }
        const xcb_setup_t* setup = xcb_get_setup(c_);
        const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* mapping = xcb_get_keyboard_mapping_reply(
            c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, count), nullptr);
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
        const tk::hotkeys::KeyboardMap map{
            setup->min_keycode,
            mapping->keysyms_per_keycode,
            {keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping)}};
        std::free(mapping);
        const std::vector<uint32_t> codes = map.KeycodesFor({keysym});
        return std::count_if(pressed_.begin(), pressed_.end(), [&](uint32_t code) {
            return std::find(codes.begin(), codes.end(), code) != codes.end();
        });
    }

  private:
    void RoundTrip() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
    xcb_connection_t* c_;
    std::vector<uint32_t> pressed_;  // keycodes, in order
};

class XvfbHotkeys : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!support::HasProgram("Xvfb") || !support::HasProgram("xdotool")) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        }
        server_ = std::make_unique<support::Xvfb>();
        ASSERT_TRUE(server_->Running());
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->Display());
        window_ = std::make_unique<FocusedWindow>(server_->Display());
        hotkeys_ = std::make_unique<tk::GlobalHotkeys>(
            [this](const std::string& text) { reports_.push_back(text); });
    }

    void Press(const std::vector<std::string>& keys) {
        ASSERT_TRUE(support::XdotoolKey(server_->Display(), keys));
    }
    // Presses a key and checks that it sets the split off exactly once.
    void ExpectOneSplit(const char* key) {
        const int before = splits_;
        Press({key});
        EXPECT_TRUE(ProcessEventsUntil([&] { return splits_ == before + 1; })) << key;
        hotkeys_->DispatchPending();
        EXPECT_EQ(splits_, before + 1) << key;
    }
    // Presses a key and checks that it sets nothing off.
    void ExpectNoSplit(const char* key) {
        const int before = splits_;
        Press({key});
        hotkeys_->DispatchPending();
        QCoreApplication::processEvents();
        EXPECT_EQ(splits_, before) << key;
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
    bool stopOnSplit = false;
    hotkeys_->Bind(
        1, Spec("Num+1"),
        [&] {
            ++splits_;
            if (stopOnSplit) {
                hotkeys_->Stop();
            }
        },
        "Split");
    ASSERT_TRUE(hotkeys_->Start());
    EXPECT_EQ(hotkeys_->Backend(), "xinput2");
    EXPECT_TRUE(reports_.empty());
    ExpectOneSplit("KP_End");
    Press({"Num_Lock"});
    ExpectOneSplit("KP_1");
    ExpectOneSplit("KP_1");
    ExpectNoSplit("1");                         // the 1 of the top row is another key
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 3);  // nothing grabbed: the game got all three
    // An action may stop the hotkeys: the second press is not delivered.
    stopOnSplit = true;
    Press({"KP_1", "KP_1"});
    EXPECT_TRUE(ProcessEventsUntil([this] { return splits_ == 4; }));
    EXPECT_FALSE(hotkeys_->IsRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(splits_, 4);
}

TEST_F(XvfbHotkeys, AKeyGrabTakesTheKeysFromTheFocusedWindowUntilDisabled) {
    hotkeys_->Bind(1, Spec("Num+1"), [this] { ++splits_; });
    ASSERT_TRUE(hotkeys_->Start(tk::HotkeyStartMode::kX11KeyGrab));
    EXPECT_EQ(hotkeys_->Backend(), "x11-grab");
    EXPECT_TRUE(reports_.empty());
    ExpectOneSplit("KP_End");
    Press({"Num_Lock"});
    ExpectOneSplit("KP_1");
    EXPECT_EQ(window_->PressesOf(XK_KP_1), 0);
    hotkeys_->SetEnabled(false);  // the keys go back to the focused window
    ExpectNoSplit("KP_1");
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
    ExpectOneSplit("KP_Down");
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

}  // namespace
