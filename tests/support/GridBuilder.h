// Grids built by hand, without a split file, and runs played on them with the fake clock.
//   BuildGrid(engine, {"Run 1"}, {{4010, 4100}, {5500, 9620}});
//   // columns "Best Splits", "Run 1", "Current"; best segments 40.10 and 55.00, the run's
//   // running times 41.00 and 1:36.20 with their segment times derived
//   engine.StartTimer();
//   SplitAt(engine, {4000, 0, 12000});   // splits at 40.00, skips, splits at 2:00.00
//   ColumnTimes(engine, 2);              // {4000, 0, 12000}: the current run
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "QuorvelEngine.h"

// The times of one column, row by row, in hundredths: {4010, 9620}.
using Times = std::vector<std::int32_t>;

// The segment time of row r of a run with the given running times: the difference to the row
// above, and 0 where either of the two has no time.
inline std::int32_t SegmentOf(const Times& times, std::size_t r) {
    return r == 0 ? times[0] : times[r] != 0 && times[r - 1] != 0 ? times[r] - times[r - 1] : 0;
}

// Fills engine with the columns "Best Splits", the given stored runs and "Current", and one
// row per entry of rows: {best segment, then each stored run's running time}.
inline void BuildGrid(QuorvelClass& engine, const std::vector<std::string>& runs,
                      const std::vector<Times>& rows) {
    engine.ColumnHeaders.clear();
    engine.RowHeaders.clear();
    engine.SplitCells.clear();
    std::vector<std::string> titles = {"Best Splits"};
    titles.insert(titles.end(), runs.begin(), runs.end());
    titles.push_back("Current");
    for (const std::string& title : titles) {
        engine.ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.ColumnHeaders.back()->Text = title;
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        engine.RowHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.RowHeaders.back()->Text = "Split " + std::to_string(r + 1);
        engine.SplitCells.emplace_back();
        for (std::size_t c = 0; c < titles.size(); ++c) {
            auto cell = std::make_unique<SplitDataClass>();
            if (c == 0) {
                cell->Elapsed = rows[r][0];
            } else if (c < rows[r].size()) {
                cell->Timer = rows[r][c];
                cell->Elapsed = r == 0 ? rows[0][c] : SegmentOf({rows[r - 1][c], rows[r][c]}, 1);
            }
            engine.SplitCells.back().push_back(std::move(cell));
        }
    }
    engine.RefreshBestSplitTimers();
}

// Gives the current run (the last column) the running times of times, with their segment
// times, as if it had split on each of those rows.
inline void SetCurrentRun(QuorvelClass& engine, const Times& times) {
    for (std::size_t r = 0; r < times.size(); ++r) {
        engine.SplitCells[r].back()->Timer = times[r];
        engine.SplitCells[r].back()->Elapsed = SegmentOf(times, r);
    }
    engine.NextSplit = static_cast<std::uint32_t>(times.size());
}

// Moves the fake clock until the run reads each time and splits there; a 0 skips that row.
inline void SplitAt(QuorvelClass& engine, const Times& times) {
    for (const std::int32_t time : times) {
        if (time == 0) {
            engine.SkipSplit();
        } else {
            FakeClock::Advance(time - engine.GetCurrentTime());
            engine.DoSplit();
        }
    }
}

// The running times (or, with Elapsed, the segment times) of one column, row by row.
inline Times ColumnTimes(const QuorvelClass& engine, unsigned int column, bool Elapsed = false) {
    Times values;
    for (unsigned int r = 0; r < engine.GetRowCount(); ++r) {
        values.push_back(Elapsed ? engine.GetDataCellElapsed(r, column)
                                 : engine.GetDataCellTimer(r, column));
    }
    return values;
}
