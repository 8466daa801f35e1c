// A hotkey from its name, for the tests: Spec("Num+1"); a name that does not parse fails.
#pragma once

#include <gtest/gtest.h>

#include "GlobalHotkeys.h"

inline tk::HotkeySpec Spec(const char* name) {
    tk::HotkeySpec hotkey;
    EXPECT_TRUE(tk::ParseHotkeyName(name, &hotkey)) << name;
    return hotkey;
}
