#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

// Two splits, one stored run "Run 1"; the best cell of row 0 holds the note "a|tb|rc".
const char kTwoSplits[] =
    "7\t-0.33\n"
    "Desc\tBest Splits\tRun 1\n"
    "One\t10.00\t11.00\n"
    "\ta|tb|rc\tkept note\n"
    "Two\t20.00\t32.00\n"
    "\t\t\n";

class SplitGrid : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(dir.File("two.txt"), kTwoSplits);
        engine.LoadSplitData(dir.File("two.txt"));
        ASSERT_EQ(engine.GetColumnCount(), 3u);
        ASSERT_EQ(engine.GetRowCount(), 2u);
    }

    TempDir dir;
    QuorvelClass engine{"/apps/q/"};
};

}  // namespace

TEST_F(SplitGrid, CopySplitDataKeepsTheTargetsLabels) {
    int label = 0;
    SplitDataClass target;
    target.LabelList.push_back(&label);
    SplitDataClass& source = *engine.SplitCells[1][1];
    source.TimerDiff = -12;
    source.ElapsedDiff = 34;
    source.Notes = "n";
    source.LabelList.push_back(nullptr);
    source.LabelList.push_back(nullptr);
    target.CopySplitData(&source);
    EXPECT_EQ(target.Timer, 3200);
    EXPECT_EQ(target.Elapsed, 2100);
    EXPECT_EQ(target.TimerDiff, -12);
    EXPECT_EQ(target.ElapsedDiff, 34);
    EXPECT_EQ(target.Notes, "n");
    ASSERT_EQ(target.LabelList.size(), 1u);
    EXPECT_EQ(target.LabelList[0], &label);
}

TEST_F(SplitGrid, ClearSplitsForRowEmptiesTheCurrentCellAndOnlyDifferencesElsewhere) {
    for (auto& cell : engine.SplitCells[0]) {
        cell->Timer = 500;
        cell->TimerDiff = 7;
        cell->Elapsed = 400;
        cell->ElapsedDiff = 8;
        cell->Notes = "note";
    }
    engine.ClearSplitsForRow(0);
    for (unsigned int c = 0; c + 1 < engine.GetColumnCount(); ++c) {
        EXPECT_EQ(engine.GetDataCellTimer(0, c), 500);
        EXPECT_EQ(engine.GetDataCellElapsed(0, c), 400);
        EXPECT_EQ(engine.GetDataCellTimerDiff(0, c), 0);
        EXPECT_EQ(engine.GetDataCellElapsedDiff(0, c), 0);
        EXPECT_EQ(engine.GetDataCellNotes(0, c), "note");
    }
    const unsigned int current = engine.GetColumnCount() - 1;
    EXPECT_EQ(engine.GetDataCellTimer(0, current), 0);
    EXPECT_EQ(engine.GetDataCellTimerDiff(0, current), 0);
    EXPECT_EQ(engine.GetDataCellElapsed(0, current), 0);
    EXPECT_EQ(engine.GetDataCellElapsedDiff(0, current), 0);
    EXPECT_EQ(engine.GetDataCellNotes(0, current), "");
}

TEST_F(SplitGrid, ClearSplitDataKeepsSettingsAndResetsTheFileState) {
    engine.BestSplitMinElapsed = 300;
    engine.AutosaveBestSplits = true;
    engine.AutosaveBestRun = true;
    engine.SessionAttemptCount = 4;
    engine.TimerRunning = true;
    engine.NextSplit = 1;
    engine.FirstPlaceTime = 77;
    EXPECT_EQ(engine.TotalAttemptCount, 7);
    EXPECT_EQ(engine.StartOffset, -33);

    engine.ClearSplitData();
    EXPECT_EQ(engine.GetColumnCount(), 0u);
    EXPECT_EQ(engine.GetRowCount(), 0u);
    EXPECT_TRUE(engine.RowHeaders.empty());
    EXPECT_EQ(engine.GetFullFileDesc(), "");
    EXPECT_EQ(engine.SplitFileName, "");
    EXPECT_EQ(engine.StartOffset, 0);
    EXPECT_EQ(engine.TotalAttemptCount, 0);
    EXPECT_EQ(engine.SessionAttemptCount, 0);
    EXPECT_FALSE(engine.TimerRunning);
    EXPECT_EQ(engine.NextSplit, 0u);
    EXPECT_EQ(engine.BestSplitMinElapsed, 300);
    EXPECT_TRUE(engine.AutosaveBestSplits);
    EXPECT_TRUE(engine.AutosaveBestRun);
    EXPECT_EQ(engine.FirstPlaceTime, 77);
    EXPECT_EQ(engine.DefaultFolder, "/apps/q/");
}
