// The figures of a loaded history, for the statistics window and quorvel-history: the
// attempts over time with the personal best as a line that steps down, a table per split,
// the sum of best, the time played and the counts, and the tables as CSV. Only the attempts
// on the given clock count. Standard library and the engine's time text.
//
// Route A B C, attempts in order (segments in seconds, "-" skipped):
//   #1 finished 60     A 10  B 20  C 30
//   #2 reset           A 12                (ended while timing B)
//   #3 finished 53     A 12  B  -  C 41
//   ComputeStatistics ->
//     Attempts: {#1 finished 1:00.00 PB 1:00.00}, {#2 reset at B, PB 1:00.00},
//               {#3 finished 53.00 PB 53.00}
//     Splits:   A  best 10.00 average 11.33 median 12.00 worst 12.00 latest 12.00
//                  reached 3 ended here 0
//               B  best 20.00 ... latest 20.00 reached 3 ended here 1
//               C  best 30.00 ... reached 2 ended here 0
//     SumOfBest 10, 30, 51 (#3's B and C together, 41, after A's 10)
//     AttemptsStarted 3, AttemptsFinished 2, PersonalBest 53.00
//
// Per split: best, average, median, worst and latest are of the segments that cover that
// split alone (a segment across a skipped split belongs to none of them). Reached counts the
// attempts that got to the split (every attempt gets to the first), Ended here those that
// ended while it was being timed (reset, the process died, the window closed, dropped).
// Time played adds each attempt's time on the clock at its end, or, when the file does not
// hold it, its start to its end less its pauses, or else its last split's time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "HistoryComparisons.h"
#include "HistoryTypes.h"

namespace history {

struct AttemptPoint {
    std::size_t Index = 0;  // in History::Attempts
    std::int32_t Number = 0;
    std::optional<std::int64_t> StartedUtc;
    Ending End = Ending::InProgress;
    std::optional<std::int32_t> FinalTime;     // finished attempts only
    std::size_t EndedAtSplit = 0;              // the others: the split being timed at the end
    std::optional<std::int32_t> LastTime;      // the running time of its last split with one
    std::optional<std::int32_t> PersonalBest;  // the best final time up to this attempt
};

struct SplitFigures {
    std::string Name;
    std::optional<std::int32_t> Best, Average, Median, Worst, Latest;
    std::int32_t SumOfBest = 0;  // the sum of best's running time here, 0 for none
    std::size_t Reached = 0;
    std::size_t EndedHere = 0;
};

struct Statistics {
    TimeClock Clock = TimeClock::Real;
    std::vector<AttemptPoint> Attempts;
    std::vector<SplitFigures> Splits;
    std::optional<std::int32_t> SumOfBest;  // the last split's; none while it has no way
    std::optional<std::int32_t> PersonalBest;
    std::int64_t TimePlayed = 0;  // hundredths; more than a 32-bit time holds
    std::size_t AttemptsStarted = 0;
    std::size_t AttemptsFinished = 0;
};

Statistics ComputeStatistics(const History& history, TimeClock clock,
                             const std::vector<std::int32_t>& routeBestSegments = {});

// The clock of the most recent attempt of the list (Real for none): the one to show.
TimeClock LatestClock(const History& history);

// ---- Text ----

// "finished", "reset", "process died", "window closed", "dropped", "in progress".
std::string EndingText(Ending ending);
// "2024-05-01 18:03:12"; "" for none or a time outside what a calendar date can say.
std::string UtcText(std::optional<std::int64_t> secondsSince1970);
// A duration of any length: 123456 -> "20:34.56", 3600000 * 100 -> "1000:00:00.00".
std::string DurationText(std::int64_t hundredths);

// The tables as CSV (RFC 4180, "," between fields, CR LF line ends, a header line). A cell
// that a spreadsheet would take for a formula ("=1+2", "+A1", "@SUM", "-1+2") gets a
// leading apostrophe; split names such as "-Forest" (the subsplit naming) stay as they are.
//   Attempt,Started (UTC),Ended (UTC),Outcome,Ended at split,Time,Paused,Personal best
//   1,2024-05-01 18:03:12,2024-05-01 18:04:12,finished,,1:00.00,0.00,1:00.00
//   Split,Best,Average,Median,Worst,Latest,Sum of best,Reached,Ended here
//   A,10.00,11.33,12.00,12.00,12.00,10.00,3,0
std::string AttemptsCsv(const History& history, const Statistics& statistics);
std::string SplitsCsv(const Statistics& statistics);

}  // namespace history
