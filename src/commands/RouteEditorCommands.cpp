// File ▸ New Route… and Edit ▸ Edit Splits…: the split editor on a new route or on the open
// one; OK writes the split file once.
#include <cstdlib>
#include <string>

#include "AppDelegate.h"
#include "EditSplits.h"
#include "NewRouteFlow.h"
#include "PathParts.h"

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
