// Matching a key press to a binding: the most specific binding whose modifiers are held, held
// keys that do not repeat, and the modifier bits of the core protocol for the key grab.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "GlobalHotkeys.h"

namespace {

using namespace hotkeys::detail;

constexpr unsigned kShift = hotkeys::kHotkeyShift, kCtrl = hotkeys::kHotkeyCtrl,
                   kAlt = hotkeys::kHotkeyAlt, kMeta = hotkeys::kHotkeyMeta;

TEST(HotkeyMatching, TheMostSpecificSatisfiedBindingWins) {
    // Num+1, Ctrl+F5, F5, Shift+Alt+X, a key found on two keycodes, two equally specific ones.
    const std::vector<BoundKey> bound = {
        {1, 0, {87}},     {2, kCtrl, {71}}, {3, 0, {71}}, {4, kShift | kAlt, {53}},
        {5, 0, {88, 89}}, {9, 0, {90}},     {6, 0, {90}}};
    const std::tuple<uint32_t, unsigned, int> cases[] = {
        {87, kShift, 1},  // an extra modifier held in the game does not stop it
        {71, kCtrl, 2},  {71, 0, 3}, {53, kShift, -1}, {53, kShift | kAlt, 4},
        {89, 0, 5},      {90, 0, 6},  // equally specific: the lower id
        {10, 0, -1}};
    for (const auto& [keycode, held, id] : cases) {
        EXPECT_EQ(ChooseBinding(keycode, held, bound), id) << keycode << " " << held;
    }
}

// Keycodes 50 .. 55: both Shifts, Control, Alt, Super and the keypad End.
const KeyboardMap kMap{
    50, 1, {XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Alt_L, XK_Super_L, XK_KP_End}};

TEST(KeyTracker, AHeldKeyDoesNotRepeatNorDoesAReleaseAtTheSameServerTime) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(kMap);
    tracker.Release(55, 900);  // held before the tracker started: harmless
    EXPECT_TRUE(tracker.Press(55, 1000));
    EXPECT_FALSE(tracker.Press(55, 1500));  // auto-repeat without releases
    tracker.Release(55, 1540);
    EXPECT_FALSE(tracker.Press(55, 1540));  // auto-repeat with a release at the same time
    tracker.Release(55, 1600);
    EXPECT_TRUE(tracker.Press(55, 1700));
}

TEST(KeyTracker, ModifiersFollowTheirKeysOnEitherSide) {
    KeyTracker tracker;
    tracker.SetKeyboardMap(kMap);
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
    KeyboardMap map = kMap;
    map.Keysyms.push_back(XK_Num_Lock);  // keycode 56
    // Shift, Lock, Control, Mod1 (Alt), Mod2 (Num Lock), Mod3, Mod4 (Super), Mod5.
    const std::vector<uint32_t> modmap = {50, 51, 0, 0, 52, 0, 53, 0, 56, 0, 0, 0, 54, 0, 0, 0};
    const CoreModifierMasks masks = CoreMasksFor(map, modmap, 2);
    EXPECT_EQ(std::tuple(masks.Alt, masks.NumLock, masks.Meta), std::tuple(8, 16, 64));
    // Shift 1, Lock 2, Control 4: Lock and Num Lock are not modifiers of a hotkey.
    EXPECT_EQ(ModifiersFromCoreState(1 | 2 | 16, masks), kShift);
    EXPECT_EQ(ModifiersFromCoreState(4 | 8 | 64, masks), kCtrl | kAlt | kMeta);
    bool ok = false, none = true;  // a modifier without a bit cannot be grabbed
    EXPECT_EQ((std::tuple{CoreStateForModifiers(kShift | kAlt, masks, &ok), ok,
                          CoreStateForModifiers(kMeta, CoreModifierMasks{}, &none), none}),
              (std::tuple{9, true, 0, false}));
}

}  // namespace
