// The run clock: the five states of a run and every move between them, and what a split records.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "FakeClock.h"
#include "GridBuilder.h"
#include "QuorvelEngine.h"

namespace {

// Three splits; the kept run "Run 1" at 10.00, 25.00 and 45.00.
void BuildThreeSplits(QuorvelClass& engine) {
    BuildGrid(engine, {"Run 1"}, {{900, 1000}, {1400, 2500}, {1900, 4500}});
}

// With the time and the next split, whether the clock runs tells the five states apart.
constexpr bool Runs = true, Stands = false;

using Op = void (QuorvelClass::*)();
constexpr Op Start = &QuorvelClass::StartTimer, Stop = &QuorvelClass::StopTimer,
             Resume = &QuorvelClass::ResumeTimer, Clear = &QuorvelClass::ClearTimer,
             Split = &QuorvelClass::DoSplit, Skip = &QuorvelClass::SkipSplit,
             Undo = &QuorvelClass::UndoSplit, Wait = nullptr;

struct Step {
    const char* what;
    std::int64_t advance;  // hundredths the clock moves before the operation
    Op operation;
    bool running;
    std::int32_t time;
    std::uint32_t next;
    std::int32_t attempts;
};

// Every move of the state table, walked with a start offset of -3.00 on three splits.
const std::vector<Step> kWalk = {
    {"a new grid is reset", 0, Wait, Stands, 0, 0, 0},
    {"start with a lead-in", 0, Start, Runs, -300, 0, 1},
    {"the lead-in counts up", 100, Wait, Runs, -200, 0, 1},
    {"split refused in the lead-in", 0, Split, Runs, -200, 0, 1},
    {"skip refused in the lead-in", 0, Skip, Runs, -200, 0, 1},
    {"undo refused in the lead-in", 0, Undo, Runs, -200, 0, 1},
    {"start ignored in the lead-in", 0, Start, Runs, -200, 0, 1},
    {"resume ignored in the lead-in", 0, Resume, Runs, -200, 0, 1},
    {"stop in the lead-in pauses", 50, Stop, Stands, -150, 0, 1},
    {"a paused lead-in stands still", 700, Wait, Stands, -150, 0, 1},
    {"resume goes back into the lead-in", 0, Resume, Runs, -150, 0, 1},
    {"the lead-in ends at 0", 150, Wait, Runs, 0, 0, 1},
    {"start ignored while running", 0, Start, Runs, 0, 0, 1},
    {"resume ignored while running", 0, Resume, Runs, 0, 0, 1},
    {"split on the first row", 800, Split, Runs, 800, 1, 1},
    {"skip the second row", 100, Skip, Runs, 900, 2, 1},
    {"skip refused on the last row", 100, Skip, Runs, 1000, 2, 1},
    {"undo goes back to the second row", 0, Undo, Runs, 1000, 1, 1},
    {"undo goes back to the first row", 0, Undo, Runs, 1000, 0, 1},
    {"undo refused on the first row", 0, Undo, Runs, 1000, 0, 1},
    {"split the first row again", 0, Split, Runs, 1000, 1, 1},
    {"stop while running pauses", 200, Stop, Stands, 1200, 1, 1},
    {"stop ignored while paused", 0, Stop, Stands, 1200, 1, 1},
    {"paused time is not counted", 5000, Wait, Stands, 1200, 1, 1},
    {"split ignored while paused", 0, Split, Stands, 1200, 1, 1},
    {"resume continues from the banked time", 0, Resume, Runs, 1200, 1, 1},
    {"split the second row", 1300, Split, Runs, 2500, 2, 1},
    {"the last split finishes", 2000, Split, Stands, 4500, 3, 1},
    {"a finished clock stands still", 900, Wait, Stands, 4500, 3, 1},
    {"resume runs a finished clock again", 0, Resume, Runs, 4500, 3, 1},
    {"the clock runs on", 100, Wait, Runs, 4600, 3, 1},
    {"a split past the last row only stops it", 100, Split, Stands, 4700, 3, 1},
    {"start from finished counts an attempt", 0, Start, Runs, -300, 0, 2},
    {"the next run is timed", 400, Split, Runs, 100, 1, 2},
    {"stop", 0, Stop, Stands, 100, 1, 2},
    {"start from paused begins afresh", 0, Start, Runs, -300, 0, 3},
    {"reset from the lead-in", 0, Clear, Stands, 0, 0, 3},
    {"resume from reset runs from 0", 0, Resume, Runs, 0, 0, 3},
    {"a split from there", 300, Split, Runs, 300, 1, 3},
    {"reset from running", 0, Clear, Stands, 0, 0, 3},
    {"start from reset", 0, Start, Runs, -300, 0, 4},
    {"a stop at exactly 0 looks like a reset", 300, Stop, Stands, 0, 0, 4},
    {"reset from paused", 0, Clear, Stands, 0, 0, 4},
};

class RunTimerWalk : public FakeClockTest, public ::testing::WithParamInterface<std::int64_t> {};

}  // namespace

// The walk runs once on an ordinary clock reading and once each across the points where the
// 32-bit reading wraps from 2^31 - 1 to -2^31 and from -1 to 0, both while the clock runs.
TEST_P(RunTimerWalk, EveryMoveOfTheStateTableEndsInTheExpectedState) {
    FakeClock::Set(GetParam());
    QuorvelClass engine("/nonexistent/");
    BuildThreeSplits(engine);
    engine.StartOffset = -300;
    for (const Step& step : kWalk) {
        SCOPED_TRACE(step.what);
        FakeClock::Advance(step.advance);
        if (step.operation != nullptr) {
            (engine.*step.operation)();
        }
        EXPECT_EQ(
            std::make_tuple(engine.IsTimerRunning(), engine.GetCurrentTime(),
                            engine.GetNextSplitNumber(), engine.GetTotalAttemptCount(),
                            engine.GetSessionAttemptCount()),
            std::make_tuple(step.running, step.time, step.next, step.attempts, step.attempts));
    }
}

INSTANTIATE_TEST_SUITE_P(ClockReadings, RunTimerWalk,
                         ::testing::Values(1000, kReadingWrap - 1500, 2 * kReadingWrap - 1500));

namespace {

class RunTimer : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        BuildThreeSplits(engine_);
    }
    // Starts a run and splits at the given run times (0: skip that row).
    void RunTo(const Times& splits) {
        engine_.StartTimer();
        SplitAt(engine_, splits);
    }
    // Row r's cells: the current run's time, segment and their differences, then the
    // differences of the best splits' and the kept run's times.
    Times Cells(unsigned int r) const {
        return {engine_.GetDataCellTimer(r, 2),     engine_.GetDataCellElapsed(r, 2),
                engine_.GetDataCellTimerDiff(r, 2), engine_.GetDataCellElapsedDiff(r, 2),
                engine_.GetDataCellTimerDiff(r, 0), engine_.GetDataCellTimerDiff(r, 1)};
    }
    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

TEST_F(RunTimer, ASplitRecordsTheTimeAndTheDifferencesThatHaveTwoTimesToCompare) {
    RunTo({980});  // against the best 9.00 and the kept 10.00; the first segment is its time
    EXPECT_EQ(Cells(0), (Times{980, 980, -20, -20, 80, -20}));
    EXPECT_EQ(engine_.GetDataCellElapsedDiff(0, 1), -20);
    engine_.UndoSplit();  // forgotten again, and the clock runs on
    EXPECT_EQ(Cells(0), (Times{0, 0, 0, 0, 0, 0}));
    FakeClock::Advance(100);
    EXPECT_EQ(engine_.GetCurrentTime(), 1080);
    engine_.ClearTimer();
    RunTo({0, 2600});  // after a skipped row no segment, no difference; the kept cell compares
    EXPECT_EQ(Cells(1), (Times{2600, 0, 0, 0, 300, 100}));
    engine_.ClearTimer();
    engine_.SplitCells[0][1]->Timer = 0;  // a kept row without a time
    RunTo({980});
    EXPECT_EQ(Cells(0), (Times{980, 980, 0, 0, 80, 0}));
}

TEST_F(RunTimer, AFinishedRunIsKeptOnlyWithTheAutosaveAndWhenStrictlyFaster) {
    const struct {
        bool autosave;
        std::int32_t keptFinal, finish;
        bool kept;
    } cases[] = {
        {true, 4500, 4500, false}, {true, 4500, 4499, true},   {true, 4500, 4501, false},
        {true, 0, 9000, true},     {false, 4500, 3000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kept " << c.keptFinal << ", finish " << c.finish);
        BuildThreeSplits(engine_);
        engine_.SplitCells[2][1]->Timer = c.keptFinal;
        engine_.AutosaveBestRun = c.autosave;
        engine_.ClearTimer();
        RunTo({1000, 2000, c.finish});
        EXPECT_EQ(engine_.GetDataCellTimer(2, 1), c.kept ? c.finish : c.keptFinal);
        EXPECT_EQ(engine_.GetNextSplitNumber(), c.kept ? 0u : 3u);
        EXPECT_EQ(engine_.GetCurrentTime(), c.finish);
    }
}

TEST_F(RunTimer, ResetWithAutosaveBestSplitsTakesTheReachedSegments) {
    engine_.AutosaveBestSplits = true;
    RunTo({800});  // beats the best first segment of 9.00
    FakeClock::Advance(100);
    engine_.ClearTimer();
    EXPECT_EQ(ColumnTimes(engine_, 0, /*Elapsed=*/true), (Times{800, 1400, 1900}));
    EXPECT_EQ(engine_.GetDataCellTimer(0, 2), 0);
}

TEST_F(RunTimer, TheLiveDifferenceComparesWithTheKeptRunAtTheSplitBeingTimed) {
    RunTo({1100});             // 1.00 behind at the first split
    FakeClock::Advance(1300);  // 24.00 into the run, 13.00 into the second segment
    EXPECT_EQ(engine_.GetCurrentTimeDiffFromNextSplit(), 2400 - 2500);
    EXPECT_EQ(engine_.GetTimeToNextSplit(), 1300 - 1500);
    engine_.SplitCells[1][1]->Timer = 0;  // nothing to compare with: 0
    EXPECT_EQ(engine_.GetCurrentTimeDiffFromNextSplit(), 0);
    EXPECT_EQ(engine_.GetTimeToNextSplit(), 0);
    SplitAt(engine_, {2500, 3000});  // finished: 0
    EXPECT_EQ(engine_.GetCurrentTimeDiffFromNextSplit(), 0);
}

TEST_F(RunTimer, TheAttemptCountersStopAtTheLargestCount) {
    engine_.TotalAttemptCount = 2147483647;
    engine_.StartTimer();
    EXPECT_EQ(engine_.GetTotalAttemptCount(), 2147483647);
    EXPECT_EQ(engine_.GetSessionAttemptCount(), 1);
}
