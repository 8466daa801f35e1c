// Cell editing: a time or a note typed into one cell keeps the segments around it consistent.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

class CellEditing : public ::testing::Test {
  protected:
    void SetUp() override { engine_.SplitFileName = dir_.File("route.txt"); }
    // Three columns ("Best Splits", "Run 1", "Current") and one row per running time of Run 1.
    void BuildRun(const Times& times) {
        std::vector<Times> rows;
        for (const std::int32_t time : times) {
            rows.push_back({0, time});
        }
        BuildGrid(engine_, {"Run 1"}, rows);
    }
    // True when the split file was written since the last call.
    bool Saved() { return std::remove(engine_.SplitFileName.c_str()) == 0; }

    TempDir dir_;
    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

TEST_F(CellEditing, AnEditedTimeKeepsTheSegmentTimesAroundItConsistent) {
    const Times kRun = {1000, 2500, 4500}, kMinutes = {6000, 9000, 12000};
    const struct {
        Times times;
        bool segment;  // a segment time typed, not a running time
        unsigned int row;
        std::int32_t value;
        Times running;
        Times elapsed;
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
        BuildRun(c.times);
        if (c.segment) {
            engine_.UpdateDataCellElapsed(c.row, 1, c.value);
        } else {
            engine_.UpdateDataCellTimer(c.row, 1, c.value);
        }
        EXPECT_EQ(ColumnTimes(engine_, 1), c.running);
        EXPECT_EQ(ColumnTimes(engine_, 1, /*Elapsed=*/true), c.elapsed);
        EXPECT_EQ(Saved(), c.running != c.times);  // a change that changes nothing writes nothing
    }
}

TEST_F(CellEditing, EditsOfTheCurrentRunAreNotSavedAndAllOthersAre) {
    BuildRun({1000, 2500});
    engine_.UpdateDataCellTimer(0, 2, 900);
    engine_.UpdateDataCellElapsed(1, 2, 900);
    EXPECT_EQ(engine_.GetDataCellTimer(1, 2), 1800);
    EXPECT_FALSE(Saved());
    engine_.UpdateDataCellTimer(0, 1, 900);
    EXPECT_TRUE(Saved());
    engine_.UpdateDataCellElapsed(1, 1, 900);
    EXPECT_TRUE(Saved());
    engine_.UpdateDataCellNotes(0, 2, "jump\tlate\nthen left");  // notes of any column
    EXPECT_TRUE(Saved());
    EXPECT_EQ(engine_.SplitCells[0][2]->Notes, "jump|tlate|rthen left");
    EXPECT_EQ(engine_.GetDataCellNotes(0, 2), "jump\tlate\r\nthen left");
}

TEST_F(CellEditing, EditsOutsideTheGridChangeNothingAndWriteNoFile) {
    BuildRun({1000, 2500});
    for (const unsigned int row : {2u, 4000000000u}) {  // GetRowCount() and far beyond
        engine_.UpdateDataCellTimer(row, 1, 700);
        engine_.UpdateDataCellElapsed(row, 1, 700);
        engine_.UpdateDataCellNotes(row, 1, "x");
        engine_.UpdateBestSplitTimer(row, 700);
        engine_.UpdateBestSplitElapsed(row, 700);
    }
    engine_.UpdateDataCellTimer(0, 3, 700);  // GetColumnCount()
    EXPECT_EQ(ColumnTimes(engine_, 1, /*Elapsed=*/true), (Times{1000, 1500}));
    EXPECT_FALSE(Saved());
}
