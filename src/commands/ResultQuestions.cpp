// The questions before a runner's results are lost: what the run holds, the check item that
// switches them off, and the way out of the application.
#include "AppDelegate.h"

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
