// Key names as the settings hold them: the key each names, the key symbols it stands for on an
// X keyboard and the trigger offered to the desktop portal.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <Qt>

#include "GlobalHotkeys.h"

namespace {

using tk::HotkeySpec;
using Keysyms = std::vector<uint32_t>;

TEST(HotkeyName, EachNameIsOneKeyWithItsSymbolsAndPortalTrigger) {
    const struct {
        const char* Name;
        HotkeySpec Spec;      // Key 0: not compared
        Keysyms Symbols;      // empty: not compared
        const char* Trigger;  // null: not compared
        bool RoundTrips;      // written back as read (the default keys)
    } cases[] = {
        {"Num+1", {Qt::Key_1, 0, true}, {XK_KP_1, XK_KP_End}, "KP_1", true},
        {"Num+8", {}, {XK_KP_8, XK_KP_Up}, nullptr, true},
        {"Num+.", {}, {XK_KP_Decimal, XK_KP_Delete}, "KP_Decimal", false},
        {"Num++", {}, {XK_KP_Add}, nullptr, false},
        {"Num+Enter", {}, {XK_KP_Enter}, nullptr, false},
        {"Ctrl+F5", {Qt::Key_F5, tk::kHotkeyCtrl, false}, {XK_F5}, "CTRL+F5", true},
        {"Shift+Alt+X",
         {Qt::Key_X, tk::kHotkeyShift | tk::kHotkeyAlt, false},
         {XK_x, XK_X},
         "SHIFT+ALT+x",
         false},
        {"Meta+PgUp", {}, {}, "LOGO+Page_Up", false},
        {"Ctrl++", {Qt::Key_Plus, tk::kHotkeyCtrl, false}, {}, nullptr, false},
        {"F35", {Qt::Key_F35, 0, false}, {XK_F35}, nullptr, false},
        {"Space", {}, {XK_space}, "space", false},
        {"1", {}, {XK_1}, nullptr, false},
        {"PgDown", {}, {XK_Next}, nullptr, false},
        {"Backspace", {}, {XK_BackSpace}, nullptr, false},
        {"Media Play", {}, {}, "", false},  // no portal notation: the desktop picks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        HotkeySpec hotkey;
        ASSERT_TRUE(tk::ParseHotkeyName(c.Name, &hotkey));
        EXPECT_TRUE(c.Spec.Key == 0 || hotkey == c.Spec);
        EXPECT_TRUE(c.Symbols.empty() || tk::hotkeys::KeysymsForHotkey(hotkey) == c.Symbols);
        EXPECT_TRUE(!c.Trigger || tk::hotkeys::PortalTrigger(hotkey) == c.Trigger)
            << tk::hotkeys::PortalTrigger(hotkey);
        EXPECT_TRUE(!c.RoundTrips || tk::HotkeyName(hotkey) == c.Name) << tk::HotkeyName(hotkey);
    }
}

TEST(HotkeyName, WhatIsNotExactlyOneKeyIsRefusedAndLeavesTheKeyAlone) {
    for (const char* name : {"", "Num+", "Ctrl+A, Ctrl+B", "Bogus", "Shift", "Ctrl+"}) {
        HotkeySpec hotkey{Qt::Key_Q, tk::kHotkeyMeta, true};
        EXPECT_FALSE(tk::ParseHotkeyName(name, &hotkey)) << name;
        EXPECT_EQ(hotkey, (HotkeySpec{Qt::Key_Q, tk::kHotkeyMeta, true})) << name;
    }
}

TEST(HotkeyName, PortalShortcutIdsRoundTripAndForeignIdsAreRefused) {
    EXPECT_EQ(tk::hotkeys::PortalShortcutId(7), "hotkey7");
    EXPECT_EQ(tk::hotkeys::BindingIdFromPortalShortcut("hotkey7"), 7);
    EXPECT_EQ(tk::hotkeys::BindingIdFromPortalShortcut("hotkey0"), 0);
    for (const char* foreign :
         {"", "hotkey", "hotkey-1", "hotkey7x", "split", "hotkey99999999999"}) {
        EXPECT_EQ(tk::hotkeys::BindingIdFromPortalShortcut(foreign), -1) << foreign;
    }
}

}  // namespace
