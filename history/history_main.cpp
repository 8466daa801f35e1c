// quorvel-history: a route's attempts and the figures of each split, on the command line,
// for runners who keep spreadsheets and for scripts. Reads the split file and its history;
// writes nothing.
//
//   $ quorvel-history tunic.txt
//   tunic.txt: 3 attempts, 2 finished, time played 2:13.00 (real time)
//   Personal best 53.00   Sum of best 51.00
//
//   Attempt  Started (UTC)        Outcome         Time
//         1  2024-05-01 18:03:12  finished        1:00.00
//         2  2024-05-01 18:05:00  reset at B      12.00
//   ...
//   $ quorvel-history --csv tunic.txt > tunic.csv   (the two tables, a blank line between)
//   $ echo $?   -> 0 shown, 1 no route or no history (with a message), 2 bad usage
#include <cstdio>
#include <string>
#include <vector>

#include "HistoryDatabase.h"
#include "HistoryFile.h"
#include "HistoryStatistics.h"
#include "PathParts.h"
#include "QuorvelEngine.h"
#include "SplitFileCheck.h"

using namespace history;

namespace {

constexpr const char* kUsage =
    "usage: quorvel-history [--csv] ROUTE\n"
    "\n"
    "Prints the attempts kept in ROUTE's history (ROUTE.history.sqlite beside the split\n"
    "file) and, for each split, the best, average, median, worst and latest segment, the\n"
    "sum of best (of the history's segments and the split file's best segments), how many\n"
    "attempts reached the split and how many ended there. Times are on the clock of the\n"
    "latest attempt.\n"
    "\n"
    "  --csv   the two tables as CSV, attempts first, a blank line between them\n"
    "  --help  this text\n"
    "\n"
    "Exit status: 0 shown, 1 no route or no history, 2 bad usage.\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "quorvel-history: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

int Problem(const std::string& message) {
    std::fprintf(stderr, "quorvel-history: %s\n", message.c_str());
    return 1;
}

// The width a terminal gives text: one column per character, not per byte.
std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (const char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return columns;
}

std::string PadRight(const std::string& text, std::size_t width) {
    const std::size_t columns = Columns(text);
    return columns >= width ? text : text + std::string(width - columns, ' ');
}

std::string PadLeft(const std::string& text, std::size_t width) {
    const std::size_t columns = Columns(text);
    return columns >= width ? text : std::string(width - columns, ' ') + text;
}

std::string Time(std::optional<std::int32_t> time) {
    return time ? LongToTimeString(*time, /*ShowPlus=*/false, /*ShortForm=*/true) : "-";
}

void PrintTables(const std::string& routeName, const History& history, const Statistics& figures) {
    std::printf("%s: %zu attempt%s, %zu finished, time played %s (%s time)\n", routeName.c_str(),
                figures.AttemptsStarted, figures.AttemptsStarted == 1 ? "" : "s",
                figures.AttemptsFinished, DurationText(figures.TimePlayed).c_str(),
                figures.Clock == TimeClock::Game ? "game" : "real");
    std::printf("Personal best %s   Sum of best %s\n\n", Time(figures.PersonalBest).c_str(),
                Time(figures.SumOfBest).c_str());

    std::printf("Attempt  %-19s  %-30s  %s\n", "Started (UTC)", "Outcome", "Time");
    for (const AttemptPoint& point : figures.Attempts) {
        const Attempt& attempt = history.Attempts[point.Index];
        std::string outcome = EndingText(point.End);
        std::optional<std::int32_t> time = attempt.FinalTime;
        if (point.End == Ending::Finished) {
            time = point.FinalTime;
        } else if (point.EndedAtSplit < history.SplitNames.size()) {
            outcome += " at " + history.SplitNames[point.EndedAtSplit];
        }
        const std::string started = UtcText(attempt.StartedUtc);
        std::printf("%7d  %s  %s  %s\n", point.Number,
                    PadRight(started.empty() ? "-" : started, 19).c_str(),
                    PadRight(outcome, 30).c_str(), Time(time).c_str());
    }

    std::size_t nameWidth = 5;
    for (const SplitFigures& split : figures.Splits) {
        nameWidth = std::max(nameWidth, std::min<std::size_t>(Columns(split.Name), 40));
    }
    std::printf("\n%s  %10s  %10s  %10s  %10s  %10s  %11s  %7s  %10s\n",
                PadRight("Split", nameWidth).c_str(), "Best", "Average", "Median", "Worst",
                "Latest", "Sum of best", "Reached", "Ended here");
    for (const SplitFigures& split : figures.Splits) {
        std::printf("%s  %s  %s  %s  %s  %s  %s  %7zu  %10zu\n",
                    PadRight(split.Name, nameWidth).c_str(), PadLeft(Time(split.Best), 10).c_str(),
                    PadLeft(Time(split.Average), 10).c_str(),
                    PadLeft(Time(split.Median), 10).c_str(), PadLeft(Time(split.Worst), 10).c_str(),
                    PadLeft(Time(split.Latest), 10).c_str(),
                    PadLeft(split.SumOfBest != 0 ? Time(split.SumOfBest) : "-", 11).c_str(),
                    split.Reached, split.EndedHere);
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool csv = false;
    std::vector<std::string> routes;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!optionsEnded && argument == "--csv") {
            csv = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            return Usage("unknown option " + argument);
        } else {
            routes.push_back(argument);
        }
    }
    if (routes.size() != 1) {
        return Usage("give one split file");
    }
    const std::string& route = routes[0];
    const std::string routeName(NamePart(route, kPathSeparator));

    const SplitFileCheckResult check = CheckSplitFile(route);
    if (!check.IsOk() && !check.IsMendable()) {
        return Problem(routeName + ": " + check.Message);
    }
    QuorvelClass engine(std::string(FolderOf(route, kPathSeparator)));
    engine.LoadSplitData(route);
    if (engine.GetColumnCount() == 0) {
        return Problem(routeName + ": the split file could not be read.");
    }
    std::vector<std::string> names;
    std::vector<std::int32_t> bestSegments;
    for (unsigned int row = 0; row < engine.GetRowCount(); ++row) {
        names.push_back(engine.GetFullRowHeader(row));
        bestSegments.push_back(engine.GetDataCellElapsed(row, 0));
    }

    HistoryDatabase database;
    const OpenResult opened = database.Open(route, Access::ReadOnly, names);
    if (opened.What == OpenResult::Status::Refused) {
        return Problem(opened.Message);
    }
    if (opened.What == OpenResult::Status::NoHistoryYet) {
        return Problem(routeName + " has no history yet (" +
                       HistoryFileName(HistoryPathFor(route)) + ").");
    }
    History loaded;
    std::string problem;
    if (!database.Load(&loaded, &problem)) {
        return Problem(HistoryFileName(database.Path()) + " could not be read: " + problem + ".");
    }
    const Statistics figures = ComputeStatistics(loaded, LatestClock(loaded), bestSegments);
    if (csv) {
        std::fputs(AttemptsCsv(loaded, figures).c_str(), stdout);
        std::fputs("\r\n", stdout);
        std::fputs(SplitsCsv(figures).c_str(), stdout);
    } else {
        PrintTables(routeName, loaded, figures);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
