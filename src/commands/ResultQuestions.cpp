// The questions before a runner's results are lost: what the run holds, the check item that
// switches them off, and the ways the open split file is left: another one opened, a quit, a
// signal to quit.
#include "AppDelegate.h"
#include "Prompts.h"

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
    IniFile->Set(kAskBeforeLosingResults, guard_->AskBeforeLosingResults);
}

bool AppDelegate::UnfinishedRunKept() const {
    return runState_.IsOn() && TimerData->GetCurrentTime() != 0 && RunUnfinished() && !runKept_;
}

void AppDelegate::KeepUnfinishedRun() {
    if (TimerData->GetCurrentTime() != 0) {
        AutosaveRunState();
    }
    runState_.Flush();
}

bool AppDelegate::Guard(const std::function<bool(bool unfinishedRunKept)>& ask) {
    runState_.Flush();
    const bool hadTimes = CurrentRunHasTimes();
    const bool goOn = ask(UnfinishedRunKept());
    // A run the guard kept is over: no split state is left of it.
    if (hadTimes && !CurrentRunHasTimes()) {
        runKept_ = true;
    }
    UpdateScreen();
    ShowFileState();
    return goOn;
}

bool AppDelegate::LeaveRoute() {
    if (TimerData->GetColumnCount() == 0) {
        return true;
    }
    if (!Guard([this](bool kept) { return guard_->BeforeReplacing(kept); })) {
        return false;
    }
    KeepUnfinishedRun();
    return true;
}

bool AppDelegate::MayQuit() {
    if (!guard_ || !TimerData) {
        return true;
    }
    return Guard([this](bool kept) { return guard_->BeforeQuit(kept); });
}

bool AppDelegate::QuitOnSignal() {
    CancelPrompts();
    if (AnyOpen()) {
        return false;  // closing: asked again once the prompts are gone
    }
    if (guard_ && TimerData && TimerData->GetColumnCount() != 0) {
        const bool unfinished = TimerData->GetCurrentTime() != 0 && RunUnfinished() && !runKept_;
        Guard([this, unfinished](bool) {
            guard_->KeepWhatAutosaveKeeps(unfinished);
            return true;
        });
        if (unfinished && !runState_.IsOn()) {
            runState_.Save();  // the run is kept even with the autosave off: no one chose to end it
        }
    }
    // The quit keeps the unfinished run's state as it stands, and the settings.
    tk::Application::Terminate();
    return true;
}
