// The window's title, which names the split file and says when its last write failed, and
// what follows a command that wrote the split file: an outside change found by the write.
#include <cstdio>
#include <string>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "PathParts.h"

using shell::kAppTitle;

void AppDelegate::ShowFileState() {
    const std::string& path = TimerData->SplitFileName;
    const bool failed =
        !path.empty() && (TimerData->LastSaveFailed || TimerData->LastStateSaveFailed);
    const std::string historyProblem = history_.Problem();
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
        } else if (!historyProblem.empty()) {
            title += " (history not saved!)";
        }
    }
    if (window->Title() != title) {
        window->SetTitle(title);
    }
    stateFailureShown_ = TimerData->LastStateSaveFailed;
    historyProblemShown_ = historyProblem;
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
        history_.Reloaded();
        runKept_ = false;
        runState_.RunLoaded();
        RebuildDisplay();
        OnUpdateTimer();
    }
    ShowFileState();
}
