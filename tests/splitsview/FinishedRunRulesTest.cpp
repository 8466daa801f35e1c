// A finished run stays on screen until Reset or the next start: also when the engine keeps
// it as the new personal best and empties its current run at the last split.
#include <gtest/gtest.h>

#include "GridBuilder.h"
#include "SplitsLook.h"

namespace {

using enum ColourRole;

class FinishedRun : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        // Best segments 10.00, 20.00, 30.00; the personal best 11.00, 33.00, 65.00.
        BuildGrid(engine, {"Personal Best"}, {{1000, 1100}, {2000, 3300}, {3000, 6500}});
        engine.AutosaveBestRun = true;
    }

    // What the view shows after each command.
    SplitsLook Look() {
        const RunSnapshot& run = screen.Update(engine);
        groups = GroupSplits(run.names);
        comparison = ResolveComparison(run, {}, {});
        return ComputeSplitsLook({run, comparison, groups, options});
    }

    QuorvelClass engine{"/tmp/"};
    RunOnScreen screen;
    std::vector<SplitGroup> groups;
    ComparisonTimes comparison;
    SplitsOptions options;
};

std::vector<std::string> Times(const SplitsLook& look) {
    std::vector<std::string> times;
    for (const RowLook& row : look.rows) {
        times.push_back(row.time + " " + row.delta.text);
    }
    return times;
}

TEST_F(FinishedRun, ANewPersonalBestStaysOnScreenWithItsDifferencesUntilReset) {
    engine.StartTimer();
    Look();
    SplitAt(engine, {1050, 3200});
    Look();
    SplitAt(engine, {6000});
    ASSERT_EQ(engine.GetDataCellTimer(2, 1), 6000);  // kept at once: the new personal best
    ASSERT_EQ(engine.GetDataCellTimer(2, 2), 0);     // and the engine's run emptied

    const SplitsLook look = Look();
    EXPECT_TRUE(look.newPersonalBest);
    EXPECT_EQ(look.clock.time, "1:00.00");
    EXPECT_EQ(look.clock.role, kPersonalBest);  // never drawn as behind
    EXPECT_EQ(look.clock.caption, "New personal best");
    // Against the personal best it beat, gold where a segment beat the old best.
    EXPECT_EQ(Times(look), (std::vector<std::string>{"10.50 \u22120.50", "32.00 \u22121.00",
                                                     "1:00.00 \u22125.00"}));
    EXPECT_EQ(look.rows[2].delta.role, kBestSegment);  // 28.00 against a best of 30.00
    EXPECT_EQ(look.rows[0].delta.role, kAheadGaining);
    EXPECT_EQ(look.summary.back().value, "1:00.00");  // Personal Best: the new one
    // Sum of Best with the run's 28.00 in place of the best 30.00: never above the run.
    EXPECT_EQ(look.summary.at(1).value, "58.00");

    FakeClock::Advance(500);  // ticks and other commands leave it on screen
    screen.Tick(engine);
    EXPECT_EQ(Look(), look);

    engine.ClearTimer();
    const SplitsLook reset = Look();
    EXPECT_FALSE(reset.newPersonalBest);
    // Racing the new personal best now.
    EXPECT_EQ(Times(reset), (std::vector<std::string>{"10.50 ", "32.00 ", "1:00.00 "}));
}

TEST_F(FinishedRun, TheNextStartLeavesTheKeptRunBehind) {
    engine.StartTimer();
    for (const std::int32_t time : {1050, 3200}) {  // the view looks after every command
        Look();
        SplitAt(engine, {time});
    }
    Look();
    SplitAt(engine, {6000});
    ASSERT_TRUE(Look().newPersonalBest);
    engine.StartTimer();
    const SplitsLook look = Look();
    EXPECT_FALSE(look.newPersonalBest);
    EXPECT_EQ(look.clock.caption, "Segment 0.00");
    EXPECT_EQ(Times(look)[0], "10.50 ");  // the personal best is now the run kept
}

TEST_F(FinishedRun, ASlowerFinishIsNoPersonalBestAndIsColouredBehind) {
    engine.StartTimer();
    Look();
    SplitAt(engine, {1050, 3200, 7000});
    const SplitsLook look = Look();
    EXPECT_FALSE(look.newPersonalBest);
    EXPECT_EQ(look.clock.caption, "");
    EXPECT_EQ(look.clock.role, kBehindLosing);
    EXPECT_EQ(Times(look)[2], "1:10.00 +5.00");
}

}  // namespace
