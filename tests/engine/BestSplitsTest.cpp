// Best splits: taken over, kept with a run, set by hand, and the differences recomputed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "FakeClock.h"
#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

class BestSplits : public FakeClockTest {
  protected:
    QuorvelClass engine_{"/nonexistent/"};
    TempDir dir_;
};

}  // namespace

TEST_F(BestSplits, ASegmentBecomesBestOnlyWhenShorterAndAboveTheThreshold) {
    const struct {
        std::int32_t threshold, best, segment, expected;
    } cases[] = {
        {0, 900, 900, 900},    // a tie keeps the best split
        {0, 900, 899, 899},    // one hundredth shorter replaces it
        {0, 900, 901, 900},    // slower changes nothing
        {0, 0, 5000, 5000},    // any segment replaces a missing best
        {0, 900, 0, 900},      // a row not reached changes nothing
        {200, 0, 150, 0},      // below the threshold, even with no best yet
        {200, 0, 200, 0},      // exactly at the threshold is not above it
        {200, 900, 201, 201},  // just above it counts
        {-100, 900, 0, 900},   // a negative threshold does not let a missing segment in
        {0, 900, -50, 900},    // nor is a negative segment ever a best split
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "threshold " << c.threshold << ", best " << c.best
                                        << ", segment " << c.segment);
        BuildGrid(engine_, {"Run 1"}, {{c.best, 1000}});
        engine_.BestSplitMinElapsed = c.threshold;
        SetCurrentRun(engine_, {c.segment});
        engine_.UpdateBestSplits();
        EXPECT_EQ(engine_.GetDataCellElapsed(0, 0), c.expected);
        EXPECT_EQ(engine_.GetDataCellTimer(0, 0), c.expected);
    }
}

TEST_F(BestSplits, TheSplitAfterASkippedSplitNeverBecomesABestSplit) {
    BuildGrid(engine_, {"Run 1"}, {{1000, 1000}, {2000, 3000}, {2000, 5000}});
    engine_.StartTimer();
    engine_.SkipSplit();
    FakeClock::Advance(1100);  // a very fast second segment, but it cannot be measured
    engine_.DoSplit();
    FakeClock::Advance(1900);
    engine_.DoSplit();
    engine_.UpdateBestSplits();
    EXPECT_EQ(ColumnTimes(engine_, 0, /*Elapsed=*/true), (Times{1000, 2000, 1900}));
}

TEST_F(BestSplits, AKeptRunReplacesTheKeptColumnAndEmptiesTheCurrentRun) {
    engine_.SplitFileName = dir_.File("route.txt");
    BuildGrid(engine_, {"Run 1", "Run 2"}, {{1000, 1100, 1050}, {2000, 3300, 3100}});
    engine_.SplitCells[0][2]->Notes = "go left";
    engine_.SplitCells[0][1]->Notes = "older run";
    engine_.AccumulatedTime = 2900;
    SetCurrentRun(engine_, {950, 2900});
    engine_.KeepCurrentSplits();

    EXPECT_EQ(ColumnTimes(engine_, 2), (Times{950, 2900}));
    EXPECT_EQ(ColumnTimes(engine_, 2, /*Elapsed=*/true), (Times{950, 1950}));
    EXPECT_EQ(engine_.GetDataCellNotes(0, 2), "");  // the run's notes replace the kept ones
    EXPECT_EQ(engine_.GetDataCellNotes(0, 1), "older run");
    EXPECT_EQ(ColumnTimes(engine_, 0, /*Elapsed=*/true), (Times{950, 1950}));  // best taken over
    EXPECT_EQ(ColumnTimes(engine_, 3), (Times{0, 0}));
    for (unsigned int cell = 0; cell < 8; ++cell) {  // no differences left anywhere
        const unsigned int r = cell % 2, c = cell / 2;
        EXPECT_EQ(engine_.GetDataCellTimerDiff(r, c) | engine_.GetDataCellElapsedDiff(r, c), 0);
    }
    EXPECT_EQ(engine_.GetNextSplitNumber(), 0u);
    EXPECT_EQ(engine_.GetCurrentTime(), 2900);
    EXPECT_NE(ReadFile(engine_.SplitFileName).find("Split 2\t19.50\t33.00\t29.00"),
              std::string::npos);

    // Keeping again is refused: the emptied run would replace the kept one.
    std::remove(engine_.SplitFileName.c_str());
    engine_.KeepCurrentSplits();
    EXPECT_EQ(ColumnTimes(engine_, 2), (Times{950, 2900}));
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}

TEST_F(BestSplits, KeepingTheRunIsRefusedWithoutAStoredRunOrWhileRunning) {
    engine_.SplitFileName = dir_.File("route.txt");
    BuildGrid(engine_, {}, {{1000}});
    SetCurrentRun(engine_, {900});
    engine_.KeepCurrentSplits();
    EXPECT_EQ(engine_.GetDataCellElapsed(0, 0), 1000);
    EXPECT_FALSE(FileExists(engine_.SplitFileName));

    BuildGrid(engine_, {"Run 1"}, {{1000, 1000}});
    engine_.StartTimer();
    std::remove(engine_.SplitFileName.c_str());  // the start of the attempt wrote it
    FakeClock::Advance(900);
    engine_.DoSplit();
    engine_.ResumeTimer();
    engine_.KeepCurrentSplits();
    EXPECT_EQ(engine_.GetDataCellTimer(0, 1), 1000);
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}

TEST_F(BestSplits, SettingABestRunningTimeMovesEveryLaterTotal) {
    BuildGrid(engine_, {"Run 1"}, {{1000, 0}, {2000, 0}, {3000, 0}});
    engine_.UpdateBestSplitTimer(1, 3100);
    EXPECT_EQ(ColumnTimes(engine_, 0), (Times{1000, 3100, 6100}));
    EXPECT_EQ(ColumnTimes(engine_, 0, /*Elapsed=*/true), (Times{1000, 2100, 3000}));

    engine_.UpdateBestSplitTimer(1, 0);
    EXPECT_EQ(engine_.GetDataCellElapsed(1, 0), 0);
    EXPECT_EQ(engine_.GetDataCellTimer(2, 0), 4000);

    engine_.UpdateBestSplitElapsed(2, 500);
    EXPECT_EQ(engine_.GetDataCellTimer(2, 0), 1500);
}

TEST_F(BestSplits, RecomputedDifferencesCoverTheRowsPassedAndTheRowBeingTimedOnly) {
    BuildGrid(engine_, {"Run 1"}, {{1000, 1100}, {2000, 3300}, {2000, 5500}});
    SetCurrentRun(engine_, {1000});  // NextSplit 1: the second row is being timed
    engine_.SplitCells[2][1]->TimerDiff = 77;
    engine_.UpdateTimerDiffs();
    EXPECT_EQ(engine_.GetDataCellTimerDiff(0, 1), -100);
    EXPECT_EQ(engine_.GetDataCellTimerDiff(0, 2), -100);
    EXPECT_EQ(engine_.GetDataCellTimerDiff(1, 1), -3300);  // against the empty current cell
    EXPECT_EQ(engine_.GetDataCellTimerDiff(1, 0), -3000);
    EXPECT_EQ(engine_.GetDataCellTimerDiff(2, 1), 0);  // rows below are cleared

    // The kept run missed the row above: the current difference of the row is cleared.
    BuildGrid(engine_, {"Run 1"}, {{1000, 0}, {2000, 3300}});
    SetCurrentRun(engine_, {1000, 3000});
    engine_.UpdateTimerDiffs();
    EXPECT_EQ(engine_.GetDataCellTimerDiff(1, 1), -300);
    EXPECT_EQ(engine_.GetDataCellTimerDiff(1, 2), 0);
    EXPECT_EQ(engine_.GetDataCellElapsedDiff(1, 2), 0);
}
