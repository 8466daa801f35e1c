// The seam between GlobalHotkeys and the ways it reaches the keyboard (X11 in
// GlobalHotkeysX11.cpp, the desktop portal in GlobalHotkeysPortal.cpp). Private to the
// quorvel_hotkeys library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GlobalHotkeys.h"

namespace hotkeys::detail {

// The texts reported through GlobalHotkeys' report callback.
inline constexpr const char* kUnavailableMessage =
    "Global hotkeys are not available in this session; the menu keys still work.";
inline constexpr const char* kGrabFallbackMessage =
    "The X server lacks XInput 2: global hotkeys grab their keys, which then no longer reach "
    "the game.";
inline constexpr const char* kConnectionLostMessage =
    "Global hotkeys stopped: the connection to the display was lost; the menu keys still work.";
inline constexpr const char* kRefusedMessage =
    "The desktop refused the global hotkeys; the menu keys still work.";
// The portal answered 2: it failed (no shortcut backend running, say), it did not refuse.
inline constexpr const char* kPortalFailedMessage =
    "The desktop portal failed to set up the global hotkeys; OK in the Hotkeys dialog tries "
    "again. The menu keys still work.";
inline constexpr const char* kNotOwnerMessage =
    "Global hotkeys are with the window that has this split file open; the menu keys still "
    "work here.";
inline constexpr const char* kX11OnlyMessage =
    "Global hotkeys work only while an X11 window has the focus in this Wayland session.";
// "Global hotkey Num+1 is taken by another program."
std::string TakenMessage(const HotkeySpec& hotkey);
// "Global hotkey Num+1 has no key on this keyboard."
std::string NoKeyMessage(const HotkeySpec& hotkey);
// The desktop portal bound no key for a shortcut; what names the shortcut's command:
// "The desktop did not bind Split; set it in the system's shortcut settings."
std::string NotBoundMessage(const std::string& what);
// "The desktop bound Split to 1, not Num+1; change it in System Settings ▸ Shortcuts ▸ quorvel."
std::string BoundOtherMessage(const std::string& what, const std::string& trigger,
                              const HotkeySpec& chosen);
// Keypad keys asked for without a key, on a desktop that binds them as the digit row.
std::string KeypadAskedWithoutKeyMessage();

struct Binding {
    int Id = 0;
    HotkeySpec Spec;
    std::string Description;
};

// What a backend calls back into. Fire may run any action, which may in turn change the
// bindings or stop the backend (destroy it): a backend touches none of its members after
// Fire returns without checking that it still exists.
struct BackendHost {
    std::function<void(int id, uint32_t serverTimeMs, int64_t receivedNs)> Fire;
    std::function<void(const std::string&)> Report;
};

class HotkeyBackend {
  public:
    virtual ~HotkeyBackend() = default;
    virtual std::string Name() const = 0;
    // The whole set of bindings, replacing the previous one.
    virtual void SetBindings(const std::vector<Binding>& bindings) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void DispatchPending() {}
    virtual std::vector<DesktopKey> DesktopKeys() const { return {}; }
};

// nullptr when there is no X server or it cannot be used; nothing is reported then. With
// forceGrab the keys are grabbed even where XInput 2 is offered.
std::unique_ptr<HotkeyBackend> StartX11Backend(const BackendHost& host, bool forceGrab);
// nullptr when there is no session bus or the portal offers no GlobalShortcuts.
std::unique_ptr<HotkeyBackend> StartPortalBackend(const BackendHost& host);

}  // namespace hotkeys::detail
