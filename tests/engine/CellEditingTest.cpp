// Cell editing: a time typed into one cell keeps the segments around it consistent.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

TEST(CellEditing, AnEditedTimeKeepsTheSegmentTimesAroundItConsistent) {
    TempDir dir;
    QuorvelClass engine("/nonexistent/");
    engine.SplitFileName = dir.File("route.txt");
    const Times kRun = {1000, 2500, 4500}, kMinutes = {6000, 9000, 12000};
    const struct {
        Times times;
        bool segment;  // a segment time typed, not a running time
        unsigned int row;
        std::int32_t value;
        Times running, elapsed;
    } cases[] = {
        {kRun, false, 0, 1200, {1200, 2500, 4500}, {1200, 1300, 2000}},       // the first row
        {kRun, false, 1, 3000, {1000, 3000, 4500}, {1000, 2000, 1500}},       // a middle row
        {kRun, false, 1, 0, {1000, 0, 4500}, {1000, 0, 0}},                   // cleared
        {{1000, 0, 4500}, false, 2, 4000, {1000, 0, 4000}, {1000, 0, 0}},     // under no time
        {{1000, 2500, 0}, false, 1, 3000, {1000, 3000, 0}, {1000, 2000, 0}},  // above none
        {kMinutes, true, 1, 4010, {6000, 10010, 12000}, {6000, 4010, 1990}},
        {kMinutes, true, 0, 5000, {5000, 9000, 12000}, {5000, 4000, 3000}},
        {kMinutes, true, 2, 0, {6000, 9000, 0}, {6000, 3000, 0}},
        {{6000, 0, 12000}, true, 2, 4010, {6000, 0, 12000}, {6000, 0, 0}},  // under no time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.segment ? "segment" : "time") << " of row " << c.row
                                        << " set to " << c.value);
        std::vector<Times> rows;  // no best splits; Run 1 with the given running times
        for (const std::int32_t time : c.times) {
            rows.push_back({0, time});
        }
        BuildGrid(engine, {"Run 1"}, rows);
        if (c.segment) {
            engine.UpdateDataCellElapsed(c.row, 1, c.value);
        } else {
            engine.UpdateDataCellTimer(c.row, 1, c.value);
        }
        EXPECT_EQ(ColumnTimes(engine, 1), c.running);
        EXPECT_EQ(ColumnTimes(engine, 1, /*Elapsed=*/true), c.elapsed);
        // Written when something changed, and only then.
        EXPECT_EQ(std::remove(engine.SplitFileName.c_str()) == 0, c.running != c.times);
    }
}
