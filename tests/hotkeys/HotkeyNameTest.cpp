#include <gtest/gtest.h>

#include <Qt>

#include "GlobalHotkeys.h"

namespace {

using tk::HotkeySpec;

struct NameCase {
    const char* Name;
    bool Valid;
    HotkeySpec Expected;
};

TEST(HotkeyName, KeyNamesAreReadInQtPortableText) {
    const NameCase cases[] = {
        {"Num+1", true, {Qt::Key_1, 0, true}},
        {"Ctrl+F5", true, {Qt::Key_F5, tk::kHotkeyCtrl, false}},
        {"Shift+Alt+X", true, {Qt::Key_X, tk::kHotkeyShift | tk::kHotkeyAlt, false}},
        {"Meta+Space", true, {Qt::Key_Space, tk::kHotkeyMeta, false}},
        {"Num+End", true, {Qt::Key_End, 0, true}},
        {"Ctrl++", true, {Qt::Key_Plus, tk::kHotkeyCtrl, false}},
        {"F35", true, {Qt::Key_F35, 0, false}},
        {"", false, {}},
        {"Num+", false, {}},
        {"Ctrl+A, Ctrl+B", false, {}},
        {"Bogus", false, {}},
        {"Shift", false, {}},
        {"Ctrl+", false, {}},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HotkeySpec hotkey{Qt::Key_Q, tk::kHotkeyMeta, true};
        const HotkeySpec before = hotkey;
        EXPECT_EQ(tk::ParseHotkeyName(c.Name, &hotkey), c.Valid);
        EXPECT_EQ(hotkey, c.Valid ? c.Expected : before);
    }
}

TEST(HotkeyName, TheDefaultKeysRoundTrip) {
    for (const char* name : {"Num+1", "Num+2", "Num+8", "Num+5", "Num+3", "Ctrl+F5"}) {
        HotkeySpec hotkey;
        ASSERT_TRUE(tk::ParseHotkeyName(name, &hotkey)) << name;
        EXPECT_EQ(tk::HotkeyName(hotkey), name);
    }
}

}  // namespace
