#include "ControlProtocol.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "QuorvelEngine.h"

namespace control {

namespace {

enum class Verb {
    kStartOrSplit,
    kSplit,
    kUnsplit,
    kSkipSplit,
    kPause,
    kResume,
    kReset,
    kStartTimer,
    kCurrentTime,
    kLastSplitTime,
    kComparisonSplitTime,
    kDelta,
    kFinalTime,
    kBestPossibleTime,
    kSplitIndex,
    kAttemptCount,
    kCompletedCount,
    kCurrentSplitName,
    kPreviousSplitName,
    kTimerPhase,
    kPing,
};

struct Entry {
    CommandInfo Info;
    Verb What;
};

constexpr const char* kComparison = "COMPARISON";

const std::array kEntries = {
    Entry{{"startorsplit", "", false, "start a run, or split (resumes a paused run)"},
          Verb::kStartOrSplit},
    Entry{{"split", "", false, "split a running run"}, Verb::kSplit},
    Entry{{"unsplit", "", false, "undo the last split"}, Verb::kUnsplit},
    Entry{{"undosplit", "", false, "the same as unsplit"}, Verb::kUnsplit},
    Entry{{"skipsplit", "", false, "skip the split being timed"}, Verb::kSkipSplit},
    Entry{{"pause", "", false, "pause a running run"}, Verb::kPause},
    Entry{{"resume", "", false, "resume a paused run"}, Verb::kResume},
    Entry{{"reset", "", false, "reset the run (the window may ask first)"}, Verb::kReset},
    Entry{{"starttimer", "", false, "start a run that is not running"}, Verb::kStartTimer},
    Entry{{"start", "", false, "the same as starttimer"}, Verb::kStartTimer},
    Entry{{"getcurrenttime", "", true, "the running time"}, Verb::kCurrentTime},
    Entry{{"getcurrentrealtime", "", true, "the same as getcurrenttime"}, Verb::kCurrentTime},
    Entry{{"getlastsplittime", "", true, "the running time at the last split made"},
          Verb::kLastSplitTime},
    Entry{{"getprevioussplittime", "", true, "the same as getlastsplittime"}, Verb::kLastSplitTime},
    Entry{{"getcomparisonsplittime", kComparison, true,
           "the stored run's time at the split being timed"},
          Verb::kComparisonSplitTime},
    Entry{{"getcurrentsplittime", kComparison, true, "the same as getcomparisonsplittime"},
          Verb::kComparisonSplitTime},
    Entry{{"getdelta", kComparison, true, "the difference at the last split against a stored run"},
          Verb::kDelta},
    Entry{{"getfinaltime", kComparison, true, "the final time of the run or of a stored run"},
          Verb::kFinalTime},
    Entry{{"getbestpossibletime", "", true, "the best final time still possible"},
          Verb::kBestPossibleTime},
    Entry{{"getsplitindex", "", true, "the split being timed, from 0; -1 before a run"},
          Verb::kSplitIndex},
    Entry{{"getattemptcount", "", true, "the attempts in the split file"}, Verb::kAttemptCount},
    Entry{{"getcompletedcount", "", true, "\"-\": the split file keeps no such count"},
          Verb::kCompletedCount},
    Entry{{"getcurrentsplitname", "", true, "the name of the split being timed"},
          Verb::kCurrentSplitName},
    Entry{{"getprevioussplitname", "", true, "the name of the last split made"},
          Verb::kPreviousSplitName},
    Entry{{"getlastsplitname", "", true, "the same as getprevioussplitname"},
          Verb::kPreviousSplitName},
    Entry{{"gettimerphase", "", true, "NotRunning, Running, Paused or Ended"}, Verb::kTimerPhase},
    Entry{{"getcurrenttimerphase", "", true, "the same as gettimerphase"}, Verb::kTimerPhase},
    Entry{{"ping", "", true, "pong"}, Verb::kPing},
};

// Commands of the protocol that answer whether they succeeded; Quorvel does none of them.
constexpr std::array<std::string_view, 8> kAnswersFalse = {
    "globalhotkeysenabled", "savelayout",   "savesplits",   "savelayoutas",
    "savesplitsas",         "switchlayout", "switchsplits", "savesplitsscreenshot",
};

const Entry* FindEntry(std::string_view name) {
    const auto* found = std::find_if(kEntries.begin(), kEntries.end(),
                                     [name](const Entry& e) { return e.Info.Name == name; });
    return found == kEntries.end() ? nullptr : found;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return lower;
}

// A grid time: 0 is a missing time.
std::string GridTime(std::int64_t hundredths) {
    return hundredths == 0 ? "-" : ProtocolTime(hundredths);
}

std::string NameOr(const std::string& name) {
    return name.empty() ? "-" : name;
}

// The queries, on an engine with a split file (ColumnCount >= 2).
class Reading {
  public:
    // kept: a finished run kept in place of the kept run, whose times are now that column's.
    Reading(const QuorvelClass& engine, TimerPhase phase, bool kept)
        : e_(engine),
          phase_(phase),
          rows_(engine.GetRowCount()),
          current_(engine.GetColumnCount() - 1),
          run_(kept ? current_ - 1 : current_),
          next_(kept ? rows_ : engine.GetNextSplitNumber()) {}

    // The column of a stored run by its title; the kept run for ""; -1 when there is none.
    int Comparison(const std::string& title) const {
        if (title.empty()) {
            return static_cast<int>(current_) - 1;
        }
        for (unsigned c = 0; c < current_; ++c) {
            if (e_.GetFullColumnHeader(c) == title) {
                return static_cast<int>(c);
            }
        }
        return title == "Best Splits" || title == "Best Segments" ? 0 : -1;
    }

    bool InRun() const { return phase_ == TimerPhase::kRunning || phase_ == TimerPhase::kPaused; }
    bool Started() const { return phase_ != TimerPhase::kNotRunning; }

    std::string LastSplitTime() const {
        return Started() && next_ > 0 ? GridTime(Timer(next_ - 1, run_)) : "-";
    }
    std::string ComparisonSplitTime(const std::string& title) const {
        const int column = Comparison(title);
        return InRun() && column >= 0 ? GridTime(Timer(next_, column)) : "-";
    }
    // The difference at the last split where both the run and the comparison have a time; none
    // against the run itself (a kept run is the kept run now).
    std::string Delta(const std::string& title) const {
        const int column = Comparison(title);
        if (!Started() || column < 0 || static_cast<unsigned>(column) == run_) {
            return "-";
        }
        for (unsigned r = std::min(next_, rows_); r-- > 0;) {
            const std::int64_t mine = Timer(r, run_), theirs = Timer(r, column);
            if (mine != 0 && theirs != 0) {
                return ProtocolTime(mine - theirs);
            }
        }
        return "-";
    }
    std::string FinalTime(const std::string& title) const {
        if (title.empty() && phase_ == TimerPhase::kEnded) {
            return ProtocolTime(e_.GetCurrentTime());
        }
        const int column = Comparison(title);
        return column >= 0 && rows_ > 0 ? GridTime(Timer(rows_ - 1, column)) : "-";
    }
    // The time reached so far (at the last split with a time, or live within the split being
    // timed) plus the best segments of the splits still to come; "-" while one is missing.
    std::string BestPossibleTime() const {
        if (phase_ == TimerPhase::kEnded) {
            return ProtocolTime(e_.GetCurrentTime());
        }
        unsigned from = 0;
        std::int64_t reached = 0;
        for (unsigned r = Started() ? std::min(next_, rows_) : 0; r-- > 0;) {
            if (Timer(r, run_) != 0) {
                reached = Timer(r, run_);
                from = r + 1;
                break;
            }
        }
        std::int64_t total = reached, afterThis = 0;
        for (unsigned r = from; r < rows_; ++r) {
            const std::int32_t best = e_.GetDataCellElapsed(r, 0);
            if (best <= 0) {
                return "-";
            }
            total += best;
            afterThis += InRun() && r > next_ ? best : 0;
        }
        if (rows_ == 0) {
            return "-";
        }
        return ProtocolTime(InRun() ? std::max(total, e_.GetCurrentTime() + afterThis) : total);
    }
    std::string CurrentSplitName() const {
        return InRun() ? NameOr(e_.GetFullRowHeader(next_)) : "-";
    }
    std::string PreviousSplitName() const {
        return Started() && next_ > 0 ? NameOr(e_.GetFullRowHeader(next_ - 1)) : "-";
    }

  private:
    std::int64_t Timer(unsigned row, int column) const {
        return e_.GetDataCellTimer(row, static_cast<unsigned>(column));
    }

    const QuorvelClass& e_;
    TimerPhase phase_;
    unsigned rows_, current_, run_, next_;
};

// The window's phase: the engine's, and Ended for a finished run kept in place of the kept run.
TimerPhase WindowPhase(const ControlTarget& target) {
    const QuorvelClass* engine = target.Engine();
    return engine != nullptr && engine->GetColumnCount() >= 2 && target.FinishedRunKept()
               ? TimerPhase::kEnded
               : PhaseOf(engine);
}

std::string Query(Verb verb, const std::string& argument, const ControlTarget& target) {
    const QuorvelClass* engine = target.Engine();
    const TimerPhase phase = WindowPhase(target);
    const bool kept = phase == TimerPhase::kEnded && target.FinishedRunKept();
    switch (verb) {
        case Verb::kTimerPhase:
            return PhaseName(phase);
        case Verb::kPing:
            return "pong";
        case Verb::kCompletedCount:
            return "-";
        case Verb::kCurrentTime:
            return engine != nullptr ? ProtocolTime(engine->GetCurrentTime()) : "-";
        case Verb::kAttemptCount:
            return engine != nullptr ? std::to_string(engine->GetTotalAttemptCount()) : "-";
        case Verb::kSplitIndex:
            if (phase == TimerPhase::kNotRunning) {
                return "-1";
            }
            return std::to_string(kept ? engine->GetRowCount() : engine->GetNextSplitNumber());
        default:
            break;
    }
    if (engine == nullptr || engine->GetColumnCount() < 2) {
        return "-";
    }
    const Reading reading(*engine, phase, kept);
    switch (verb) {
        case Verb::kLastSplitTime:
            return reading.LastSplitTime();
        case Verb::kComparisonSplitTime:
            return reading.ComparisonSplitTime(argument);
        case Verb::kDelta:
            return reading.Delta(argument);
        case Verb::kFinalTime:
            return reading.FinalTime(argument);
        case Verb::kBestPossibleTime:
            return reading.BestPossibleTime();
        case Verb::kCurrentSplitName:
            return reading.CurrentSplitName();
        case Verb::kPreviousSplitName:
            return reading.PreviousSplitName();
        default:
            return "-";
    }
}

// The menu command a run command stands for in this phase, or nullopt when it does nothing.
std::optional<MenuCommand> MenuCommandFor(Verb verb, TimerPhase phase) {
    switch (verb) {
        case Verb::kStartOrSplit:
            return MenuCommand::kStartSplit;
        case Verb::kSplit:
            return phase == TimerPhase::kRunning ? std::optional(MenuCommand::kStartSplit)
                                                 : std::nullopt;
        case Verb::kStartTimer:
            return phase == TimerPhase::kNotRunning ? std::optional(MenuCommand::kStartSplit)
                                                    : std::nullopt;
        case Verb::kUnsplit:
            return MenuCommand::kUndoSplit;
        case Verb::kSkipSplit:
            return MenuCommand::kSkipSplit;
        case Verb::kPause:
            return phase == TimerPhase::kRunning ? std::optional(MenuCommand::kPauseResume)
                                                 : std::nullopt;
        case Verb::kResume:
            return phase == TimerPhase::kPaused ? std::optional(MenuCommand::kPauseResume)
                                                : std::nullopt;
        case Verb::kReset:
            return MenuCommand::kReset;
        default:
            return std::nullopt;
    }
}

}  // namespace

TimerPhase PhaseOf(const QuorvelClass* engine) {
    if (engine == nullptr || engine->GetColumnCount() == 0) {
        return TimerPhase::kNotRunning;
    }
    const unsigned rows = engine->GetRowCount();
    const unsigned next = engine->GetNextSplitNumber();
    if (rows > 0 && next >= rows) {
        return TimerPhase::kEnded;
    }
    if (engine->IsTimerRunning()) {
        return TimerPhase::kRunning;
    }
    return engine->GetCurrentTime() == 0 && next == 0 ? TimerPhase::kNotRunning
                                                      : TimerPhase::kPaused;
}

const char* PhaseName(TimerPhase phase) {
    switch (phase) {
        case TimerPhase::kRunning:
            return "Running";
        case TimerPhase::kPaused:
            return "Paused";
        case TimerPhase::kEnded:
            return "Ended";
        case TimerPhase::kNotRunning:
            break;
    }
    return "NotRunning";
}

std::string ProtocolTime(std::int64_t hundredths) {
    const bool negative = hundredths < 0;
    const std::int64_t total = negative ? -hundredths : hundredths;
    const std::int64_t seconds = total / 100, fraction = total % 100;
    const std::int64_t days = seconds / 86400;
    char text[64];
    int length = std::snprintf(text, sizeof text, "%s", negative ? "-" : "");
    if (days > 0) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                "%lld.", static_cast<long long>(days));
    }
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                            "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600 % 24),
                            static_cast<long long>(seconds / 60 % 60),
                            static_cast<long long>(seconds % 60));
    if (fraction != 0) {
        std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".%02lld00000",
                      static_cast<long long>(fraction));
    }
    return text;
}

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> commands = [] {
        std::vector<CommandInfo> list;
        for (const Entry& entry : kEntries) {
            list.push_back(entry.Info);
        }
        return list;
    }();
    return commands;
}

const CommandInfo* FindCommand(std::string_view name) {
    const Entry* entry = FindEntry(Lower(name));
    return entry != nullptr ? &entry->Info : nullptr;
}

std::optional<Command> ReadCommand(std::string_view line) {
    if (line.empty() || line.front() == ' ') {
        return std::nullopt;
    }
    const std::size_t space = line.find(' ');
    Command command;
    command.Name = Lower(line.substr(0, space));
    if (space != std::string_view::npos) {
        command.Argument = std::string(line.substr(space + 1));
    }
    return command;
}

std::optional<std::string> Perform(const Command& command, ControlTarget& target, bool* ran) {
    if (ran != nullptr) {
        *ran = false;
    }
    const Entry* entry = FindEntry(command.Name);
    if (entry == nullptr) {
        if (command.Name.starts_with("get")) {
            return "-";
        }
        if (std::find(kAnswersFalse.begin(), kAnswersFalse.end(), command.Name) !=
            kAnswersFalse.end()) {
            return "False";
        }
        return std::nullopt;
    }
    if (entry->Info.Replies) {
        return Query(entry->What, command.Argument, target);
    }
    if (target.ReadOnly() || target.RunCommandsPaused()) {
        return std::nullopt;
    }
    if (const auto menu = MenuCommandFor(entry->What, WindowPhase(target))) {
        target.RunMenuCommand(*menu);
        if (ran != nullptr) {
            *ran = true;
        }
    }
    return std::nullopt;
}

}  // namespace control
