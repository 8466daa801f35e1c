// The outside commands: the text protocol that emulators' auto-splitters, game mods, stream
// bots and small scripts speak to split timers, one command a line, some with a one-line reply.
// This unit reads one line into a command and carries it out on a ControlTarget; the server
// (ControlServer.h) moves the lines. Plain C++, no Qt; nothing here names or opens a file.
//
// The commands (names in any case; an argument follows one space and may hold spaces):
//   run commands, no reply:  startorsplit  split  unsplit|undosplit  skipsplit  pause  resume
//                            reset  starttimer|start
//   times, "-" for none:     getcurrenttime  getcurrentrealtime  getlastsplittime|
//                            getprevioussplittime  getcomparisonsplittime|getcurrentsplittime
//                            [COMPARISON]  getdelta [COMPARISON]  getfinaltime [COMPARISON]
//                            getbestpossibletime
//   numbers:                 getsplitindex (-1 before a run starts)  getattemptcount
//                            getcompletedcount ("-": the split file keeps no such count)
//   texts, "-" for none:     getcurrentsplitname  getprevioussplitname|getlastsplitname
//                            gettimerphase|getcurrenttimerphase (NotRunning, Running, Paused,
//                            Ended)  ping (pong)
// A time reads hours, minutes and seconds with seven decimals when it has a fraction:
//   6523 hundredths -> "00:01:05.2300000"   -300 -> "-00:00:03"   9000000 -> "1.01:00:00"
// A COMPARISON is the title of a stored run ("Personal Best") or "Best Splits" (also "Best
// Segments"); without one, the kept run the window races. A title that is not there gives "-".
//
// What Quorvel cannot honour changes nothing and answers as a client waits for: any other
// command beginning with "get" (game time, predicted times, paths...) answers "-"; the commands
// that answer whether they succeeded (savesplits, switchlayout FILE, globalhotkeysenabled...)
// answer "False" and do nothing; every other line (setgametime, setcomparison, switchto, a
// typo) is ignored without a reply.
//
// Each run command is the window's menu command (ControlTarget::RunMenuCommand), taken only in
// the phase the protocol gives it: split and pause while running, resume while paused, start
// before a run; startorsplit, unsplit, skipsplit and reset in any phase, their menu items
// deciding. A read-only window, or one with a dialog open, runs none of them, and they are not
// kept for later; since run commands never reply, nothing is sent either way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ControlTarget.h"

namespace control {

enum class TimerPhase { kNotRunning, kRunning, kPaused, kEnded };

// The phase of the engine's run: no split file or a reset run is NotRunning, a lead-in counts
// as Running, a run whose last split is made is Ended. A null engine is NotRunning. (A window
// whose finished run was kept in place of the kept run reads as Ended: ControlTarget.)
TimerPhase PhaseOf(const QuorvelClass* engine);

// "NotRunning", "Running", "Paused", "Ended".
const char* PhaseName(TimerPhase phase);

// Hundredths as the protocol writes a time (see above).
std::string ProtocolTime(std::int64_t hundredths);

// One known command: its name as sent, what it needs, and whether it answers.
struct CommandInfo {
    const char* Name;
    const char* Argument;  // "COMPARISON", or "" when it takes none
    bool Replies;
    const char* Help;  // one line, for quorvel-ctl --help
};

// Every command Quorvel honours, in the order of the list above (aliases included).
const std::vector<CommandInfo>& Commands();
// The command of that name (any case), or null.
const CommandInfo* FindCommand(std::string_view name);

struct Command {
    std::string Name;      // lower case: "getdelta"
    std::string Argument;  // "Personal Best"; "" when none
};

// Reads one line, its line end already taken off: "getdelta Personal Best" -> {"getdelta",
// "Personal Best"}. nullopt for an empty line or one that starts with a space.
std::optional<Command> ReadCommand(std::string_view line);

// Carries the command out on the target; the reply without its line end, or nullopt when the
// command answers nothing. ran, when given, is set to whether a menu command was run.
std::optional<std::string> Perform(const Command& command, ControlTarget& target,
                                   bool* ran = nullptr);

}  // namespace control
