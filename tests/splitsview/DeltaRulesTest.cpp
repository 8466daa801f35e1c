// The difference of a split and its colour, the clock's text, and the summary figures, as
// tables of times.
#include <gtest/gtest.h>

#include "DeltaRules.h"
#include "Summary.h"

namespace {

using enum ColourRole;
const std::string kMinus = "\u2212";

TEST(DeltaRules, DifferenceAndColourFollowWhereTheRunStandsAndWhatTheLastSegmentDid) {
    const struct {
        const char* what;
        DeltaInput in;  // {comparison time, segment}, {run time, segment}, best, minimum
        std::string text;
        ColourRole role;
    } cases[] = {
        {"ahead, faster segment",
         {{4000, 4000}, {3955, 3955}, 3900, 0},
         kMinus + "0.45",
         kAheadGaining},
        {"ahead, the same segment",
         {{8000, 4000}, {7955, 4000}, 3900, 0},
         kMinus + "0.45",
         kAheadGaining},
        {"ahead, slower segment",
         {{8000, 4000}, {7955, 4050}, 3900, 0},
         kMinus + "0.45",
         kAheadLosing},
        {"behind, faster segment", {{8000, 4000}, {8123, 3980}, 3900, 0}, "+1.23", kBehindGaining},
        {"behind, the same segment", {{8000, 4000}, {8123, 4000}, 3900, 0}, "+1.23", kBehindLosing},
        {"level", {{4000, 4000}, {4000, 4000}, 3900, 0}, "0.00", kAheadGaining},
        {"behind on a best segment", {{4000, 4000}, {4123, 4123}, 4150, 0}, "+1.23", kBestSegment},
        {"no best segment stored yet", {{4000, 4000}, {4123, 4123}, 0, 0}, "+1.23", kBestSegment},
        {"the best segment equalled",
         {{8000, 4000}, {7900, 3900}, 3900, 0},
         kMinus + "1.00",
         kAheadGaining},
        {"too short to be a best segment",
         {{100, 100}, {150, 150}, 0, 200},
         "+0.50",
         kBehindLosing},
        {"after a skipped split, behind",
         {{8000, 4000}, {8100, 0}, 3900, 0},
         "+1.00",
         kBehindLosing},
        {"after a skipped split, ahead",
         {{8000, 4000}, {7900, 0}, 3900, 0},
         kMinus + "1.00",
         kAheadGaining},
        {"a minute behind", {{6000, 6000}, {12523, 12523}, 3900, 0}, "+1:05.23", kBehindLosing},
        {"nothing to compare with", {{0, 0}, {4123, 4123}, 0, 0}, "", kText},
        {"not reached yet", {{4000, 4000}, {0, 0}, 3900, 0}, "", kText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SplitDelta(c.in), (DeltaLook{c.text, c.role}));
    }
}

TEST(DeltaRules, TheClockIsCutToItsDecimalsNeverRoundedUp) {
    EXPECT_EQ(TimeText(6599, 2), "1:05.99");
    EXPECT_EQ(TimeText(6599, 1), "1:05.9");
    EXPECT_EQ(TimeText(6599, 0), "1:05");
    EXPECT_EQ(TimeText(360000, 0), "1:00:00");
    EXPECT_EQ(TimeText(-150, 1), kMinus + "1.5");
    EXPECT_EQ(TimeText(-50, 0), kMinus + "0");
}

TEST(Summary, SumOfBestBestPossibleTimeAndPossibleTimeSave) {
    const std::vector<std::int32_t> best = {1000, 2000, 3000};
    EXPECT_EQ(SumOfBest(best, 0), 6000);
    EXPECT_EQ(SumOfBest({1000, 0, 3000}, 0), std::nullopt);
    EXPECT_EQ(SumOfBest({1000, 0, 3000}, 5900), 5900);  // the history's, combined segments

    const struct {
        const char* what;
        std::vector<std::int32_t> run;
        std::size_t next;
        std::int32_t clock;
        std::optional<std::int32_t> bestPossible;
    } runs[] = {
        {"before the start", {0, 0, 0}, 0, 0, 6000},
        {"after the first split", {1100, 0, 0}, 1, 1500, 1100 + 2000 + 3000},
        {"slower than the best of the split being timed", {1100, 0, 0}, 1, 3500, 3500 + 3000},
        {"after a skipped split", {1100, 0, 0}, 2, 4000, 1100 + 2000 + 3000},
        {"after a skipped split, slower", {1100, 0, 0}, 2, 7000, 7000},
        {"finished", {1100, 3300, 6700}, 3, 6701, 6700},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(BestPossibleTime(best, r.run, r.next, r.clock), r.bestPossible);
    }
    EXPECT_EQ(BestPossibleTime({1000, 0, 3000}, {1100, 0, 0}, 1, 1500), std::nullopt);

    const std::vector<std::int32_t> comparison = {1200, 3100, 0};
    EXPECT_EQ(PossibleTimeSave(comparison, best, 0), 200);
    EXPECT_EQ(PossibleTimeSave(comparison, best, 1), 0);  // faster than the best: nothing
    EXPECT_EQ(PossibleTimeSave(comparison, best, 2), std::nullopt);
    EXPECT_EQ(PossibleTimeSave(comparison, best, 3), std::nullopt);  // finished
    EXPECT_EQ(TotalPossibleTimeSave(comparison, best), 200);
    EXPECT_EQ(TotalPossibleTimeSave({0, 0, 0}, best), std::nullopt);
}

}  // namespace
