// The route's history in the window: opened with each split file, and View ▸ Statistics…,
// whose tables are saved as CSV files.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "FileIO.h"
#include "HistoryComparisons.h"
#include "PathParts.h"
#include "Prompts.h"
#include "SplitsPanel.h"
#include "StatisticsDialog.h"
#include "Zoom.h"

namespace {

// Writes a table chosen a name for; a file already there is replaced only when the runner
// says so, and a failed write leaves it whole and is said.
void SaveCsv(const std::string& folder, const std::string& suggested, const std::string& csv) {
    const std::optional<std::string> path = ChooseFile(FileChoice::ToWrite(
        "Save as CSV", folder, suggested, "CSV files (*.csv);;All files (*)", "csv"));
    if (!path) {
        return;
    }
    const std::string name(NamePart(*path, kPathSeparator));
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(*path, error))) {
        Question replace;
        replace.Text = name + " already exists. Replace it with the table?";
        replace.Buttons = {Answer::Cancel, Answer::Replace};
        replace.Default = Answer::Cancel;
        if (Ask(replace) != Answer::Replace) {
            return;
        }
    }
    std::string reason;
    const bool written = WriteFileAtomically(
        *path,
        [&csv](std::FILE* file) {
            return std::fwrite(csv.data(), 1, csv.size(), file) == csv.size();
        },
        &reason);
    if (!written) {
        Ask(Notice(name + " could not be written (" + reason + ").",
                   "The file was left as it was."));
    }
}

HistoryComparisons ComparisonsOf(const history::History& loaded, history::TimeClock clock,
                                 const std::vector<std::int32_t>& routeBest) {
    HistoryComparisons times;
    times.bestSegments = history::SumOfBestSegments(loaded, clock, routeBest);
    times.bestSplitTimes = history::BestSplitTimes(loaded, clock);
    times.averageSegments = history::AverageSegments(loaded, clock);
    times.medianSegments = history::MedianSegments(loaded, clock);
    times.latestRun = history::LatestRun(loaded, clock);
    times.sumOfBest = times.bestSegments.empty() ? 0 : times.bestSegments.back();
    return times;
}

}  // namespace

void AppDelegate::HandHistoryToSplitsView() {
    if (layout_ != Layout::kSplits) {
        splitsHistoryStale_ = true;
        return;
    }
    splitsHistoryStale_ = false;
    HistoryComparisons times;
    history::History loaded;
    std::string problem;
    if (TimerData->GetColumnCount() != 0 && history_.Load(&loaded, &problem)) {
        std::vector<std::int32_t> routeBest;
        for (unsigned row = 0; row < TimerData->GetRowCount(); ++row) {
            routeBest.push_back(TimerData->GetDataCellElapsed(row, 0));
        }
        times = ComparisonsOf(loaded, history_.Clock(), routeBest);
    }
    splits_->SetHistory(times);
    RunChanged();
}

void AppDelegate::OpenHistory(RunStateKeeper::Offer offer) {
    const std::string refused = history_.Open();
    // Said once for each open; a read-only window records nothing anyway.
    if (!refused.empty() && !TimerData->ReadOnly) {
        Ask(Notice(refused,
                   "Your attempts on this route are not recorded while it is so; the file is "
                   "left as it is. Move it away to start a new history."));
    }
    history_.SettleUnfinished(/*undecided=*/offer == RunStateKeeper::Offer::Undecided);
    HandHistoryToSplitsView();
}

void AppDelegate::StatisticsMenuClick() {
    if (TimerData->GetColumnCount() == 0) {
        return;
    }
    const std::string& path = TimerData->SplitFileName;
    const std::string name(NamePart(path, kPathSeparator));
    history::History loaded;
    std::string problem;
    if (!history_.Load(&loaded, &problem)) {
        Ask(Notice("The history of " + name + " could not be read.", problem));
        return;
    }
    std::vector<std::int32_t> routeBest;
    for (unsigned row = 0; row < TimerData->GetRowCount(); ++row) {
        routeBest.push_back(TimerData->GetDataCellElapsed(row, 0));
    }
    StatisticsDialog dialog(std::move(loaded), routeBest, name, tk::Zoom());
    const std::string folder(FolderOf(path, kPathSeparator));
    dialog.setSaver([&folder](const std::string& suggested, const std::string& csv) {
        SaveCsv(folder, suggested, csv);
    });
    RunDialog(dialog);
}
