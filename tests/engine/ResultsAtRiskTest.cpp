// What a reset, a quit or Save Run would lose: asked only when something is at stake.
#include "ResultsAtRisk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FakeClock.h"
#include "GridBuilder.h"

namespace {

// Kept run 12.00 and 32.93; best segments 10.00 and 20.00.
class ResultsAtRisk : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        BuildGrid(engine_, {"PB"}, {{1000, 1200}, {2000, 3293}});
    }
    // Starts a run and splits at the given run times; stops (pauses) when asked.
    void Run(const std::vector<std::int32_t>& splits, bool pauseAfter = false) {
        engine_.StartTimer();
        std::int32_t at = 0;
        for (const std::int32_t time : splits) {
            FakeClock::Advance(time - at);
            at = time;
            engine_.DoSplit();
        }
        if (pauseAfter) {
            engine_.StopTimer();
        }
    }

    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

TEST_F(ResultsAtRisk, AFasterFinishedRunAndNewBestSegmentsAreAtRiskUntilKept) {
    const struct {
        const char* name;
        std::vector<std::int32_t> splits;
        bool pauseAfter;
        bool autosaveRun;
        bool segmentsKeptAnyway;
        bool faster;
        bool newBest;
    } cases[] = {
        {"faster with a best segment", {950, 3000}, false, false, false, true, true},
        {"faster, segments kept by the reset", {950, 3000}, false, false, true, true, false},
        {"faster, kept at once by the autosave", {950, 3000}, false, true, false, false, false},
        {"slower, no better segment", {1200, 3626}, false, false, false, false, false},
        {"slower with a best segment", {900, 3626}, false, false, false, false, true},
        {"unfinished with a best segment", {900}, false, false, false, false, true},
        {"unfinished, kept as a split state", {900}, true, false, true, false, false},
        {"tie with the kept run", {1200, 3293}, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        engine_.AutosaveBestRun = c.autosaveRun;
        Run(c.splits, c.pauseAfter);
        const UnsavedResults results = FindUnsavedResults(engine_, c.segmentsKeptAnyway);
        EXPECT_EQ(results.FasterRun, c.faster);
        EXPECT_EQ(results.NewBestSegments, c.newBest);
        engine_.ClearTimer();
    }
}

TEST_F(ResultsAtRisk, ARunIsFasterThanAKeptRunWithoutAFinalTime) {
    BuildGrid(engine_, {"PB"}, {{1000, 1200}, {2000, 0}});
    Run({1200, 9000});
    const UnsavedResults results = FindUnsavedResults(engine_, /*segmentsKeptAnyway=*/true);
    EXPECT_TRUE(results.FasterRun);
    EXPECT_EQ(results.RunTime, 9000);
    EXPECT_EQ(results.KeptTime, 0);
}

TEST_F(ResultsAtRisk, WithoutAStoredRunColumnNoRunCanBeLost) {
    BuildGrid(engine_, {}, {{1000}, {2000}});
    Run({1200, 3400});
    EXPECT_FALSE(FindUnsavedResults(engine_, /*segmentsKeptAnyway=*/false).Any());
}

TEST_F(ResultsAtRisk, SaveRunIsQuestionedOnlyForASlowerOrUnfinishedRun) {
    Run({1200, 3626});
    SaveRunConcern concern = FindSaveRunConcern(engine_);
    EXPECT_EQ(concern.What, SaveRunConcern::Kind::Slower);
    EXPECT_EQ(concern.RunTime, 3626);
    EXPECT_EQ(concern.KeptTime, 3293);

    engine_.ClearTimer();
    Run({1200, 3000});
    EXPECT_EQ(FindSaveRunConcern(engine_).What, SaveRunConcern::Kind::None);

    engine_.ClearTimer();
    Run({1200}, /*pauseAfter=*/true);
    concern = FindSaveRunConcern(engine_);
    EXPECT_EQ(concern.What, SaveRunConcern::Kind::Unfinished);
    EXPECT_EQ(concern.DoneSplits, 1u);
    EXPECT_EQ(concern.Splits, 2u);

    engine_.ClearTimer();
    EXPECT_EQ(FindSaveRunConcern(engine_).What, SaveRunConcern::Kind::None);  // nothing to save
}

TEST_F(ResultsAtRisk, AnEmptyKeptRunIsNeverWorthAQuestion) {
    BuildGrid(engine_, {"PB"}, {{1000, 0}, {2000, 0}});
    Run({1200}, /*pauseAfter=*/true);
    EXPECT_EQ(FindSaveRunConcern(engine_).What, SaveRunConcern::Kind::None);
}
