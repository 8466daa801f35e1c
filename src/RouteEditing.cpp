// The engine's route-editing operations: the grid goes out as a RouteData, is edited by the
// rules of RouteData.h, and comes back whole. Picture names go out relative to the split
// file's folder, as the file holds them, and come back with the folder in front.
#include <algorithm>
#include <functional>
#include <utility>

#include "PathParts.h"
#include "QuorvelEngine.h"
#include "RouteData.h"

namespace {

// Grid column c of a stored run is run c - 1 of a route.
constexpr unsigned int kFirstRunColumn = 1;

// A note's line breaks come back from the file as CR LF; the editor types LF.
std::string TypedNote(std::string note) {
    for (std::size_t at = note.find("\r\n"); at != std::string::npos; at = note.find("\r\n", at)) {
        note.erase(at, 1);
    }
    return note;
}

}  // namespace

bool QuorvelClass::RouteEditable() const {
    if (TimerRunning || NextSplit != 0) {
        return false;
    }
    return std::none_of(SplitCells.begin(), SplitCells.end(),
                        [](const auto& row) { return !row.empty() && row.back()->Timer != 0; });
}

RouteData QuorvelClass::GetRoute() const {
    RouteData route;
    route.AttemptCount = TotalAttemptCount;
    route.StartOffset = StartOffset;
    route.Description = FileDesc->Text;
    const std::string_view folder = FolderOf(SplitFileName);
    const unsigned int columns = GetColumnCount();
    for (unsigned int c = kFirstRunColumn; c + 1 < columns; ++c) {
        route.RunTitles.push_back(ColumnHeaders[c]->Text);
    }
    for (unsigned int r = 0; r < GetRowCount(); ++r) {
        RouteRow split;
        split.Name = GetFullRowHeader(r);
        if (const HeaderInfoClass* header = GetRowHeaderClass(r)) {
            std::string_view picture = header->PictureFile;
            if (picture.starts_with(folder)) {
                picture.remove_prefix(folder.size());
            }
            split.Picture.FileName = picture;
        }
        split.BestSegment = GetDataCellElapsed(r, 0);
        split.Notes.push_back(TypedNote(GetDataCellNotes(r, 0)));
        for (unsigned int c = kFirstRunColumn; c + 1 < columns; ++c) {
            split.RunTimes.push_back(GetDataCellTimer(r, c));
            split.Notes.push_back(TypedNote(GetDataCellNotes(r, c)));
        }
        route.Splits.push_back(std::move(split));
    }
    return route;
}

void QuorvelClass::SetRoute(const RouteData& given) {
    if (!RouteEditable()) {
        return;
    }
    RouteData route = given;
    NormaliseRoute(&route);

    TotalAttemptCount = route.AttemptCount;
    StartOffset = route.StartOffset;
    FileDesc->Text = HeaderText(route.Description);
    ColumnHeaders.clear();
    RowHeaders.clear();
    SplitCells.clear();
    NextSplit = 0;

    const auto addColumn = [this](std::string title) {
        ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        ColumnHeaders.back()->Text = HeaderText(std::move(title));
    };
    addColumn("Best Splits");
    for (const std::string& title : route.RunTitles) {
        addColumn(title);
    }
    addColumn("Current");

    HasPictures = false;
    for (std::size_t r = 0; r < route.Splits.size(); ++r) {
        const RouteRow& split = route.Splits[r];
        auto header = std::make_unique<HeaderInfoClass>();
        header->Text = HeaderText(split.Name);
        if (!split.Picture.FileName.empty()) {
            header->PictureFile =
                std::string(FolderOf(SplitFileName)) + HeaderText(split.Picture.FileName);
            HasPictures = true;
        }
        RowHeaders.push_back(std::move(header));

        std::vector<std::unique_ptr<SplitDataClass>> row;
        auto best = std::make_unique<SplitDataClass>();
        best->Elapsed = split.BestSegment;
        best->Notes = MakeSpecialCodes(split.Notes[0]);
        row.push_back(std::move(best));
        for (std::size_t k = 0; k < route.RunTitles.size(); ++k) {
            auto cell = std::make_unique<SplitDataClass>();
            cell->Timer = split.RunTimes[k];
            cell->Elapsed = SegmentTime(route, r, k);
            cell->Notes = MakeSpecialCodes(split.Notes[k + 1]);
            row.push_back(std::move(cell));
        }
        row.push_back(std::make_unique<SplitDataClass>());
        SplitCells.push_back(std::move(row));
    }
    RefreshBestSplitTimers();
    UpdateTimerDiffs();
    SaveSplitData();
}

namespace {

// Runs edit on the engine's route and applies the result, unless the engine refuses edits,
// holds no split file, or the edit finds nothing to change.
void EditRoute(QuorvelClass& engine, const std::function<bool(RouteData*)>& edit) {
    if (engine.GetColumnCount() == 0 || !engine.RouteEditable()) {
        return;
    }
    RouteData route = engine.GetRoute();
    if (edit(&route)) {
        engine.SetRoute(route);
    }
}

// The route's run index of a grid column, or the run count when the column is no stored run.
std::size_t RunOf(const QuorvelClass& engine, unsigned int column) {
    const unsigned int columns = engine.GetColumnCount();
    if (column < kFirstRunColumn || column + 1 >= columns) {
        return columns;
    }
    return column - kFirstRunColumn;
}

}  // namespace

void QuorvelClass::RenameRow(unsigned int row, std::string name) {
    EditRoute(*this, [&](RouteData* route) { return RenameSplit(route, row, std::move(name)); });
}

void QuorvelClass::InsertRow(unsigned int row, std::string name) {
    EditRoute(*this, [&](RouteData* route) { return InsertSplit(route, row, std::move(name)); });
}

void QuorvelClass::RemoveRow(unsigned int row) {
    EditRoute(*this, [&](RouteData* route) { return RemoveSplit(route, row); });
}

void QuorvelClass::MoveRow(unsigned int from, unsigned int to) {
    EditRoute(*this, [&](RouteData* route) { return MoveSplit(route, from, to); });
}

void QuorvelClass::AddRunColumn(unsigned int column, std::string title) {
    EditRoute(*this, [&](RouteData* route) {
        return column >= kFirstRunColumn &&
               AddRun(route, column - kFirstRunColumn, std::move(title));
    });
}

void QuorvelClass::RenameRunColumn(unsigned int column, std::string title) {
    const std::size_t run = RunOf(*this, column);
    EditRoute(*this, [&](RouteData* route) { return RenameRun(route, run, std::move(title)); });
}

void QuorvelClass::RemoveRunColumn(unsigned int column) {
    const std::size_t run = RunOf(*this, column);
    EditRoute(*this, [&](RouteData* route) { return RemoveRun(route, run); });
}

void QuorvelClass::MoveRunColumn(unsigned int from, unsigned int to) {
    const std::size_t runFrom = RunOf(*this, from);
    const std::size_t runTo = RunOf(*this, to);
    EditRoute(*this, [&](RouteData* route) { return MoveRun(route, runFrom, runTo); });
}

void QuorvelClass::SetDescription(std::string text) {
    EditRoute(*this, [&](RouteData* route) {
        route->Description = HeaderText(std::move(text));
        return true;
    });
}

void QuorvelClass::SetStartOffset(std::int32_t offset) {
    EditRoute(*this, [&](RouteData* route) {
        route->StartOffset = offset;
        return true;
    });
}
