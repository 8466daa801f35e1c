#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GlobalHotkeys.h"
#include "Harness.h"

namespace {

using support::ScopedEnv;

const std::string kUnavailable =
    "Global hotkeys are not available in this session; the menu keys still work.";

TEST(HotkeyStartup, WithoutAnyDisplayStartFailsAndReportsOnce) {
    ScopedEnv display("DISPLAY", std::nullopt);
    ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    std::vector<std::string> reports;
    tk::GlobalHotkeys hotkeys([&reports](const std::string& text) { reports.push_back(text); });
    tk::HotkeySpec hotkey;
    ASSERT_TRUE(tk::ParseHotkeyName("Num+1", &hotkey));
    hotkeys.Bind(1, hotkey, [] {});

    EXPECT_FALSE(hotkeys.Start());
    EXPECT_FALSE(hotkeys.Start());
    EXPECT_FALSE(hotkeys.IsRunning());
    EXPECT_EQ(hotkeys.Backend(), "");
    EXPECT_EQ(reports, std::vector<std::string>{kUnavailable});
    hotkeys.DispatchPending();  // harmless while not running
}

TEST(HotkeyStartup, AnUnreachableXServerIsNotAvailable) {
    ScopedEnv display("DISPLAY", ":4093");
    ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    std::vector<std::string> reports;
    tk::GlobalHotkeys hotkeys([&reports](const std::string& text) { reports.push_back(text); });
    EXPECT_FALSE(hotkeys.Start());
    EXPECT_EQ(reports, std::vector<std::string>{kUnavailable});
}

TEST(HotkeyStartup, AWaylandSessionWithoutADesktopBusIsNotAvailable) {
    ScopedEnv display("DISPLAY", std::nullopt);
    ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-quorvel-test");
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus");
    std::vector<std::string> reports;
    tk::GlobalHotkeys hotkeys([&reports](const std::string& text) { reports.push_back(text); });
    EXPECT_FALSE(hotkeys.Start());
    EXPECT_EQ(reports, std::vector<std::string>{kUnavailable});
}

}  // namespace
