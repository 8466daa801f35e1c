// Matching a key press to a binding: the most specific binding whose modifiers are held, held
// keys that do not repeat, and the modifier bits of the core protocol for the key grab. A
// plain press of Num+1 is the end-to-end scenarios' own.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "GlobalHotkeys.h"

namespace {

using tk::hotkeys::CoreModifierMasks;
using tk::hotkeys::KeyboardMap;
using tk::hotkeys::KeyTracker;

constexpr unsigned kShift = tk::kHotkeyShift, kCtrl = tk::kHotkeyCtrl, kAlt = tk::kHotkeyAlt,
                   kMeta = tk::kHotkeyMeta;

TEST(HotkeyMatching, TheMostSpecificSatisfiedBindingWins) {
    const std::vector<tk::hotkeys::BoundKey> bound = {
        {1, 0, {87}},              // Num+1
        {2, kCtrl, {71}},          // Ctrl+F5
        {3, 0, {71}},              // F5
        {4, kShift | kAlt, {53}},  // Shift+Alt+X
        {5, 0, {88, 89}},          // a key found on two keycodes
        {9, 0, {90}},              // two equally specific bindings: the lower id
        {6, 0, {90}},
    };
    const struct {
        const char* What;
        uint32_t Keycode;
        unsigned Held;
        int Expected;
    } cases[] = {
        {"extra modifier held by the game", 87, kShift, 1},
        {"ctrl chooses Ctrl+F5 over F5", 71, kCtrl, 2},
        {"no ctrl gives F5", 71, 0, 3},
        {"missing one of two modifiers", 53, kShift, -1},
        {"both modifiers", 53, kShift | kAlt, 4},
        {"second keycode of a key", 89, 0, 5},
        {"equally specific", 90, 0, 6},
        {"unbound key", 10, 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tk::hotkeys::ChooseBinding(c.Keycode, c.Held, bound), c.Expected) << c.What;
    }
}

// Keycodes 50 .. 55: both Shifts, Control, Alt, Super and the keypad End.
KeyboardMap ModifierMap() {
    return {50, 1, {XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Alt_L, XK_Super_L, XK_KP_End}};
}

TEST(KeyTracker, AHeldKeyDoesNotRepeatNorDoesAReleaseAtTheSameServerTime) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(ModifierMap());
    tracker.Release(55, 900);  // held before the tracker started: harmless
    EXPECT_TRUE(tracker.Press(55, 1000));
    EXPECT_FALSE(tracker.Press(55, 1500));  // auto-repeat without releases
    tracker.Release(55, 1540);
    EXPECT_FALSE(tracker.Press(55, 1540));  // auto-repeat with a release at the same time
    tracker.Release(55, 1600);              // the real release
    EXPECT_TRUE(tracker.Press(55, 1700));
}

TEST(KeyTracker, ModifiersFollowTheirKeysOnEitherSide) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(ModifierMap());
    for (uint32_t keycode = 50; keycode <= 52; ++keycode) {
        tracker.Press(keycode, keycode);
    }
    tracker.Release(50, 60);
    EXPECT_EQ(tracker.HeldModifiers(), kShift | kCtrl);  // Shift_R still down
    tracker.Release(51, 61);
    tracker.Press(53, 62);
    tracker.Press(54, 63);
    EXPECT_EQ(tracker.HeldModifiers(), kCtrl | kAlt | kMeta);
    tracker.Forget();
    EXPECT_EQ(tracker.HeldModifiers(), 0u);
    EXPECT_TRUE(tracker.Press(53, 64));
}

TEST(CoreModifiers, MasksComeFromTheServersModifierMap) {
    KeyboardMap map = ModifierMap();
    map.Keysyms.push_back(XK_Num_Lock);  // keycode 56
    // Shift, Lock, Control, Mod1 (Alt), Mod2 (Num Lock), Mod3, Mod4 (Super), Mod5.
    const std::vector<uint32_t> modmap = {50, 51, 0, 0, 52, 0, 53, 0, 56, 0, 0, 0, 54, 0, 0, 0};
    const CoreModifierMasks masks = tk::hotkeys::CoreMasksFor(map, modmap, 2);
    EXPECT_EQ(masks.Alt, 1u << 3);
    EXPECT_EQ(masks.NumLock, 1u << 4);
    EXPECT_EQ(masks.Meta, 1u << 6);
    // Shift 1, Lock 2, Control 4: Lock and Num Lock are not modifiers of a hotkey.
    EXPECT_EQ(tk::hotkeys::ModifiersFromCoreState(1 | 2 | (1u << 4), masks), kShift);
    EXPECT_EQ(tk::hotkeys::ModifiersFromCoreState(4 | (1u << 3) | (1u << 6), masks),
              kCtrl | kAlt | kMeta);
    bool ok = false;
    EXPECT_EQ(tk::hotkeys::CoreStateForModifiers(kShift | kAlt, masks, &ok), 1 | (1u << 3));
    EXPECT_TRUE(ok);
    // A modifier without a bit cannot be grabbed.
    EXPECT_EQ(tk::hotkeys::CoreStateForModifiers(kMeta, CoreModifierMasks{}, &ok), 0u);
    EXPECT_FALSE(ok);
}

}  // namespace
