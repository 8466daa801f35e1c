#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <vector>

#include "GlobalHotkeys.h"

namespace {

using tk::hotkeys::BoundKey;
using tk::hotkeys::ChooseBinding;
using tk::hotkeys::CoreModifierMasks;
using tk::hotkeys::KeyboardMap;
using tk::hotkeys::KeyTracker;

constexpr unsigned kShift = tk::kHotkeyShift;
constexpr unsigned kCtrl = tk::kHotkeyCtrl;
constexpr unsigned kAlt = tk::kHotkeyAlt;
constexpr unsigned kMeta = tk::kHotkeyMeta;

// ---- Choosing the binding ----

struct ChoiceCase {
    const char* What;
    uint32_t Keycode;
    unsigned Held;
    int Expected;
};

TEST(HotkeyMatching, TheMostSpecificSatisfiedBindingWins) {
    const std::vector<BoundKey> bound = {
        {1, 0, {87}},              // Num+1
        {2, kCtrl, {71}},          // Ctrl+F5
        {3, 0, {71}},              // F5
        {4, kShift | kAlt, {53}},  // Shift+Alt+X
        {5, 0, {88, 89}},          // a key found on two keycodes
    };
    const ChoiceCase cases[] = {
        {"plain press", 87, 0, 1},
        {"extra modifier held by the game", 87, kShift, 1},
        {"ctrl chooses Ctrl+F5 over F5", 71, kCtrl, 2},
        {"no ctrl gives F5", 71, 0, 3},
        {"missing one of two modifiers", 53, kShift, -1},
        {"both modifiers", 53, kShift | kAlt, 4},
        {"second keycode of a key", 89, 0, 5},
        {"unbound key", 10, 0, -1},
    };
    for (const ChoiceCase& c : cases) {
        EXPECT_EQ(ChooseBinding(c.Keycode, c.Held, bound), c.Expected) << c.What;
    }
}

TEST(HotkeyMatching, TwoEquallySpecificBindingsGiveTheLowerId) {
    EXPECT_EQ(ChooseBinding(87, 0, {{9, 0, {87}}, {4, 0, {87}}}), 4);
}

// ---- Tracking the keyboard ----

KeyboardMap ModifierMap() {
    KeyboardMap map;
    map.MinKeycode = 50;
    map.KeysymsPerKeycode = 1;
    map.Keysyms = {XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Alt_L, XK_Super_L, XK_KP_End};
    return map;  // keycodes 50 .. 55
}

TEST(KeyTracker, AHeldKeyDoesNotRepeat) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(ModifierMap());
    EXPECT_TRUE(tracker.Press(55, 1000));
    EXPECT_FALSE(tracker.Press(55, 1500));
    EXPECT_FALSE(tracker.Press(55, 1533));
    tracker.Release(55, 1600);
    EXPECT_TRUE(tracker.Press(55, 1700));
}

TEST(KeyTracker, AReleaseAndPressAtTheSameServerTimeIsARepeat) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(ModifierMap());
    EXPECT_TRUE(tracker.Press(55, 1000));
    tracker.Release(55, 1500);
    EXPECT_FALSE(tracker.Press(55, 1500));
    tracker.Release(55, 1540);
    EXPECT_FALSE(tracker.Press(55, 1540));
    tracker.Release(55, 1600);  // the real release
    EXPECT_TRUE(tracker.Press(55, 2000));
}

TEST(KeyTracker, ModifiersFollowTheirKeysOnEitherSide) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(ModifierMap());
    tracker.Press(50, 1);
    tracker.Press(51, 2);
    tracker.Press(52, 3);
    EXPECT_EQ(tracker.HeldModifiers(), kShift | kCtrl);
    tracker.Release(50, 4);
    EXPECT_EQ(tracker.HeldModifiers(), kShift | kCtrl);  // Shift_R still down
    tracker.Release(51, 5);
    tracker.Press(53, 6);
    tracker.Press(54, 7);
    EXPECT_EQ(tracker.HeldModifiers(), kCtrl | kAlt | kMeta);
    tracker.Forget();
    EXPECT_EQ(tracker.HeldModifiers(), 0u);
    EXPECT_TRUE(tracker.Press(53, 8));
}

TEST(KeyTracker, AReleaseOfAKeyNeverSeenPressedIsHarmless) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(ModifierMap());
    tracker.Release(50, 10);  // held before the tracker started
    EXPECT_EQ(tracker.HeldModifiers(), 0u);
    EXPECT_TRUE(tracker.Press(55, 20));
}

// ---- Core modifier state (key grab) ----

TEST(CoreModifiers, MasksComeFromTheServersModifierMap) {
    KeyboardMap map = ModifierMap();
    map.Keysyms.push_back(XK_Num_Lock);  // keycode 56
    // Shift, Lock, Control, Mod1 (Alt), Mod2 (Num Lock), Mod3, Mod4 (Super), Mod5.
    const std::vector<uint32_t> modmap = {50, 51, 0, 0, 52, 0, 53, 0, 56, 0, 0, 0, 54, 0, 0, 0};
    const CoreModifierMasks masks = tk::hotkeys::CoreMasksFor(map, modmap, 2);
    EXPECT_EQ(masks.Alt, 1u << 3);
    EXPECT_EQ(masks.NumLock, 1u << 4);
    EXPECT_EQ(masks.Meta, 1u << 6);

    constexpr uint16_t kShiftMask = 1, kLockMask = 2, kControlMask = 4;
    EXPECT_EQ(tk::hotkeys::ModifiersFromCoreState(kShiftMask | kLockMask | (1u << 4), masks),
              kShift);
    EXPECT_EQ(tk::hotkeys::ModifiersFromCoreState(kControlMask | (1u << 3) | (1u << 6), masks),
              kCtrl | kAlt | kMeta);

    bool ok = false;
    EXPECT_EQ(tk::hotkeys::CoreStateForModifiers(kShift | kAlt, masks, &ok),
              kShiftMask | (1u << 3));
    EXPECT_TRUE(ok);
}

TEST(CoreModifiers, AModifierWithoutABitCannotBeGrabbed) {
    bool ok = true;
    EXPECT_EQ(tk::hotkeys::CoreStateForModifiers(kMeta, CoreModifierMasks{}, &ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(tk::hotkeys::CoreStateForModifiers(kCtrl, CoreModifierMasks{}, &ok), 4u);
    EXPECT_TRUE(ok);
}

}  // namespace
