// What the grid shows in each of its cells: the engine's values, or, while the window holds a
// finished run that the engine has already kept (RunOnScreen::HoldingKeptRun), that run as it
// ended. When a run beats the kept run at its last split, the engine copies it into the kept
// run, writes the split file and empties its current run at once; the grid would then show an
// empty run and "Ready". Held, it shows the run's own times in "Current" against the stored
// runs and best segments it raced, with the differences the engine works out for them
// (UpdateTimerDiffs on a finished run), until Reset or the next start.
//
//   GridCells cells(*TimerData, gridRun);     // gridRun updated after the command
//   cells.Timer(2, cells.Columns() - 1)       // the run's time at split 3, held or not
//
// Rows and columns as the engine numbers them (column 0 the best splits, the last the current
// run, the one before it the kept run); out of range reads as 0 or "".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "QuorvelEngine.h"
#include "RunSnapshot.h"

class GridCells {
  public:
    GridCells(const QuorvelClass& engine, const RunOnScreen& screen);

    bool Holding() const { return held_ != nullptr; }
    unsigned Columns() const { return columns_; }
    unsigned Rows() const { return rows_; }
    unsigned Next() const { return next_; }
    std::string ColumnHeader(unsigned column) const;

    std::int32_t Timer(unsigned row, unsigned column) const;
    std::int32_t Elapsed(unsigned row, unsigned column) const;
    std::int32_t TimerDiff(unsigned row, unsigned column) const;
    std::int32_t ElapsedDiff(unsigned row, unsigned column) const;
    std::string Notes(unsigned row, unsigned column) const;

  private:
    // The held run's running times of a column, or null.
    const std::vector<std::int32_t>* Times(unsigned column) const;
    // A difference of the held run: the current run's value less the column's (Timer or
    // Elapsed), the current column mirroring the kept one's.
    std::int32_t HeldDiff(unsigned row, unsigned column, bool segments) const;

    const QuorvelClass& engine_;
    const RunSnapshot* held_ = nullptr;
    unsigned columns_ = 0;
    unsigned rows_ = 0;
    unsigned next_ = 0;
    std::vector<std::int32_t> bestTotals_;  // held: the best segments added up
};
