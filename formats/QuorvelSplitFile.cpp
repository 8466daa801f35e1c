#include "QuorvelSplitFile.h"

#include <algorithm>

#include "FormatLimits.h"
#include "QuorvelEngine.h"

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\:");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

}  // namespace

Route ReadQuorvelSplitFile(const std::string& path, ConvertReport* report) {
    const std::string folder = FolderOf(path);
    QuorvelClass grid(folder);
    grid.LoadSplitData(path);
    if (grid.GetColumnCount() == 0) {
        throw FormatError(0, "not a split file: it has fewer than four lines or is a saved run");
    }
    CheckSplitCount(grid.GetRowCount(), 0);
    Route route;
    route.Description = grid.GetFullFileDesc();
    route.AttemptCount = grid.TotalAttemptCount;
    route.Offset = grid.StartOffset;
    const unsigned int stored = grid.GetColumnCount() - 1;  // without "Current"
    for (unsigned int column = 1; column < stored; ++column) {
        route.Comparisons.push_back({grid.GetFullColumnHeader(column), {}});
    }
    std::int64_t notes = 0;
    for (unsigned int row = 0; row < grid.GetRowCount(); ++row) {
        RouteSplit split;
        split.Name = grid.GetFullRowHeader(row);
        split.BestSegment = grid.GetDataCellElapsed(row, 0);
        const std::string& picture = grid.RowHeaders[row]->PictureFile;
        split.Icon.FileName = picture.starts_with(folder) ? picture.substr(folder.size()) : picture;
        for (unsigned int column = 1; column < stored; ++column) {
            route.Comparisons[column - 1].Times.push_back(grid.GetDataCellTimer(row, column));
        }
        for (unsigned int column = 0; column < stored; ++column) {
            notes += grid.SplitCells[row][column]->Notes.empty() ? 0 : 1;
        }
        route.Splits.push_back(std::move(split));
    }
    report->LeftBehind(notes, "cell note", "cell notes");
    return route;
}

bool WriteQuorvelSplitFile(const Route& route, const std::string& path) {
    const std::string folder = FolderOf(path);
    QuorvelClass grid(folder);
    grid.TotalAttemptCount = route.AttemptCount;
    grid.StartOffset = route.Offset;
    grid.FileDesc->Text = OneLine(route.Description);
    const auto addColumn = [&](const std::string& title) {
        grid.ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        grid.ColumnHeaders.back()->Text = OneLine(title);
    };
    addColumn("Best Splits");
    for (const RouteComparison& comparison : route.Comparisons) {
        addColumn(comparison.Name);
    }
    addColumn("Current");
    const std::size_t columns = grid.ColumnHeaders.size();
    for (std::size_t s = 0; s < route.Splits.size(); ++s) {
        const RouteSplit& split = route.Splits[s];
        grid.RowHeaders.push_back(std::make_unique<HeaderInfoClass>());
        grid.RowHeaders.back()->Text = OneLine(split.Name);
        if (!split.Icon.FileName.empty()) {
            grid.RowHeaders.back()->PictureFile = folder + OneLine(split.Icon.FileName);
        }
        std::vector<std::unique_ptr<SplitDataClass>> row;
        for (std::size_t c = 0; c < columns; ++c) {
            row.push_back(std::make_unique<SplitDataClass>());
        }
        row[0]->Elapsed = split.BestSegment;
        for (std::size_t c = 0; c < route.Comparisons.size(); ++c) {
            const auto& times = route.Comparisons[c].Times;
            row[c + 1]->Timer = s < times.size() ? times[s] : 0;
        }
        grid.SplitCells.push_back(std::move(row));
    }
    grid.SplitFileName = path;
    grid.SaveSplitData();
    return !grid.LastSaveFailed;
}
