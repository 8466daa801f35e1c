// File ▸ Save Split State and Open Split State…, and the split-state autosave after a command:
// an unfinished run kept on disk and taken up again.
#include <cstdio>
#include <optional>
#include <string>

#include "AppDelegate.h"
#include "PathParts.h"
#include "SafetyQuestions.h"

void AppDelegate::SaveSplitStateMenuClick() {
    if (TimerData->GetColumnCount() == 0) {
        return;
    }
    runState_.Save();
}

void AppDelegate::OpenSplitStateMenuClick() {
    const std::optional<std::string> chosen =
        ChooseFile(FileChoice::Existing("Open Split State", RunningFolder));
    if (!chosen) {
        return;
    }
    const std::string& path = *chosen;
    // A file that is not a split state changes nothing: the open file stays. The split file it
    // names, beside it, is checked and locked as Open does: a file that is not a split file is
    // never loaded, and one open in another window opens read-only.
    SplitStateHeader header;
    if (!ReadSplitStateHeader(path, &header)) {
        Ask(RefusedFileNotice(path, "This is not a split-state file."));
        return;
    }
    const std::string& named = header.SplitFileName;
    if (named.empty() || NameStart(named) != 0 || named == "." || named == "..") {
        Ask(RefusedFileNotice(path, "This split state names no split file beside it."));
        return;
    }
    if (!LeaveRoute()) {
        return;
    }
    if (!guard_->BeforeOpen(std::string(FolderOf(path, kPathSeparator)) + named)) {
        ShowFileState();
        return;
    }
    runKept_ = false;
    history_.Left();
    TimerData->LoadSplitStateData(path);
    if (TimerData->GetColumnCount() == 0) {
        std::fprintf(stderr, "Quorvel: %s is not a split state that can be read\n", path.c_str());
        history_.Close();
    } else {
        OpenHistory(RunStateKeeper::Offer::Resumed);
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
