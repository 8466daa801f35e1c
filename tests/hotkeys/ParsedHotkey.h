// A hotkey from its name, for the tests: Spec("Num+1"); a name that does not parse fails.
#pragma once

#include <gtest/gtest.h>

#include "GlobalHotkeys.h"

inline hotkeys::HotkeySpec Spec(const char* name) {
    hotkeys::HotkeySpec hotkey;
    EXPECT_TRUE(hotkeys::ParseHotkeyName(name, &hotkey)) << name;
    return hotkey;
}
