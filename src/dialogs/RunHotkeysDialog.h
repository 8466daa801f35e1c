// The hotkeys dialog as the shell calls it, without Qt: the values it shows and returns, the
// backend line, and the call that shows it (HotkeysDialog.h has the dialog itself).
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class HotkeysDialog;

inline constexpr int kHotkeysDialogCommands = 5;

struct HotkeysDialogValues {
    // Key names in the settings' text ("Num+1", "Ctrl+F5"); "" for no key.
    std::array<std::string, kHotkeysDialogCommands> Names;
    bool GlobalHotkeys = false;
};

// The backend line: "Backend: XInput 2", "Backend: key grab", "Backend: desktop portal",
// "Backend: none (Global Hotkeys is off)" or "Backend: none"; then each report of the hotkeys,
// one a line.
//   ("portal", true, {"The desktop did not bind Skip; ..."})
//     -> "Backend: desktop portal\nThe desktop did not bind Skip; ..."
std::string HotkeyBackendLine(const std::string& backend, bool on,
                              const std::vector<std::string>& reports);

// Shows the dialog over the active window; the values after OK, nullopt after Cancel.
std::optional<HotkeysDialogValues> RunHotkeysDialog(
    const std::array<std::string, kHotkeysDialogCommands>& titles,
    const HotkeysDialogValues& values, const std::string& backendLine);

// For tests: while set, RunHotkeysDialog gives the dialog, built and not shown, to this hook
// and returns its answer.
using HotkeysDialogHook = std::function<std::optional<HotkeysDialogValues>(HotkeysDialog&)>;
void SetHotkeysDialogTestHook(HotkeysDialogHook hook);
