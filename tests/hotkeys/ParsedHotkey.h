// A hotkey from its name, for the tests: Spec("Num+1"), Spec("Ctrl+F5"). A name that does
// not parse fails the test that asked for it.
#pragma once

#include <gtest/gtest.h>

#include "GlobalHotkeys.h"

inline tk::HotkeySpec Spec(const char* name) {
    tk::HotkeySpec hotkey;
    EXPECT_TRUE(tk::ParseHotkeyName(name, &hotkey)) << name;
    return hotkey;
}
