#include "GridCells.h"

#include "Comparisons.h"
#include "WrapTime.h"

GridCells::GridCells(const QuorvelClass& engine, const RunOnScreen& screen) : engine_(engine) {
    const RunSnapshot& run = screen.Run();
    if (screen.HoldingKeptRun() && run.hasRoute) {
        held_ = &run;
        columns_ = static_cast<unsigned>(run.storedRuns.size() + 2);
        rows_ = static_cast<unsigned>(run.Rows());
        next_ = rows_;
        std::int32_t total = 0;
        bestTotals_.reserve(rows_);
        for (const std::int32_t segment : run.bestSegments) {
            total = WrapAdd(total, segment);
            bestTotals_.push_back(total);
        }
        return;
    }
    columns_ = engine.GetColumnCount();
    rows_ = engine.GetRowCount();
    next_ = engine.GetNextSplitNumber();
}

std::string GridCells::ColumnHeader(unsigned column) const {
    if (held_ == nullptr || column == 0) {
        return engine_.GetFullColumnHeader(column);
    }
    if (column + 1 == columns_) {
        return engine_.GetFullColumnHeader(engine_.GetColumnCount() - 1);
    }
    return column <= held_->storedRuns.size() ? held_->storedRuns[column - 1].title : "";
}

const std::vector<std::int32_t>* GridCells::Times(unsigned column) const {
    if (column == 0) {
        return &bestTotals_;
    }
    if (column + 1 == columns_) {
        return &held_->current;
    }
    return column <= held_->storedRuns.size() ? &held_->storedRuns[column - 1].times : nullptr;
}

std::int32_t GridCells::Timer(unsigned row, unsigned column) const {
    if (held_ == nullptr) {
        return engine_.GetDataCellTimer(row, column);
    }
    const std::vector<std::int32_t>* times = column < columns_ ? Times(column) : nullptr;
    return times != nullptr && row < times->size() ? (*times)[row] : 0;
}

std::int32_t GridCells::Elapsed(unsigned row, unsigned column) const {
    if (held_ == nullptr) {
        return engine_.GetDataCellElapsed(row, column);
    }
    if (column == 0) {
        return row < held_->bestSegments.size() ? held_->bestSegments[row] : 0;
    }
    const std::vector<std::int32_t>* times = column < columns_ ? Times(column) : nullptr;
    return times != nullptr ? SegmentAt(*times, row) : 0;
}

std::int32_t GridCells::HeldDiff(unsigned row, unsigned column, bool segments) const {
    if (row >= rows_ || column >= columns_) {
        return 0;
    }
    const unsigned current = columns_ - 1;
    const auto value = [&](unsigned r, unsigned c) {
        return segments ? Elapsed(r, c) : Timer(r, c);
    };
    if (column != current) {
        return Timer(row, column) != 0 ? WrapSub(value(row, current), value(row, column)) : 0;
    }
    // The current run mirrors the kept run where both have times at this split and the one
    // before it.
    const unsigned kept = columns_ - 2;
    if (columns_ < 2 || Timer(row, kept) == 0 ||
        (row > 0 && (Timer(row - 1, current) == 0 || Timer(row - 1, kept) == 0))) {
        return 0;
    }
    return HeldDiff(row, kept, segments);
}

std::int32_t GridCells::TimerDiff(unsigned row, unsigned column) const {
    return held_ == nullptr ? engine_.GetDataCellTimerDiff(row, column)
                            : HeldDiff(row, column, /*segments=*/false);
}

std::int32_t GridCells::ElapsedDiff(unsigned row, unsigned column) const {
    return held_ == nullptr ? engine_.GetDataCellElapsedDiff(row, column)
                            : HeldDiff(row, column, /*segments=*/true);
}

std::string GridCells::Notes(unsigned row, unsigned column) const {
    // The notes stay the engine's; the current run's are its last column.
    if (held_ != nullptr && column + 1 == columns_) {
        column = engine_.GetColumnCount() - 1;
    }
    return engine_.GetDataCellNotes(row, column);
}
