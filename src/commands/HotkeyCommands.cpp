// Options ▸ Global Hotkeys and Hotkeys…, and the run commands the hotkeys and outside commands
// reach.
#include <array>
#include <string>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "HotkeysDialog.h"
#include "Prompts.h"

using shell::CheckOf;
using shell::IsOn;

void AppDelegate::GlobalHotkeysMenuClick() {
    const bool on = Toggle(GlobalHotkeysMenuItem);
    hotkeyRouter_.SetOn(on);
    IniFile->Set(kGlobalHotkeys, on);
}

void AppDelegate::HotkeysMenuClick() {
    std::array<std::string, kHotkeysDialogCommands> titles;
    HotkeysDialogValues values;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        titles[i] = HotkeyRouter::kHotkeySettings[i].Title;
        values.Names[i] = hotkeyRouter_.GlobalHotkeyName(static_cast<HotkeyCommand>(i));
    }
    values.GlobalHotkeys = IsOn(GlobalHotkeysMenuItem);
    std::string backend =
        HotkeyBackendLine(hotkeyRouter_.Backend(), values.GlobalHotkeys, hotkeyRouter_.Reports());
    // The keys a desktop portal bound, which the runner may not have chosen.
    std::array<std::string, kHotkeysDialogCommands> desktopKeys;
    bool differ = false;
    for (const hotkeys::DesktopKey& key : hotkeyRouter_.DesktopKeys()) {
        if (key.Id >= 0 && key.Id < kHotkeysDialogCommands) {
            const auto i = static_cast<std::size_t>(key.Id);
            desktopKeys[i] = DesktopKeyNote(values.Names[i], key.AsChosen, key.Trigger);
            differ = differ || !key.AsChosen;
        }
    }
    if (differ) {
        backend += "\nThe desktop keeps the keys it bound: change them in " +
                   hotkeys::ShortcutSettingsPlace() + ", or choose another key here.";
    }
    HotkeysDialog dialog(titles, values, backend, desktopKeys);
    if (!RunDialog(dialog)) {
        return;
    }
    const HotkeysDialogValues chosen = dialog.Values();
    GlobalHotkeysMenuItem->SetState(CheckOf(chosen.GlobalHotkeys));
    hotkeyRouter_.Apply(chosen.Names, chosen.GlobalHotkeys, *IniFile);
}

void AppDelegate::RunCommand(HotkeyCommand command) {
    switch (command) {
        case kSplitHotkey:
            DoSplitMenuClick();
            break;
        case kSkipHotkey:
            SkipSplitMenuClick();
            break;
        case kUndoHotkey:
            UndoSplitMenuClick();
            break;
        case kPauseHotkey:
            PauseResumeMenuClick();
            break;
        case kResetHotkey:
            ResetTimerMenuClick();
            break;
        case kHotkeyCount:
            break;
    }
}
