// File ▸ Save Split State and Open Split State…, and the split-state autosave after a command:
// an unfinished run kept on disk and taken up again.
#include <cstdio>
#include <string>

#include "AppDelegate.h"
#include "SafetyQuestions.h"

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
