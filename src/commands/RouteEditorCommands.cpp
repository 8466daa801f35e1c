// File ▸ New Route… and Edit ▸ Edit Splits…: the split editor on a new route or on the open
// one; OK writes the split file once. New Route asks before it writes over a file that is
// not an older copy of the same route, saying what that loses, and never over the open one. An OK
// that cannot be carried out (a run in progress, a file that cannot be written) is said, and the
// editor comes back with the edits.
#include <QString>
#include <cstdlib>
#include <optional>
#include <string>

#include "AppDelegate.h"
#include "PathParts.h"
#include "Prompts.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "SplitTransfer.h"

namespace {

// Writes route as a whole split file at path (atomically, replacing any file there: the
// runner was asked before). The reason it could not be written, or "" once written.
std::string WriteNewRoute(const std::string& path, const RouteData& route) {
    QuorvelClass engine("");
    engine.SplitFileName = path;
    engine.SetRoute(route);
    return engine.LastSaveFailed ? engine.LastSaveError : std::string();
}

}  // namespace

void AppDelegate::NewRouteMenuClick() {
    const std::string& open = TimerData->SplitFileName;
    const char* home = std::getenv("HOME");
    const std::string folder = !open.empty()     ? std::string(FolderOf(open, kPathSeparator))
                               : home != nullptr ? std::string(home)
                                                 : RunningFolder;
    const std::optional<std::string> path = ChooseFile(FileChoice::ToWrite(
        "New Route", folder, "New Route.txt", "Split files (*.txt);;All files (*)", "txt"));
    if (!path || !SplitTransfer::MayWriteNewRoute(*path, open)) {
        return;
    }
    const std::string name(NamePart(*path, kPathSeparator));
    RouteEditorDialog editor(NewRouteData());
    editor.setWindowTitle(QString::fromStdString("New Route: " + name));
    while (RunDialog(editor)) {
        const std::string failure = WriteNewRoute(*path, editor.route());
        if (failure.empty()) {
            OpenSplitFile(*path);
            return;
        }
        Ask(Notice("The split file " + name + " could not be written (" + failure + ").",
                   "The editor keeps your splits: OK tries again, Cancel drops them."));
    }
}

bool AppDelegate::EditRoute() {
    if (TimerData->GetColumnCount() == 0 || !TimerData->RouteEditable()) {
        return false;
    }
    RouteEditorDialog editor(TimerData->GetRoute());
    if (history_.Recording()) {
        editor.setHistoryTimes(history_.TimesPerSplit());
    }
    while (RunDialog(editor)) {
        if (editor.route() == TimerData->GetRoute()) {
            return true;
        }
        if (TimerData->RouteEditable()) {
            TimerData->SetRoute(editor.route());
            // The history follows the splits the engine now holds, whether or not the split
            // file could be written: the next records are made by the new rows.
            const std::string problem = history_.RouteEdited(editor.model()->splitOrigins());
            if (!problem.empty()) {
                Ask(Notice(problem, "The history was matched to the splits by their names."));
            }
            return true;
        }
        Ask(Notice("The splits were not changed: a run is in progress.",
                   "The editor keeps your edits. Cancel it and reset the run to change the "
                   "splits."));
    }
    return false;
}

void AppDelegate::EditSplitsMenuClick() {
    if (!EditSplitsMenuItem->Enabled() || !EditRoute()) {
        return;
    }
    RebuildDisplay();
    OnUpdateTimer();
    ShowFileState();
}
