// Global hotkeys: the runner plays in the game's window, not ours, so the split key has to
// reach the timer while another window has the keyboard focus.
//
// Three ways to get there, tried in this order by GlobalHotkeys::Start():
//   - "portal": in a Wayland session, the desktop portal's GlobalShortcuts interface over the
//     D-Bus session bus. The desktop may show the runner a dialog to confirm or change the keys,
//     and may refuse them: that answer comes later than Start() and is reported then.
//   - "xinput2": under X11, the raw key events of the X Input extension (version 2), read on
//     the root window. Nothing is grabbed: every key still reaches the game, the game's input
//     is never held up, and a busy or hung timer can never freeze the keyboard. Modifiers held
//     beyond those a hotkey needs do not stop it (the runner may hold Shift in the game).
//   - "x11-grab": only where the X server lacks XInput 2, a passive key grab on the root
//     window. A grabbed key no longer reaches the game, and it must be pressed with exactly
//     its modifiers (Caps Lock and Num Lock aside); the fallback is reported once.
// A Wayland session whose desktop offers no portal, with the application itself running
// through XWayland, falls back to the X11 ways; they see keys only while an X11 window (a game
// under XWayland) has the focus, which is reported once.
// Whatever is missing (no display, no D-Bus, no portal), Start() returns false, reports once
// through the callback given to the constructor, and the application carries on with the keys
// of its menus. Everything runs on the Qt main thread: the X connection's socket is watched by
// the Qt event loop, and the actions are called from there. No thread, no lock.
//
// This header is Qt-free. The lower layers (key names to key symbols, the keyboard map, the
// press/release tracker, the binding choice, the portal's trigger text) are pure functions
// declared in namespace hotkeys::detail below, so they can be tested without a server.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hotkeys {

// Modifier keys a hotkey needs held, as bits of HotkeySpec::Modifiers.
enum HotkeyModifier : unsigned {
    kHotkeyShift = 1u << 0,
    kHotkeyCtrl = 1u << 1,
    kHotkeyAlt = 1u << 2,
    kHotkeyMeta = 1u << 3,  // the Super ("Windows") key, as Qt calls it on X11
};

// One key with the modifiers it needs.
struct HotkeySpec {
    int Key = 0;             // a Qt::Key code: Qt::Key_1 is 0x31, Qt::Key_F5 is 0x01000034
    unsigned Modifiers = 0;  // HotkeyModifier bits
    bool Keypad = false;     // a key of the numeric keypad ("Num+" in the name)

    bool operator==(const HotkeySpec&) const = default;
};

// Reads a key name in Qt's portable text form. Exactly one key, with any modifiers:
//   "Num+1"        -> {Key_1, 0, keypad}
//   "Ctrl+F5"      -> {Key_F5, kHotkeyCtrl}
//   "Shift+Alt+X"  -> {Key_X, kHotkeyShift | kHotkeyAlt}
// Rejected (false, *hotkey untouched): "", "Num+", "Ctrl+A, Ctrl+B" (two keys), "Bogus", and a
// modifier key on its own ("Shift").
bool ParseHotkeyName(const std::string& name, HotkeySpec* hotkey);

// The portable text of a hotkey, for messages: {Key_1, 0, keypad} -> "Num+1".
std::string HotkeyName(const HotkeySpec& hotkey);

// When the last hotkey went off, for measuring the latency from the key press to the action.
struct HotkeyEvent {
    int Id = -1;                // the binding that went off; -1 before the first
    uint32_t ServerTimeMs = 0;  // X: the server's timestamp of the key press (milliseconds of
                                // the server's monotonic clock, wrapping); portal: the portal's
                                // timestamp, truncated; 0 when not known
    int64_t ReceivedNs = 0;     // CLOCK_MONOTONIC when the event was read from the connection
};

// CLOCK_MONOTONIC in nanoseconds, the clock of HotkeyEvent::ReceivedNs.
int64_t MonotonicNowNs();

// How Start() reaches the keyboard: kAutomatic as described at the top; kX11KeyGrab goes
// straight to the X11 key grab even where XInput 2 is offered (for testing that path, and for
// an X server whose raw events do not work); kWithoutPortal never opens a desktop portal
// session, for a window that does not own its split file: the desktop keeps one group of
// shortcuts for the application, and drops its keys when any session of it closes, so only
// the window that owns the split file may hold one.
enum class HotkeyStartMode { kAutomatic, kX11KeyGrab, kWithoutPortal };

// What the desktop made of one binding, as the desktop portal answered (and later changed):
//   {Id 0, Trigger "Num+1", AsChosen true}    the key the runner chose
//   {Id 0, Trigger "1", AsChosen false}       another key: here the digit row for Num+1
//   {Id 1, Trigger "", AsChosen false}        none: refused, or left for the runner to set
// Trigger is the desktop's own text of the key, to be shown as it is.
struct DesktopKey {
    int Id = -1;
    std::string Trigger;
    bool AsChosen = false;

    bool operator==(const DesktopKey&) const = default;
};

// Where the runner changes the keys the desktop bound: "System Settings ▸ Shortcuts ▸ quorvel"
// under KDE (XDG_CURRENT_DESKTOP), else "the system's shortcut settings".
std::string ShortcutSettingsPlace();

class GlobalHotkeys {
  public:
    // report is called at most once for each distinct message: a facility that is missing, a
    // key that is taken by another program or has no key on this keyboard, the fallback to a
    // key grab. The shell shows it on the status line or stderr.
    explicit GlobalHotkeys(std::function<void(const std::string&)> report);
    ~GlobalHotkeys();
    GlobalHotkeys(const GlobalHotkeys&) = delete;
    GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

    // Connects to the portal or the X server (needs a QCoreApplication). Returns false, after
    // a report, when no backend is available; the hotkeys then stay off. Bindings made before
    // Start() take effect when it succeeds. A second Start() while running returns true.
    bool Start(HotkeyStartMode mode = HotkeyStartMode::kAutomatic);
    // Disconnects; the bindings are kept for a later Start().
    void Stop();
    bool IsRunning() const;
    // "portal", "xinput2", "x11-grab", or "" while not running.
    std::string Backend() const;

    // Binds a hotkey to an action, replacing an earlier binding with the same id. The action
    // is called on the main thread, once per press (holding the key down does not repeat it).
    // It may call any member, Stop() included, but must not destroy this object. The
    // description names the action in the portal's dialog ("Split").
    void Bind(int id, const HotkeySpec& hotkey, std::function<void()> action,
              const std::string& description = "");
    void Unbind(int id);
    void ClearBindings();

    // While disabled, presses do nothing (under a key grab the keys are released to the game).
    void SetEnabled(bool enabled);
    bool IsEnabled() const;

    const HotkeyEvent& LastEvent() const;

    // The desktop portal's answer for each binding, by id; empty before it comes and for the
    // X11 ways (whose keys are the ones chosen, or reported). A binding whose key the desktop
    // did not take as chosen has also been reported, with where to change it.
    std::vector<DesktopKey> DesktopKeys() const;

    // Makes a round trip to the X server and dispatches every event that came before its
    // answer, without waiting for the event loop. Tests use it to know that a key press sent
    // earlier has been seen. Does nothing for the portal.
    void DispatchPending();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

namespace detail {

// ---- Key symbols ----

// The X key symbols that stand for a hotkey's key. A keypad key gives both of its faces, so
// that it matches whether Num Lock is on or off; a letter gives both cases:
//   Num+1   -> {XK_KP_1, XK_KP_End}      Num+End -> {XK_KP_1, XK_KP_End}
//   Num+.   -> {XK_KP_Decimal, XK_KP_Delete}
//   X       -> {XK_x, XK_X}              F5      -> {XK_F5}
// Empty for a key that has no X key symbol here.
std::vector<uint32_t> KeysymsForHotkey(const HotkeySpec& hotkey);

// The modifier that a key symbol is: XK_Shift_L -> kHotkeyShift, XK_Super_R -> kHotkeyMeta,
// XK_a -> 0.
unsigned ModifierForKeysym(uint32_t keysym);

// ---- Keyboard map ----

// The server's keyboard map: for each keycode from MinKeycode on, KeysymsPerKeycode columns
// (plain, shifted, ...; 0 where a column is empty).
struct KeyboardMap {
    uint32_t MinKeycode = 8;
    uint32_t KeysymsPerKeycode = 0;
    std::vector<uint32_t> Keysyms;

    // The keycodes that produce any of the key symbols in any column, ascending, each once.
    std::vector<uint32_t> KeycodesFor(const std::vector<uint32_t>& keysyms) const;
    // The first non-empty column of a keycode; 0 for an unknown keycode.
    uint32_t PrimaryKeysym(uint32_t keycode) const;
};

// ---- Core modifier state (key grab) ----

// Which of the core modifier bits Mod1..Mod5 carry Alt, Super and Num Lock on this server.
struct CoreModifierMasks {
    uint16_t Alt = 0;
    uint16_t Meta = 0;
    uint16_t NumLock = 0;
};

// Works the masks out from the server's modifier map: modmap holds 8 rows (Shift, Lock,
// Control, Mod1..Mod5) of keycodesPerModifier keycodes each (0 where empty).
CoreModifierMasks CoreMasksFor(const KeyboardMap& map, const std::vector<uint32_t>& modmap,
                               uint32_t keycodesPerModifier);

// The HotkeyModifier bits of a core key event's state; Caps Lock and Num Lock are ignored.
// With Alt on Mod1: ShiftMask | Mod1Mask | LockMask -> kHotkeyShift | kHotkeyAlt.
unsigned ModifiersFromCoreState(uint16_t state, const CoreModifierMasks& masks);

// The core modifier bits to grab a hotkey with; 0 when a needed modifier has no bit here.
uint16_t CoreStateForModifiers(unsigned modifiers, const CoreModifierMasks& masks, bool* ok);

// ---- Matching ----

struct BoundKey {
    int Id = 0;
    unsigned Modifiers = 0;
    std::vector<uint32_t> Keycodes;
};

// The binding a press of keycode sets off while the held modifiers are held, or -1. A binding
// matches when its key is the keycode and all the modifiers it needs are held; extra held
// modifiers do not stop it (a runner may hold Shift in the game). Of several matches the one
// needing the most modifiers wins ("Ctrl+F5" over "F5" while Ctrl is held), then the lowest id.
int ChooseBinding(uint32_t keycode, unsigned held, const std::vector<BoundKey>& bound);

// Follows presses and releases of the keyboard: which keys are down, which modifiers that
// makes, and which presses are fresh. A press of a key that is already down is an auto-repeat;
// so is a press with the same server time as the release just before it (the form auto-repeat
// takes for a grabbed key).
class KeyTracker {
  public:
    void SetKeyboardMap(const KeyboardMap& map);
    // True for a fresh press, false for an auto-repeat.
    bool Press(uint32_t keycode, uint32_t serverTime);
    void Release(uint32_t keycode, uint32_t serverTime);
    // The modifiers whose keys are down (Shift_L or Shift_R -> kHotkeyShift, ...).
    unsigned HeldModifiers() const;
    void Forget();

  private:
    struct KeyState {
        uint32_t Keycode = 0;
        unsigned Modifier = 0;
    };
    KeyboardMap map_;
    std::vector<KeyState> down_;
    uint32_t lastReleased_ = 0;
    uint32_t lastReleaseTime_ = 0;
};

// ---- Portal ----

// The trigger the portal is asked to prefer, in the desktop's shortcut notation:
//   Num+1 -> "KP_1"     Ctrl+F5 -> "CTRL+F5"     Shift+Alt+X -> "SHIFT+ALT+x"
// "" when the key has no name there (the runner then picks the key in the portal's dialog).
std::string PortalTrigger(const HotkeySpec& hotkey);

// The object path of a portal request, made from the caller's unique bus name and a token:
//   (":1.42", "qv3") -> "/org/freedesktop/portal/desktop/request/1_42/qv3"
std::string PortalRequestPath(const std::string& uniqueName, const std::string& token);

// The portal's id of a binding: its own id and the trigger asked for, so that a key changed in
// the Hotkeys dialog is a new shortcut to a desktop that keeps the key it stored for an id:
//   (7, "KP_1") -> "hotkey7-KP_1"     (7, "") -> "hotkey7-none" (the desktop picks, and keeps)
std::string PortalShortcutId(int id, const std::string& trigger);

// Whether the desktop binds a keypad trigger ("KP_1") as the digit-row key ("1"), taking that
// key from every application: KDE Plasma 5 does. Read from XDG_CURRENT_DESKTOP ("KDE", or a
// list "X:KDE") and KDE_SESSION_VERSION ("5").
bool DesktopBindsKeypadAsDigits(const std::string& currentDesktop, const std::string& kdeVersion);

}  // namespace detail
}  // namespace hotkeys
