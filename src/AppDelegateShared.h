// What AppDelegate.cpp and AppDelegateAdditions.cpp both use: the window's plain title and
// the check state of a menu item as a bool and back (on = 1, off = 0).
#pragma once

#include "Toolkit.h"

namespace shell {

inline constexpr char kAppTitle[] = "Quorvel";

inline bool IsOn(const tk::MenuItem* item) {
    return item->State() != 0;
}

inline int CheckOf(bool on) {
    return on ? 1 : 0;
}

}  // namespace shell
