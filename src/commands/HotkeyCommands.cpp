// Options ▸ Global Hotkeys and Hotkeys…, and the run commands the hotkeys reach.
#include <array>
#include <cstdio>
#include <string>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "HotkeysDialog.h"
#include "Prompts.h"

using shell::CheckOf;
using shell::IsOn;

void AppDelegate::GlobalHotkeysMenuClick() {
    hotkeyRouter_.SetOn(Toggle(GlobalHotkeysMenuItem));
}

void AppDelegate::HotkeysMenuClick() {
    std::array<std::string, kHotkeysDialogCommands> titles;
    HotkeysDialogValues values;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        titles[i] = HotkeyRouter::kHotkeySettings[i].Title;
        values.Names[i] = hotkeyRouter_.GlobalHotkeyName(static_cast<HotkeyCommand>(i));
    }
    values.GlobalHotkeys = IsOn(GlobalHotkeysMenuItem);
    const std::string backend =
        HotkeyBackendLine(hotkeyRouter_.Backend(), values.GlobalHotkeys, hotkeyRouter_.Reports());
    HotkeysDialog dialog(titles, values, backend);
    if (!RunDialog(dialog)) {
        return;
    }
    const HotkeysDialogValues chosen = dialog.Values();
    GlobalHotkeysMenuItem->SetState(CheckOf(chosen.GlobalHotkeys));
    hotkeyRouter_.Apply(chosen.Names, chosen.GlobalHotkeys, *IniFile);
    if (!IniFile->SaveIniFile() && !IniFile->IniFileName.empty()) {
        std::fprintf(stderr, "Quorvel: could not save the settings to %s\n",
                     IniFile->IniFileName.c_str());
        Ask(Notice(
            "The hotkeys could not be saved.",
            "They work until Quorvel quits; " + IniFile->IniFileName + " was left as it was."));
    }
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
