// The AppDelegate's commands beyond the window's first menus: import and export, a new route
// and the route editor, the split state of an unfinished run, the title that shows a failed
// save, the questions asked before results are lost, and the hotkeys and the look of the
// window. Member definitions of the same class as AppDelegate.cpp, kept apart so that the
// window's own description and its timer commands read on their own.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "BackgroundDialog.h"
#include "ColorText.h"
#include "EditSplits.h"
#include "NewRouteFlow.h"
#include "PathParts.h"
#include "RunHotkeysDialog.h"
#include "SafetyQuestions.h"
#include "SplitTransfer.h"

using shell::CheckOf;
using shell::IsOn;
using shell::kAppTitle;

// ---- Import, export and the route editor ----

void AppDelegate::ImportMenuClick() {
    const std::string imported = SplitTransfer::ChooseAndImport(RunningFolder);
    if (!imported.empty()) {
        OpenSplitFile(imported);
    }
}

void AppDelegate::ExportMenuClick() {
    SplitTransfer::ChooseAndExport(TimerData->SplitFileName);
}

void AppDelegate::NewRouteMenuClick() {
    const std::string& open = TimerData->SplitFileName;
    const char* home = std::getenv("HOME");
    const std::string folder = !open.empty()     ? std::string(FolderOf(open, kPathSeparator))
                               : home != nullptr ? std::string(home)
                                                 : RunningFolder;
    const std::string path = NewRouteFlow(nullptr, folder);
    if (!path.empty()) {
        OpenSplitFile(path);
    }
}

void AppDelegate::EditSplitsMenuClick() {
    if (!EditSplitsMenuItem->Enabled() || !EditEngineRoute(*TimerData, nullptr)) {
        return;
    }
    CreateScreen();
    UpdateScreen();
    UpdateResetCountDisplay();
    OnUpdateTimer();
    ShowFileState();
}

// ---- Split state: the unfinished run kept and taken up again ----

void AppDelegate::SaveSplitStateMenuClick() {
    if (TimerData->GetColumnCount() == 0) {
        return;
    }
    runState_.Save();
}

void AppDelegate::OpenSplitStateMenuClick() {
    tk::OpenPanel panel;
    panel.SetDirectory(RunningFolder);
    if (panel.RunModal() != 1) {
        return;
    }
    // A file that is not a split state changes nothing: the open file stays.
    SplitStateHeader header;
    if (!ReadSplitStateHeader(panel.Filename(), &header)) {
        Ask(RefusedFileNotice(panel.Filename(), "This is not a split-state file."));
        return;
    }
    runState_.Flush();
    runKept_ = false;
    TimerData->LoadSplitStateData(panel.Filename());
    if (TimerData->GetColumnCount() == 0) {
        std::fprintf(stderr, "Quorvel: %s is not a split state that can be read\n",
                     panel.Filename().c_str());
    }
    runState_.RunLoaded();
    CreateScreen();
    UpdateScreen();
    UpdateResetCountDisplay();
    OnUpdateTimer();
    ShowFileState();
}

void AppDelegate::AutosaveRunState() {
    runState_.AfterCommand(
        /*runOver=*/runKept_ || TimerData->GetNextSplitNumber() >= TimerData->GetRowCount());
}

// ---- Title and save failures ----

void AppDelegate::ShowFileState() {
    const std::string& path = TimerData->SplitFileName;
    const bool failed =
        !path.empty() && (TimerData->LastSaveFailed || TimerData->LastStateSaveFailed);
    std::string title = kAppTitle;
    if (!path.empty()) {
        title += " - " + std::string(NamePart(path, kPathSeparator));
        const std::string description = TimerData->GetFullFileDesc();
        if (!description.empty()) {
            title += " - " + description;
        }
        if (TimerData->ReadOnly) {
            title += " (read-only)";
        } else if (failed) {
            title += " (not saved!)";
        }
    }
    if (window->Title() != title) {
        window->SetTitle(title);
    }
    stateFailureShown_ = TimerData->LastStateSaveFailed;
    // One line per failure: again only after a write has succeeded or another file is open.
    if (failed && (!saveFailureReported_ || reportedFile_ != path)) {
        if (TimerData->LastSaveFailed) {
            std::fprintf(stderr, "Quorvel: could not save the split file %s: %s\n", path.c_str(),
                         TimerData->LastSaveError.c_str());
        } else {
            std::fprintf(stderr, "Quorvel: could not save the split state %s: %s\n",
                         TimerData->SplitStatePath().c_str(),
                         TimerData->LastStateSaveError.c_str());
        }
        saveFailureReported_ = true;
        reportedFile_ = path;
    } else if (!failed) {
        saveFailureReported_ = false;
    }
}

void AppDelegate::AfterFileWrites() {
    if (guard_->AfterWrites()) {
        runKept_ = false;
        runState_.RunLoaded();
        RebuildDisplay();
        OnUpdateTimer();
    }
    ShowFileState();
}

// ---- Results: the questions before they are lost ----

bool AppDelegate::CurrentRunHasTimes() {
    const unsigned columns = TimerData->GetColumnCount();
    for (unsigned row = 0; columns != 0 && row < TimerData->GetRowCount(); ++row) {
        if (TimerData->GetDataCellTimer(row, columns - 1) != 0) {
            return true;
        }
    }
    return false;
}

bool AppDelegate::RunUnfinished() {
    return TimerData->GetColumnCount() != 0 &&
           TimerData->GetNextSplitNumber() < TimerData->GetRowCount();
}

void AppDelegate::AskBeforeLosingResultsMenuClick() {
    guard_->AskBeforeLosingResults = Toggle(AskBeforeLosingResultsMenuItem);
}

bool AppDelegate::MayQuit() {
    if (!guard_ || !TimerData) {
        return true;
    }
    runState_.Flush();
    const bool unfinishedRunKept =
        runState_.IsOn() && TimerData->GetCurrentTime() != 0 && RunUnfinished() && !runKept_;
    const bool mayQuit = guard_->BeforeQuit(unfinishedRunKept);
    UpdateScreen();
    ShowFileState();
    return mayQuit;
}

// ---- Hotkeys and the look of the window ----

void AppDelegate::GlobalHotkeysMenuClick() {
    hotkeyRouter_.SetOn(Toggle(GlobalHotkeysMenuItem));
}

void AppDelegate::AlwaysOnTopMenuClick() {
    AlwaysOnTopMenuItem->SetState(CheckOf(look_.ToggleAlwaysOnTop()));
}

void AppDelegate::BackgroundColourMenuClick() {
    const auto chosen = ChooseBackgroundColour(tk::ColorToHex(look_.Background()),
                                               tk::ColorToHex(ViewLook::kChromaGreen),
                                               tk::ColorToHex(ViewLook::kDefaultBackground));
    if (const auto colour = chosen ? tk::ColorFromHex(*chosen) : std::nullopt) {
        look_.SetBackground(*colour);
    }
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
    const auto chosen = RunHotkeysDialog(titles, values, backend);
    if (!chosen) {
        return;
    }
    GlobalHotkeysMenuItem->SetState(CheckOf(chosen->GlobalHotkeys));
    hotkeyRouter_.Apply(chosen->Names, chosen->GlobalHotkeys, *IniFile);
    if (!IniFile->SaveIniFile() && !IniFile->IniFileName.empty()) {
        std::fprintf(stderr, "Quorvel: could not save the settings to %s\n",
                     IniFile->IniFileName.c_str());
        tk::Alert alert;
        alert.SetMessageText("The hotkeys could not be saved.");
        alert.SetInformativeText("They work until Quorvel quits; " + IniFile->IniFileName +
                                 " was left as it was.");
        alert.RunModal();
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
