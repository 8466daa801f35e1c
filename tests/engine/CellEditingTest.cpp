// Cell editing: a running time, a segment time or a note written into one cell keeps the
// segment times around it, the differences and the split file consistent.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

// Three columns ("Best Splits", "Run 1", "Current") and one row per running time of Run 1.
void BuildRun(QuorvelClass& engine, const std::vector<std::int32_t>& times) {
    std::vector<std::vector<std::int32_t>> rows;
    for (const std::int32_t time : times) {
        rows.push_back({0, time});
    }
    BuildGrid(engine, {"Run 1"}, rows);
}

class CellEditing : public ::testing::Test {
  protected:
    void SetUp() override { engine_.SplitFileName = dir_.File("route.txt"); }
    TempDir dir_;
    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

TEST_F(CellEditing, ARunningTimeKeepsTheSegmentTimesAroundItConsistent) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> times;
        unsigned int row;
        std::int32_t time;
        std::vector<std::int32_t> elapsed;
    };
    const Case cases[] = {
        {"the first row's segment is its time", {1000, 2500, 4500}, 0, 1200, {1200, 1300, 2000}},
        {"a middle row", {1000, 2500, 4500}, 1, 3000, {1000, 2000, 1500}},
        {"clearing a middle row", {1000, 2500, 4500}, 1, 0, {1000, 0, 0}},
        {"under a row without a time", {1000, 0, 4500}, 2, 4000, {1000, 0, 0}},
        {"above a row without a time", {1000, 2500, 0}, 1, 3000, {1000, 2000, 0}},
        {"the last row changes no other", {1000, 2500, 4500}, 2, 5000, {1000, 1500, 2500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildRun(engine_, c.times);
        engine_.UpdateDataCellTimer(c.row, 1, c.time);
        EXPECT_EQ(engine_.GetDataCellTimer(c.row, 1), c.time);
        EXPECT_EQ(ColumnTimes(engine_, 1, /*Elapsed=*/true), c.elapsed);
    }
}

TEST_F(CellEditing, ASegmentTimeDerivesTheRunningTimeFromTheRowAbove) {
    BuildRun(engine_, {6000, 9000, 12000});
    engine_.UpdateDataCellElapsed(1, 1, 4010);
    EXPECT_EQ(engine_.GetDataCellTimer(1, 1), 10010);  // 1:00.00 + 40.10 = 1:40.10
    EXPECT_EQ(engine_.GetDataCellElapsed(1, 1), 4010);
    EXPECT_EQ(engine_.GetDataCellElapsed(2, 1), 1990);

    engine_.UpdateDataCellElapsed(0, 1, 5000);
    EXPECT_EQ(engine_.GetDataCellTimer(0, 1), 5000);
    EXPECT_EQ(engine_.GetDataCellElapsed(1, 1), 5010);

    engine_.UpdateDataCellElapsed(2, 1, 0);
    EXPECT_EQ(engine_.GetDataCellTimer(2, 1), 0);
}

TEST_F(CellEditing, ASegmentTimeUnderARowWithoutATimeChangesNothing) {
    BuildRun(engine_, {6000, 0, 12000});
    engine_.UpdateDataCellElapsed(2, 1, 4010);
    EXPECT_EQ(engine_.GetDataCellTimer(2, 1), 12000);
    EXPECT_EQ(engine_.GetDataCellElapsed(2, 1), 0);
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}

TEST_F(CellEditing, EditsOfTheCurrentRunAreNotSavedAndAllOthersAre) {
    BuildRun(engine_, {1000, 2500});
    engine_.UpdateDataCellTimer(0, 2, 900);
    engine_.UpdateDataCellElapsed(1, 2, 900);
    EXPECT_EQ(engine_.GetDataCellTimer(1, 2), 1800);
    EXPECT_FALSE(FileExists(engine_.SplitFileName));

    engine_.UpdateDataCellTimer(0, 1, 900);
    EXPECT_TRUE(FileExists(engine_.SplitFileName));
    std::remove(engine_.SplitFileName.c_str());
    engine_.UpdateDataCellElapsed(1, 1, 900);
    EXPECT_TRUE(FileExists(engine_.SplitFileName));
    std::remove(engine_.SplitFileName.c_str());
    engine_.UpdateDataCellNotes(0, 2, "in the current run too");
    EXPECT_TRUE(FileExists(engine_.SplitFileName));
}

TEST_F(CellEditing, ANoteIsStoredEscapedAndReadBackAsTyped) {
    BuildRun(engine_, {1000});
    engine_.UpdateDataCellNotes(0, 1, "jump\tlate\nthen left");
    EXPECT_EQ(engine_.SplitCells[0][1]->Notes, "jump|tlate|rthen left");
    EXPECT_EQ(engine_.GetDataCellNotes(0, 1), "jump\tlate\r\nthen left");
    EXPECT_EQ(engine_.GetDataCellTimer(0, 1), 1000);
}

TEST_F(CellEditing, EditsOutsideTheGridChangeNothingAndWriteNoFile) {
    BuildRun(engine_, {1000, 2500});
    for (const unsigned int row : {2u, 4000000000u}) {  // GetRowCount() and far beyond
        engine_.UpdateDataCellTimer(row, 1, 700);
        engine_.UpdateDataCellElapsed(row, 1, 700);
        engine_.UpdateDataCellNotes(row, 1, "x");
        engine_.UpdateBestSplitTimer(row, 700);
        engine_.UpdateBestSplitElapsed(row, 700);
    }
    engine_.UpdateDataCellTimer(0, 3, 700);  // GetColumnCount()
    EXPECT_EQ(ColumnTimes(engine_, 1, /*Elapsed=*/true), (std::vector<std::int32_t>{1000, 1500}));
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}

TEST_F(CellEditing, AnEditThatCannotBeSavedStaysInMemory) {
    engine_.SplitFileName = dir_.File("missing-folder/route.txt");
    BuildRun(engine_, {1000, 2500});
    engine_.UpdateDataCellTimer(1, 1, 3000);
    EXPECT_EQ(engine_.GetDataCellTimer(1, 1), 3000);
    EXPECT_TRUE(engine_.LastSaveFailed);
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}
