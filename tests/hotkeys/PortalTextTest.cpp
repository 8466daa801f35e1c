#include <gtest/gtest.h>

#include "GlobalHotkeys.h"

namespace {

TEST(PortalText, TriggersUseTheDesktopsShortcutNotation) {
    const struct {
        const char* Name;
        const char* Trigger;
    } cases[] = {
        {"Num+1", "KP_1"},
        {"Num+End", "KP_1"},
        {"Ctrl+F5", "CTRL+F5"},
        {"Shift+Alt+X", "SHIFT+ALT+x"},
        {"Meta+PgUp", "LOGO+Page_Up"},
        {"Num+.", "KP_Decimal"},
        {"Space", "space"},
        {"Media Play", ""},
    };
    for (const auto& c : cases) {
        tk::HotkeySpec hotkey;
        ASSERT_TRUE(tk::ParseHotkeyName(c.Name, &hotkey)) << c.Name;
        EXPECT_EQ(tk::hotkeys::PortalTrigger(hotkey), c.Trigger) << c.Name;
    }
}

TEST(PortalText, ShortcutIdsRoundTripAndForeignIdsAreRefused) {
    EXPECT_EQ(tk::hotkeys::PortalShortcutId(7), "hotkey7");
    EXPECT_EQ(tk::hotkeys::BindingIdFromPortalShortcut("hotkey7"), 7);
    EXPECT_EQ(tk::hotkeys::BindingIdFromPortalShortcut("hotkey0"), 0);
    for (const char* foreign :
         {"", "hotkey", "hotkey-1", "hotkey7x", "split", "hotkey99999999999"}) {
        EXPECT_EQ(tk::hotkeys::BindingIdFromPortalShortcut(foreign), -1) << foreign;
    }
}

}  // namespace
