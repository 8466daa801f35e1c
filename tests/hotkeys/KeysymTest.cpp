#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <Qt>

#include <vector>

#include "GlobalHotkeys.h"

namespace {

using tk::HotkeySpec;
using tk::hotkeys::KeyboardMap;
using tk::hotkeys::KeysymsForHotkey;

struct KeysymCase {
    const char* Name;
    std::vector<uint32_t> Expected;
};

TEST(HotkeyKeysyms, AKeypadKeyStandsForBothOfItsFaces) {
    const KeysymCase cases[] = {
        {"Num+1", {XK_KP_1, XK_KP_End}},
        {"Num+End", {XK_KP_1, XK_KP_End}},
        {"Num+5", {XK_KP_5, XK_KP_Begin}},
        {"Num+8", {XK_KP_8, XK_KP_Up}},
        {"Num+0", {XK_KP_0, XK_KP_Insert}},
        {"Num+.", {XK_KP_Decimal, XK_KP_Delete}},
        {"Num++", {XK_KP_Add}},
        {"Num+Enter", {XK_KP_Enter}},
    };
    for (const KeysymCase& c : cases) {
        HotkeySpec hotkey;
        ASSERT_TRUE(tk::ParseHotkeyName(c.Name, &hotkey)) << c.Name;
        EXPECT_EQ(KeysymsForHotkey(hotkey), c.Expected) << c.Name;
    }
}

TEST(HotkeyKeysyms, KeysOutsideTheKeypadMapToTheirOwnSymbols) {
    const KeysymCase cases[] = {
        {"1", {XK_1}},         {"X", {XK_x, XK_X}}, {"Ctrl+F5", {XK_F5}},
        {"F35", {XK_F35}},     {"End", {XK_End}},   {"PgDown", {XK_Next}},
        {"Space", {XK_space}}, {"-", {XK_minus}},   {"Backspace", {XK_BackSpace}},
    };
    for (const KeysymCase& c : cases) {
        HotkeySpec hotkey;
        ASSERT_TRUE(tk::ParseHotkeyName(c.Name, &hotkey)) << c.Name;
        EXPECT_EQ(KeysymsForHotkey(hotkey), c.Expected) << c.Name;
    }
}

// A slice of a PC keyboard: keycode 10 is the 1 of the top row, 87 the 1 of the keypad.
KeyboardMap SampleMap() {
    KeyboardMap map;
    map.MinKeycode = 8;
    map.KeysymsPerKeycode = 2;
    map.Keysyms.assign(2 * 100, 0);
    auto set = [&map](uint32_t keycode, uint32_t plain, uint32_t shifted) {
        map.Keysyms[(keycode - 8) * 2] = plain;
        map.Keysyms[(keycode - 8) * 2 + 1] = shifted;
    };
    set(10, XK_1, XK_exclam);
    set(38, XK_a, XK_A);
    set(50, XK_Shift_L, 0);
    set(62, XK_Shift_R, 0);
    set(64, XK_Alt_L, XK_Meta_L);
    set(77, XK_Num_Lock, 0);
    set(87, XK_KP_End, XK_KP_1);
    set(88, XK_KP_Down, XK_KP_2);
    return map;
}

TEST(KeyboardMap, AKeypadDigitIsFoundWithNumLockOnOrOff) {
    const KeyboardMap map = SampleMap();
    EXPECT_EQ(map.KeycodesFor({XK_KP_1}), std::vector<uint32_t>{87});
    EXPECT_EQ(map.KeycodesFor({XK_KP_End}), std::vector<uint32_t>{87});
    EXPECT_EQ(map.KeycodesFor(KeysymsForHotkey({Qt::Key_1, 0, true})), std::vector<uint32_t>{87});
    EXPECT_EQ(map.KeycodesFor(KeysymsForHotkey({Qt::Key_1, 0, false})), std::vector<uint32_t>{10});
}

TEST(KeyboardMap, AKeyProducingTheSymbolInALaterColumnCounts) {
    KeyboardMap map;
    map.MinKeycode = 8;
    map.KeysymsPerKeycode = 4;
    map.Keysyms = {XK_KP_Home, 0,    0, XK_KP_7,  // keycode 8
                   XK_b,       XK_B, 0, 0};       // keycode 9
    EXPECT_EQ(map.KeycodesFor({XK_KP_7}), std::vector<uint32_t>{8});
    EXPECT_EQ(map.KeycodesFor({XK_KP_7, XK_B}), (std::vector<uint32_t>{8, 9}));
}

TEST(KeyboardMap, AKeyboardWithoutTheKeyGivesNoKeycode) {
    EXPECT_TRUE(SampleMap().KeycodesFor({XK_F35}).empty());
    EXPECT_TRUE(KeyboardMap{}.KeycodesFor({XK_a}).empty());
}

}  // namespace
