// The figures and comparisons worked out from a known history.
#include <gtest/gtest.h>

#include "HistoryBuilder.h"
#include "HistoryComparisons.h"
#include "HistoryStatistics.h"

using namespace history;

TEST(HistoryStatistics, ASmallKnownHistoryGivesTheseTables) {
    History history = MakeHistory(
        {"A", "B", "C"},
        {MakeAttempt(1, Ending::Finished, "10 20 30"), MakeAttempt(2, Ending::Reset, "12"),
         MakeAttempt(3, Ending::Finished, "12 - 41"), MakeAttempt(4, Ending::ProcessDied, "11 25"),
         MakeAttempt(-5, Ending::SegmentsOnly, ". 18")});
    history.Attempts[0].StartedUtc = 1714586400;  // 2024-05-01 18:00:00 UTC
    history.Attempts[0].EndedUtc = 1714586460;
    history.Attempts[0].PauseTime = 0;
    history.Attempts[1].FinalTime = 1500;  // the clock at the reset

    // A game-time attempt is no part of the real-time figures.
    history.Attempts.push_back(MakeAttempt(6, Ending::Finished, "1 1 1"));
    history.Attempts.back().Clock = TimeClock::Game;

    const Statistics figures = ComputeStatistics(history, TimeClock::Real);
    EXPECT_EQ(SplitsCsv(figures),
              "Split,Best,Average,Median,Worst,Latest,Sum of best,Reached,Ended here\r\n"
              "A,10.00,11.25,11.50,12.00,11.00,10.00,4,0\r\n"
              "B,18.00,21.00,20.00,25.00,25.00,28.00,4,1\r\n"
              "C,30.00,30.00,30.00,30.00,30.00,51.00,3,1\r\n");
    EXPECT_EQ(AttemptsCsv(history, figures),
              "Attempt,Started (UTC),Ended (UTC),Outcome,Ended at split,Time,Paused,"
              "Personal best\r\n"
              "1,2024-05-01 18:00:00,2024-05-01 18:01:00,finished,,1:00.00,0.00,1:00.00\r\n"
              "2,,,reset,B,15.00,,1:00.00\r\n"
              "3,,,finished,,53.00,,53.00\r\n"
              "4,,,process died,C,,,53.00\r\n");
    EXPECT_EQ(figures.SumOfBest, 5100);  // #3's B and C together after A's best
    EXPECT_EQ(figures.PersonalBest, 5300);
    EXPECT_EQ(figures.AttemptsStarted, 4u);
    EXPECT_EQ(figures.AttemptsFinished, 2u);
    // 60 + 15 + 53, and #4's last split at 36 with no time of its end.
    EXPECT_EQ(DurationText(figures.TimePlayed), "2:44.00");
}

TEST(HistoryStatistics, SumOfBestTakesASegmentAcrossSkippedSplitsAsOneWay) {
    struct Case {
        std::vector<Attempt> attempts;
        std::vector<std::int32_t> routeBest;
        RunningTimes sumOfBest;
    };
    const Case cases[] = {
        // Across B in 41 after A's 9 beats B's 20 and C's 30.
        {{MakeAttempt(1, Ending::Finished, "10 20 30"), MakeAttempt(2, Ending::Finished, "12 - 41"),
          MakeAttempt(3, Ending::Reset, "9")},
         {},
         {900, 2900, 5000}},
        // Slower across than through: the singles stand.
        {{MakeAttempt(1, Ending::Finished, "10 20 30"),
          MakeAttempt(2, Ending::Finished, "12 - 60")},
         {},
         {1000, 3000, 6000}},
        // The first split skipped: B's segment runs from the start.
        {{MakeAttempt(1, Ending::Finished, "10 20 30"),
          MakeAttempt(2, Ending::Finished, "- 25 10")},
         {},
         {1000, 2500, 3500}},
        // The split file's best segments count as single segments; no way to C yet.
        {{MakeAttempt(1, Ending::Reset, "10 20")}, {800, 0, 0}, {800, 2800, 0}},
        // A split inserted after the runs (no entry) is crossed by the next split's segment.
        {{MakeAttempt(1, Ending::Finished, "10 . 30"), MakeAttempt(2, Ending::Finished, "11 . 29")},
         {},
         {1000, 0, 3900}},
    };
    for (const Case& c : cases) {
        const History history = MakeHistory({"A", "B", "C"}, c.attempts);
        const RunningTimes sum = SumOfBestSegments(history, TimeClock::Real, c.routeBest);
        EXPECT_EQ(sum, c.sumOfBest) << "case " << (&c - cases);
        for (const Attempt& attempt : history.Attempts) {
            if (attempt.End == Ending::Finished) {
                EXPECT_LE(sum.back(), *attempt.FinalTime) << "case " << (&c - cases);
            }
        }
    }
}

TEST(HistoryComparisons, EachComparisonGivesRunningTimesPerSplit) {
    const History history =
        MakeHistory({"A", "B", "C"}, {MakeAttempt(1, Ending::Finished, "10 20 30"),
                                      MakeAttempt(2, Ending::Finished, "12 - 41"),
                                      MakeAttempt(3, Ending::Reset, "9")});
    EXPECT_EQ(BestSplitTimes(history, TimeClock::Real), (RunningTimes{900, 3000, 5300}));
    EXPECT_EQ(AverageSegments(history, TimeClock::Real), (RunningTimes{1033, 3033, 6033}));
    EXPECT_EQ(MedianSegments(history, TimeClock::Real), (RunningTimes{1000, 3000, 6000}));
    EXPECT_EQ(LatestRun(history, TimeClock::Real), (RunningTimes{900, 0, 0}));
    // Nothing timed B alone: the average crosses it with the segment that spans it.
    const History inserted = MakeHistory(
        {"A", "New", "C"},
        {MakeAttempt(1, Ending::Finished, "10 . 30"), MakeAttempt(2, Ending::Finished, "12 . 40")});
    EXPECT_EQ(AverageSegments(inserted, TimeClock::Real), (RunningTimes{1100, 0, 4600}));
}
