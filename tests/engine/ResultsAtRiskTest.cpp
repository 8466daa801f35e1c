// What a reset, a quit or Save Run would lose: asked only when something is at stake.
#include "ResultsAtRisk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "FakeClock.h"
#include "GridBuilder.h"

namespace {

const Times kKept = {1200, 3293}, kNoFinal = {1200, 0}, kEmpty = {0, 0};

// Best segments 10.00 and 20.00 and the kept run (none when kept is empty); a run split at the
// given run times (none started when there are none), paused when asked.
class ResultsAtRisk : public FakeClockTest {
  protected:
    void Play(const Times& kept, const Times& splits, bool pause) {
        if (kept.empty()) {
            BuildGrid(engine_, {}, {{1000}, {2000}});
        } else {
            BuildGrid(engine_, {"PB"}, {{1000, kept[0]}, {2000, kept[1]}});
        }
        if (!splits.empty()) {
            engine_.StartTimer();
            SplitAt(engine_, splits);
        }
        if (pause) {
            engine_.StopTimer();
        }
    }

    QuorvelClass engine_{"/nonexistent/"};
};

constexpr bool Paused = true, Runs = false;

}  // namespace

TEST_F(ResultsAtRisk, AFasterFinishedRunAndNewBestSegmentsAreAtRiskUntilKept) {
    const struct {
        const char* name;
        Times kept, splits;
        bool pause, autosaveRun, segmentsKeptAnyway, faster, newBest;
    } cases[] = {
        // clang-format off
        {"faster with a best segment", kKept, {950, 3000}, Runs, false, false, true, true},
        {"faster, segments kept by the reset", kKept, {950, 3000}, Runs, false, true, true, false},
        {"faster, kept at once by the autosave", kKept, {950, 3000}, Runs, true, false, false, false},
        {"slower, no better segment", kKept, {1200, 3626}, Runs, false, false, false, false},
        {"slower with a best segment", kKept, {900, 3626}, Runs, false, false, false, true},
        {"unfinished with a best segment", kKept, {900}, Runs, false, false, false, true},
        {"unfinished, kept as a split state", kKept, {900}, Paused, false, true, false, false},
        {"tie with the kept run", kKept, {1200, 3293}, Runs, false, false, false, false},
        {"kept run without a final time", kNoFinal, {1200, 9000}, Runs, false, true, true, false},
        {"no stored run column", {}, {1200, 3400}, Runs, false, false, true, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        engine_.AutosaveBestRun = c.autosaveRun;
        Play(c.kept, c.splits, c.pause);
        const UnsavedResults r = FindUnsavedResults(engine_, c.segmentsKeptAnyway);
        EXPECT_EQ(std::make_pair(r.FasterRun, r.NewBestSegments),
                  std::make_pair(c.faster, c.newBest));
        if (c.faster) {
            EXPECT_EQ(std::make_pair(r.RunTime, r.KeptTime),
                      std::make_pair(c.splits.back(), c.kept.empty() ? 0 : c.kept[1]));
        }
        engine_.ClearTimer();
    }
}

TEST_F(ResultsAtRisk, SaveRunIsQuestionedOnlyForASlowerOrUnfinishedRun) {
    using Kind = SaveRunConcern::Kind;
    const struct {
        const char* name;
        Times kept, splits;
        bool pause;
        Kind what;
    } cases[] = {
        {"slower", kKept, {1200, 3626}, Runs, Kind::Slower},
        {"faster", kKept, {1200, 3000}, Runs, Kind::None},
        {"unfinished", kKept, {1200}, Paused, Kind::Unfinished},
        {"nothing to save", kKept, {}, Runs, Kind::None},
        {"an empty kept run is never worth a question", kEmpty, {1200}, Paused, Kind::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Play(c.kept, c.splits, c.pause);
        const SaveRunConcern concern = FindSaveRunConcern(engine_);
        EXPECT_EQ(concern.What, c.what);
        if (c.what == Kind::Slower) {
            EXPECT_EQ(std::make_pair(concern.RunTime, concern.KeptTime),
                      std::make_pair(3626, 3293));
        } else if (c.what == Kind::Unfinished) {
            EXPECT_EQ(std::make_pair(concern.DoneSplits, concern.Splits), std::make_pair(1u, 2u));
        }
        engine_.ClearTimer();
    }
}
