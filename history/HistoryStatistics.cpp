#include "HistoryStatistics.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>

#include "QuorvelEngine.h"
#include "SegmentTable.h"

namespace history {

namespace {

bool EndedEarly(Ending ending) {
    return ending == Ending::Reset || ending == Ending::ProcessDied ||
           ending == Ending::WindowClosed || ending == Ending::Dropped;
}

std::optional<std::int32_t> LastRunningTime(const Attempt& attempt) {
    for (auto entry = attempt.Splits.rbegin(); entry != attempt.Splits.rend(); ++entry) {
        if (entry->Kind == EntryKind::Timed && entry->HasRunning) {
            return entry->Running;
        }
    }
    return std::nullopt;
}

std::int64_t TimePlayedIn(const Attempt& attempt) {
    if (attempt.FinalTime) {
        return std::max<std::int64_t>(0, *attempt.FinalTime);
    }
    if (attempt.StartedUtc && attempt.EndedUtc && *attempt.EndedUtc >= *attempt.StartedUtc &&
        *attempt.EndedUtc - *attempt.StartedUtc < 366LL * 24 * 3600) {
        const std::int64_t whole = (*attempt.EndedUtc - *attempt.StartedUtc) * 100;
        return std::max<std::int64_t>(0, whole - attempt.PauseTime.value_or(0));
    }
    return std::max<std::int64_t>(0, LastRunningTime(attempt).value_or(0));
}

std::string Time(std::optional<std::int32_t> time) {
    return time ? LongToTimeString(*time, /*ShowPlus=*/false, /*ShortForm=*/true) : "";
}

// A name as a CSV cell: never read as a formula by a spreadsheet. Our own times are left
// alone ("-0.50" is a time).
std::string SafeName(const std::string& name) {
    if (name.empty()) {
        return name;
    }
    const char first = name[0];
    const auto second = static_cast<unsigned char>(name.size() > 1 ? name[1] : '\0');
    const bool wordAfterDash = std::isalpha(second) || second >= 0x80 || second == ' ';
    if (first == '=' || first == '+' || first == '@' || first == '\t' || first == '\r' ||
        (first == '-' && !wordAfterDash)) {
        return "'" + name;
    }
    return name;
}

// A field as CSV holds it, quoted when it must be.
std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    return line + "\r\n";
}

}  // namespace

TimeClock LatestClock(const History& history) {
    for (auto attempt = history.Attempts.rbegin(); attempt != history.Attempts.rend(); ++attempt) {
        if (IsListed(*attempt)) {
            return attempt->Clock;
        }
    }
    return TimeClock::Real;
}

Statistics ComputeStatistics(const History& history, TimeClock clock,
                             const std::vector<std::int32_t>& routeBestSegments) {
    const std::size_t splitCount = history.SplitNames.size();
    Statistics figures;
    figures.Clock = clock;
    figures.Splits.resize(splitCount);
    for (std::size_t k = 0; k < splitCount; ++k) {
        figures.Splits[k].Name = history.SplitNames[k];
    }
    // Reached and ended are counted where attempts end, then summed from the last split up.
    std::vector<std::size_t> endedAt(splitCount + 1, 0);
    std::optional<std::int32_t> best;
    for (std::size_t i = 0; i < history.Attempts.size(); ++i) {
        const Attempt& attempt = history.Attempts[i];
        if (attempt.Clock != clock || !IsListed(attempt)) {
            continue;
        }
        AttemptPoint point;
        point.Index = i;
        point.Number = attempt.Number;
        point.StartedUtc = attempt.StartedUtc;
        point.End = attempt.End;
        point.LastTime = LastRunningTime(attempt);
        ++figures.AttemptsStarted;
        figures.TimePlayed += TimePlayedIn(attempt);
        if (attempt.End == Ending::Finished) {
            ++figures.AttemptsFinished;
            point.FinalTime = attempt.FinalTime ? attempt.FinalTime : point.LastTime;
            if (point.FinalTime && (!best || *point.FinalTime < *best)) {
                best = point.FinalTime;
            }
            endedAt[splitCount] += 1;
        } else {
            point.EndedAtSplit = std::min(EndedAtSplit(attempt), splitCount);
            if (EndedEarly(attempt.End) && point.EndedAtSplit < splitCount) {
                figures.Splits[point.EndedAtSplit].EndedHere += 1;
            }
            // An attempt still running, or one whose end is past the last split, has got
            // at least as far as its entries go.
            endedAt[point.EndedAtSplit] += 1;
        }
        point.PersonalBest = best;
        figures.Attempts.push_back(point);
    }
    figures.PersonalBest = best;
    // An attempt that ended while timing split r got to every split up to r.
    std::size_t reached = endedAt[splitCount];
    for (std::size_t k = splitCount; k-- > 0;) {
        reached += endedAt[k];
        figures.Splits[k].Reached = reached;
    }

    SegmentTable table = CollectSegments(history, clock);
    const RunningTimes sumOfBest = SumOfBestSegments(table, routeBestSegments);
    for (std::size_t k = 0; k < splitCount; ++k) {
        SplitFigures& split = figures.Splits[k];
        std::vector<std::int32_t>& single = table.Single[k];
        split.SumOfBest = sumOfBest[k];
        split.Latest = table.Latest[k];
        if (single.empty()) {
            continue;
        }
        const auto [low, high] = std::minmax_element(single.begin(), single.end());
        split.Best = *low;
        split.Worst = *high;
        split.Average = Mean(single);
        split.Median = Median(std::move(single));
    }
    if (splitCount > 0 && sumOfBest.back() != 0) {
        figures.SumOfBest = sumOfBest.back();
    }
    return figures;
}

std::string EndingText(Ending ending) {
    switch (ending) {
        case Ending::InProgress:
            return "in progress";
        case Ending::Finished:
            return "finished";
        case Ending::Reset:
            return "reset";
        case Ending::ProcessDied:
            return "process died";
        case Ending::WindowClosed:
            return "window closed";
        case Ending::Dropped:
            return "dropped";
        case Ending::SegmentsOnly:
            return "segment times only";
    }
    return "";
}

std::string UtcText(std::optional<std::int64_t> secondsSince1970) {
    // Years 0 to 9999 only: anything else is a damaged value, and gmtime's year would not fit.
    constexpr std::int64_t kLatest = 253402300799;  // 9999-12-31 23:59:59
    if (!secondsSince1970 || *secondsSince1970 < -62167219200 || *secondsSince1970 > kLatest) {
        return "";
    }
    const auto seconds = static_cast<std::time_t>(*secondsSince1970);
    std::tm parts{};
    if (::gmtime_r(&seconds, &parts) == nullptr) {
        return "";
    }
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

std::string DurationText(std::int64_t hundredths) {
    const bool negative = hundredths < 0;
    const std::uint64_t value = negative ? 0 - static_cast<std::uint64_t>(hundredths)
                                         : static_cast<std::uint64_t>(hundredths);
    const std::uint64_t seconds = value / 100;
    char text[64];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu.%02llu", negative ? "-" : "",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60),
                      static_cast<unsigned long long>(value % 100));
    } else if (seconds >= 60) {
        std::snprintf(text, sizeof text, "%s%llu:%02llu.%02llu", negative ? "-" : "",
                      static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60),
                      static_cast<unsigned long long>(value % 100));
    } else {
        std::snprintf(text, sizeof text, "%s%llu.%02llu", negative ? "-" : "",
                      static_cast<unsigned long long>(seconds),
                      static_cast<unsigned long long>(value % 100));
    }
    return text;
}

std::string AttemptsCsv(const History& history, const Statistics& statistics) {
    std::string csv = CsvLine({"Attempt", "Started (UTC)", "Ended (UTC)", "Outcome",
                               "Ended at split", "Time", "Paused", "Personal best"});
    for (const AttemptPoint& point : statistics.Attempts) {
        const Attempt& attempt = history.Attempts[point.Index];
        const bool finished = point.End == Ending::Finished;
        std::string endedAt;
        if (!finished && point.EndedAtSplit < history.SplitNames.size()) {
            endedAt = history.SplitNames[point.EndedAtSplit];
        }
        csv += CsvLine({std::to_string(point.Number), UtcText(attempt.StartedUtc),
                        UtcText(attempt.EndedUtc), EndingText(point.End), SafeName(endedAt),
                        Time(finished ? point.FinalTime : attempt.FinalTime),
                        Time(attempt.PauseTime), Time(point.PersonalBest)});
    }
    return csv;
}

std::string SplitsCsv(const Statistics& statistics) {
    std::string csv = CsvLine({"Split", "Best", "Average", "Median", "Worst", "Latest",
                               "Sum of best", "Reached", "Ended here"});
    for (const SplitFigures& split : statistics.Splits) {
        csv += CsvLine({SafeName(split.Name), Time(split.Best), Time(split.Average),
                        Time(split.Median), Time(split.Worst), Time(split.Latest),
                        split.SumOfBest != 0 ? Time(split.SumOfBest) : "",
                        std::to_string(split.Reached), std::to_string(split.EndedHere)});
    }
    return csv;
}

}  // namespace history
