// What the hotkeys dialog shows and returns, without Qt: the values and the backend line
// (HotkeysDialog.h has the dialog itself).
#pragma once

#include <array>
#include <string>
#include <vector>

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

// The key the desktop portal bound for one command, for the note beside its field: chosen is
// the runner's key name, trigger the desktop's own text of the key it bound ("" none):
//   ("Num+1", true, "Num+1")   -> "Desktop: Num+1"
//   ("Num+1", false, "1")      -> "Desktop: 1, not Num+1"
//   ("Num+1", false, "")       -> "Desktop: no key"
std::string DesktopKeyNote(const std::string& chosen, bool asChosen, const std::string& trigger);
