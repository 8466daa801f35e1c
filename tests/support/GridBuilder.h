// Grids built by hand, without a split file, for the run engine tests.
//
//   BuildGrid(engine, {"Run 1"}, {{4010, 4100}, {5500, 9620}});
//   // columns "Best Splits", "Run 1", "Current"; best segments 40.10 and 55.00, the run's
//   // running times 41.00 and 1:36.20 with their segment times derived
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QuorvelEngine.h"

// Fills engine with the columns "Best Splits", the given stored runs and "Current", and one
// row per entry of rows: {best segment, then each stored run's running time}.
inline void BuildGrid(QuorvelClass& engine, const std::vector<std::string>& runs,
                      const std::vector<std::vector<std::int32_t>>& rows) {
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
                const std::int32_t above = r == 0 ? 0 : rows[r - 1][c];
                cell->Elapsed = r == 0                             ? cell->Timer
                                : (cell->Timer != 0 && above != 0) ? cell->Timer - above
                                                                   : 0;
            }
            engine.SplitCells.back().push_back(std::move(cell));
        }
    }
    engine.RefreshBestSplitTimers();
}
