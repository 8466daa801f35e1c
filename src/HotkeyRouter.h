// The routing of global hotkeys into the five run commands. The commands also come from keys
// pressed in any window (the game's), while the Options item "Global Hotkeys" is on. The keys
// are settings, in the key text of the menus:
//   [Hotkeys]
//   GlobalHotkeys=Y   ("N" or missing: off)
//   Pause=Num+5  Reset=Num+3  Skip=Num+2  Split=Num+1  Undo=Num+8   (the defaults)
// A name that cannot be read ("Bogus", "Ctrl+A, Ctrl+B") is reported once on standard error
// and on the status line ("Bad key: Split") at launch, and that hotkey stays off; an empty name
// turns it off without a word; a key already taken by an earlier command of the list is reported
// and stays off. The names are written back exactly as read (the defaults when missing).
//
// One key press can reach the application twice: as the key of a menu item while its window
// has the focus, and as a global hotkey bound to the same key. Of two arrivals of the same
// key less than kSameKeyWindow apart, the first runs its command and the second is dropped,
// whichever way each came; different keys are never merged.
//
// A trouble with the hotkeys (reported in full on standard error) gives a notice for the
// status line: "Menu keys only" (no global hotkeys at all, e.g. Wayland without the desktop
// portal) or "Hotkeys limited" (some work: only with an X11 window focused under Wayland, a
// key taken by another program, a key grab), for kHotkeyNoticeTime.
//
// For measuring the time from a key press to the split: with QUORVEL_TRACE_SPLITS=1 in the
// environment, every start or split made by the Start / Split menu item or its global hotkey
// writes one line on standard error, times on CLOCK_MONOTONIC (ns) and, for a global hotkey,
// the X server's time of the press (ms; 0 for the menu):
//   quorvel-trace split=3 route=global dispatched_ns=912345678901 done_ns=912345912345
//   press_server_ms=4567890 received_ns=912345600000
// dispatched_ns is taken just before the command runs (the engine reads its clock for the
// split right after), done_ns once the grid is refreshed; split is the row being timed
// before the press.
//
// Owned by the shell, which runs the commands. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GlobalHotkeys.h"
#include "QuorvelEngine.h"
#include "Settings.h"
#include "Toolkit.h"

class HotkeyRouter {
  public:
    enum HotkeyCommand : int {
        kSplitHotkey,
        kSkipHotkey,
        kUndoHotkey,
        kPauseHotkey,
        kResetHotkey,
        kHotkeyCount
    };
    struct HotkeySetting {
        const Setting<std::string>& Name;  // kSplitKey: "Split" under [Hotkeys], "Num+1"
        const char* Title;                 // "Start / Split": the menu item, the portal's dialog
    };
    static const std::array<HotkeySetting, kHotkeyCount> kHotkeySettings;

    static constexpr std::int32_t kSameKeyWindow = 10;      // hundredths
    static constexpr std::int32_t kHotkeyNoticeTime = 500;  // hundredths

    // run: runs a command's menu action. engine: the shell's engine holder, for the trace.
    HotkeyRouter(std::function<void(HotkeyCommand)> run,
                 const std::unique_ptr<QuorvelClass>& engine);
    HotkeyRouter(const HotkeyRouter&) = delete;
    HotkeyRouter& operator=(const HotkeyRouter&) = delete;

    // The Timer menu item of a command, for its key.
    void SetMenuItem(HotkeyCommand command, const tk::MenuItem* item);

    // At launch: reads the "Hotkeys" settings and binds the keys; returns whether the
    // settings turn them on (then SetOn(true) starts them).
    bool SetUp(const Settings& settings);
    // At quit: the settings put back for the last write (on: the check of the menu item), the
    // keyboard let go.
    void Save(Settings& settings, bool on);
    // The hotkeys dialog's OK: the keys of names (as in the settings, "" for none) bound at
    // once, listening started or stopped, and the settings written at once.
    void Apply(const std::array<std::string, kHotkeyCount>& names, bool on, Settings& settings);
    // Every trouble reported since launch, each once, in full: for the hotkeys dialog.
    const std::vector<std::string>& Reports() const { return reports_; }
    // "portal", "xinput2", "x11-grab", or "" while not listening.
    std::string Backend() const { return hotkeys_ ? hotkeys_->Backend() : std::string(); }
    // The menu item was toggled: starts or stops listening. Nothing before SetUp.
    void SetOn(bool on);
    // Whether this window may write its split file (false: another window has it). Only such a
    // window opens a desktop portal session: the desktop keeps one group of shortcuts for the
    // application and drops its keys when any session of it closes. Listening hotkeys start
    // again the right way when this changes.
    void SetOwnsSplitFile(bool owns);
    // The keys the desktop portal bound, by command (Id); empty for the X11 ways.
    std::vector<hotkeys::DesktopKey> DesktopKeys() const {
        return hotkeys_ ? hotkeys_->DesktopKeys() : std::vector<hotkeys::DesktopKey>();
    }
    // Lets go of the keyboard for good: no key reaches a command after this.
    void Close() { hotkeys_.reset(); }

    // A global hotkey went off: the command's action, unless a prompt is open (AnyOpen) or
    // the same key has just run a command through the menu.
    void GlobalHotkeyPressed(HotkeyCommand command);
    // A run command chosen in the Timer menu, by its key or a click: the action, unless the
    // item's key has just run a command as a global hotkey.
    void TimerMenuCommand(HotkeyCommand command);

    // The notice for the status line while it lasts; empty otherwise.
    std::string_view Notice();

    // The key a global hotkey listens to; null while that hotkey is off.
    const hotkeys::HotkeySpec* GlobalHotkeySpec(HotkeyCommand command) const;
    // The key name as read from the settings (or its default).
    const std::string& GlobalHotkeyName(HotkeyCommand command) const;
    // Created by SetUp; null before.
    hotkeys::GlobalHotkeys* GlobalHotkeysObject() const { return hotkeys_.get(); }

  private:
    struct KeyArrival {
        hotkeys::HotkeySpec Key;
        std::int32_t At = 0;  // ClockNow()
        bool Set = false;
    };
    void Start();
    // The names and the switch put into settings, for the next write.
    void PutNames(Settings& settings, bool on) const;
    // Binds the keys of names_; a name that is not a key is reported and stays off.
    void BindNames();
    // A report of the hotkeys: standard error, and the notice.
    void Report(const std::string& message);
    void AddReport(const std::string& message);
    // The command, traced on standard error with QUORVEL_TRACE_SPLITS=1 when it split.
    void Run(HotkeyCommand command, const char* route);

    std::function<void(HotkeyCommand)> run_;
    const std::unique_ptr<QuorvelClass>& engine_;
    std::unique_ptr<hotkeys::GlobalHotkeys> hotkeys_;
    std::array<std::string, kHotkeyCount> names_;
    std::array<std::optional<hotkeys::HotkeySpec>, kHotkeyCount> specs_;
    std::array<const tk::MenuItem*, kHotkeyCount> menuItems_{};
    KeyArrival lastMenuKey_;
    KeyArrival lastGlobalKey_;
    std::string notice_;
    std::int32_t noticeAt_ = 0;
    std::vector<std::string> reports_;
    bool traceSplits_ = false;
    bool on_ = false;
    bool ownsSplitFile_ = true;
};
