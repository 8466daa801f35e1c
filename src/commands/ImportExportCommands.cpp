// File ▸ Import… and Export…: the delegate's side of the conversions (SplitTransfer asks the
// questions around them); an imported route is then opened as Open… opens a file.
#include <string>

#include "AppDelegate.h"
#include "SplitTransfer.h"

void AppDelegate::ImportMenuClick() {
    const std::string imported = SplitTransfer::ChooseAndImport(RunningFolder);
    if (!imported.empty()) {
        OpenSplitFile(imported);
    }
}

void AppDelegate::ExportMenuClick() {
    SplitTransfer::ChooseAndExport(TimerData->SplitFileName);
}
