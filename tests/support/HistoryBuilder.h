// Histories written as text, for the history tests and benchmarks.
//   MakeAttempt(12, Ending::Finished, "10 - 41")
//     -> attempt #12: A Timed segment 10.00 running 10.00, B Skipped, C Timed segment 41.00
//        running 51.00; finished, final time 51.00
//   MakeAttempt(-1, Ending::SegmentsOnly, ". 50")  -> B Timed segment 50.00, no running time
// Each word is a segment as time text, "-" a skipped split, "." a split with no entry.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "HistoryTypes.h"
#include "QuorvelEngine.h"

inline history::Attempt MakeAttempt(std::int32_t number, history::Ending end,
                                    const std::string& segments) {
    history::Attempt attempt;
    attempt.Number = number;
    attempt.End = end;
    std::istringstream words(segments);
    std::string word;
    std::int32_t running = 0;
    while (words >> word) {
        history::SplitEntry entry;
        if (word == "-") {
            entry.Kind = history::EntryKind::Skipped;
        } else if (word != ".") {
            entry.Kind = history::EntryKind::Timed;
            entry.Segment = TimeStringToLong(word);
            running += entry.Segment;
            entry.HasRunning = end != history::Ending::SegmentsOnly;
            entry.Running = entry.HasRunning ? running : 0;
        }
        attempt.Splits.push_back(entry);
    }
    if (end == history::Ending::Finished) {
        attempt.FinalTime = running;
    }
    return attempt;
}

inline history::History MakeHistory(std::vector<std::string> names,
                                    std::vector<history::Attempt> attempts) {
    return history::History{std::move(names), std::move(attempts)};
}
