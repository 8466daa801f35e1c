// Key names as the settings hold them: the name written back, the key symbols a name stands for
// on an X keyboard and the trigger offered to the desktop portal.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <Qt>

#include "GlobalHotkeys.h"

namespace {

using hotkeys::HotkeySpec;
using Keysyms = std::vector<uint32_t>;

TEST(HotkeyName, EachNameIsOneKeyWithItsSymbolsAndPortalTrigger) {
    // Read, written back, key symbols, portal trigger.
    const std::tuple<const char*, std::string, Keysyms, std::string> cases[] = {
        {"Num+1", "Num+1", {XK_KP_1, XK_KP_End}, "KP_1"},
        {"Num+.", "Num+.", {XK_KP_Decimal, XK_KP_Delete}, "KP_Decimal"},
        {"Num++", "Num++", {XK_KP_Add}, "KP_Add"},
        {"Num+Enter", "Num+Enter", {XK_KP_Enter}, "KP_Enter"},
        {"Ctrl+F5", "Ctrl+F5", {XK_F5}, "CTRL+F5"},
        {"Shift+Alt+X", "Alt+Shift+X", {XK_x, XK_X}, "SHIFT+ALT+x"},  // in Qt's order
        {"Meta+PgUp", "Meta+PgUp", {XK_Prior}, "LOGO+Page_Up"},
        {"Ctrl++", "Ctrl++", {XK_plus}, "CTRL+plus"},
        {"F35", "F35", {XK_F35}, "F35"},
        {"Space", "Space", {XK_space}, "space"},
        {"1", "1", {XK_1}, "1"},
        {"PgDown", "PgDown", {XK_Next}, "Page_Down"},
        {"Backspace", "Backspace", {XK_BackSpace}, "BackSpace"},
        {"Media Play", "Media Play", {}, ""},  // no portal notation: the desktop picks
    };
    for (const auto& [name, written, symbols, trigger] : cases) {
        HotkeySpec hotkey;
        ASSERT_TRUE(hotkeys::ParseHotkeyName(name, &hotkey)) << name;
        EXPECT_EQ(std::tuple(hotkeys::HotkeyName(hotkey), hotkeys::detail::KeysymsForHotkey(hotkey),
                             hotkeys::detail::PortalTrigger(hotkey)),
                  std::tuple(written, symbols, trigger));
    }
}

TEST(HotkeyName, WhatIsNotExactlyOneKeyIsRefusedAndLeavesTheKeyAlone) {
    for (const char* name : {"", "Num+", "Ctrl+A, Ctrl+B", "Bogus", "Shift", "Ctrl+"}) {
        HotkeySpec hotkey{Qt::Key_Q, hotkeys::kHotkeyMeta, true};
        EXPECT_FALSE(hotkeys::ParseHotkeyName(name, &hotkey)) << name;
        EXPECT_EQ(hotkey, (HotkeySpec{Qt::Key_Q, hotkeys::kHotkeyMeta, true})) << name;
    }
}

}  // namespace
