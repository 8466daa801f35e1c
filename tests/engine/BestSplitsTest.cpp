// Best splits: taken over, kept with a run, set by hand, and the differences recomputed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

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
    SplitAt(engine_, {0, 1100, 3000});  // a very fast second segment, but it cannot be measured
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

    // Kept run, its segments, the best segments taken over, the emptied current run.
    EXPECT_EQ(
        (std::vector<Times>{ColumnTimes(engine_, 2), ColumnTimes(engine_, 2, /*Elapsed=*/true),
                            ColumnTimes(engine_, 0, /*Elapsed=*/true), ColumnTimes(engine_, 3)}),
        (std::vector<Times>{{950, 2900}, {950, 1950}, {950, 1950}, {0, 0}}));
    // The run's notes replace the kept ones; no differences are left anywhere.
    EXPECT_EQ(engine_.GetDataCellNotes(0, 2) + "/" + engine_.GetDataCellNotes(0, 1), "/older run");
    for (unsigned int cell = 0; cell < 8; ++cell) {
        const unsigned int r = cell % 2, c = cell / 2;
        EXPECT_EQ(engine_.GetDataCellTimerDiff(r, c) | engine_.GetDataCellElapsedDiff(r, c), 0);
    }
    EXPECT_EQ(std::make_pair(engine_.GetNextSplitNumber(), engine_.GetCurrentTime()),
              std::make_pair(0u, 2900));
    EXPECT_NE(ReadFile(engine_.SplitFileName).find("Split 2\t19.50\t33.00\t29.00"),
              std::string::npos);

    // Keeping again is refused: the emptied run would replace the kept one.
    std::remove(engine_.SplitFileName.c_str());
    engine_.KeepCurrentSplits();
    EXPECT_EQ(ColumnTimes(engine_, 2), (Times{950, 2900}));
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}

TEST_F(BestSplits, KeepingTheRunIsRefusedWhileRunning) {
    engine_.SplitFileName = dir_.File("route.txt");
    BuildGrid(engine_, {"Run 1"}, {{1000, 1000}});
    SetCurrentRun(engine_, {900});
    engine_.TimerRunning = true;
    engine_.KeepCurrentSplits();
    EXPECT_EQ(engine_.GetDataCellTimer(0, 1), 1000);
    EXPECT_FALSE(FileExists(engine_.SplitFileName));
}

// The last split puts the run's results on disk as the autosave options say, so a kill or a
// logout before the next start or reset loses nothing; a route without a stored run keeps its
// run in a "Personal Best" column of its own.
TEST_F(BestSplits, TheLastSplitWritesTheRunsResultsAtOnce) {
    const struct {
        const char* name;
        std::vector<std::string> runs;
        bool autosaveRun, autosaveSplits;
        const char* written;  // lines on disk after the last split
    } cases[] = {
        // clang-format off
        {"best segments of a slower run", {"Run 1"}, false, true,
         "Split 1\t8.00\t10.00\n\t\t\nSplit 2\t14.00\t25.00\n"},
        {"the first run of a route without a stored run", {}, true, false,
         "\tBest Splits\tPersonal Best\nSplit 1\t8.00\t8.00\n\t\t\nSplit 2\t14.00\t26.00\n"},
        {"neither autosave", {"Run 1"}, false, false,
         "Split 1\t9.00\t10.00\n\t\t\nSplit 2\t14.00\t25.00\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(dir_.File("route.txt").c_str());
        engine_.SplitFileName = dir_.File("route.txt");
        BuildGrid(engine_, c.runs,
                  c.runs.empty() ? std::vector<Times>{{900}, {1400}}
                                 : std::vector<Times>{{900, 1000}, {1400, 2500}});
        engine_.AutosaveBestRun = c.autosaveRun;
        engine_.AutosaveBestSplits = c.autosaveSplits;
        engine_.StartTimer();
        SplitAt(engine_, {800, 2600});  // a best first segment; slower than Run 1
        EXPECT_NE(ReadFile(engine_.SplitFileName).find(c.written), std::string::npos)
            << ReadFile(engine_.SplitFileName);
    }
}

TEST_F(BestSplits, RecomputedDifferencesCoverTheRowsPassedAndTheRowBeingTimedOnly) {
    BuildGrid(engine_, {"Run 1"}, {{1000, 1100}, {2000, 3300}, {2000, 5500}});
    SetCurrentRun(engine_, {1000});  // NextSplit 1: the second row is being timed
    engine_.SplitCells[2][1]->TimerDiff = 77;
    engine_.UpdateTimerDiffs();
    // Row 0 against the current run; row 1 against its empty current cell; row 2 cleared.
    EXPECT_EQ((Times{engine_.GetDataCellTimerDiff(0, 1), engine_.GetDataCellTimerDiff(0, 2),
                     engine_.GetDataCellTimerDiff(1, 1), engine_.GetDataCellTimerDiff(1, 0),
                     engine_.GetDataCellTimerDiff(2, 1)}),
              (Times{-100, -100, -3300, -3000, 0}));

    // The kept run missed the row above: the current difference of the row is cleared.
    BuildGrid(engine_, {"Run 1"}, {{1000, 0}, {2000, 3300}});
    SetCurrentRun(engine_, {1000, 3000});
    engine_.UpdateTimerDiffs();
    EXPECT_EQ((Times{engine_.GetDataCellTimerDiff(1, 1), engine_.GetDataCellTimerDiff(1, 2),
                     engine_.GetDataCellElapsedDiff(1, 2)}),
              (Times{-300, 0, 0}));
}
