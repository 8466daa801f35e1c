// Without a display server to reach, the hotkeys do not start and say so once.
#include <gtest/gtest.h>

#include "GlobalHotkeys.h"
#include "Harness.h"
#include "ParsedHotkey.h"

using support::ScopedEnv;

TEST(HotkeyStartup, WithoutAReachableDisplayStartFailsAndReportsOnce) {
    const struct {
        const char* What;
        std::optional<std::string> Display, Wayland;
    } cases[] = {{"no display at all", std::nullopt, std::nullopt},
                 {"an X server that does not answer", ":4093", std::nullopt},
                 {"Wayland without a desktop bus", std::nullopt, "wayland-quorvel-test"}};
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        ScopedEnv display("DISPLAY", c.Display), wayland("WAYLAND_DISPLAY", c.Wayland);
        std::vector<std::string> reports;
        tk::GlobalHotkeys hotkeys([&reports](const std::string& text) { reports.push_back(text); });
        hotkeys.Bind(1, Spec("Num+1"), [] {});
        EXPECT_FALSE(hotkeys.Start());
        EXPECT_FALSE(hotkeys.Start());
        EXPECT_FALSE(hotkeys.IsRunning());
        EXPECT_EQ(hotkeys.Backend(), "");
        EXPECT_EQ(reports, std::vector<std::string>{"Global hotkeys are not available in this "
                                                    "session; the menu keys still work."});
        hotkeys.DispatchPending();  // harmless while not running
    }
}
