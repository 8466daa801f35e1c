// The outside commands as a table: a run in a given state, one line, and what it did to the
// window (the menu command run, if any) and answered. Then the time text and the line reader.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ControlProtocol.h"
#include "FakeWindow.h"
#include "LineReader.h"

namespace {

using control::MenuCommand;

enum class State {
    kNoRoute,
    kReset,
    kLeadIn,      // started with a start offset of -3.00
    kRunning,     // split 1 at 11.00 (PB 10.00), now 17.00 in split 2
    kAfterSkip,   // split 1 at 11.00, split 2 skipped, now 50.00 in split 3
    kPaused,      // kRunning, paused
    kEnded,       // split at 11.00, 24.00, 46.00 (PB 45.00)
    kKept,        // split at 10.00, 24.00, 44.00 and kept as the new personal best
    kReadOnly,    // kRunning in a read-only window
    kDialogOpen,  // kRunning with a dialog open in the window
};

void Prepare(FakeWindow& window, State state) {
    switch (state) {
        case State::kNoRoute:
            window.engine.ClearSplitData();
            return;
        case State::kReset:
            return;
        case State::kLeadIn:
            window.engine.StartOffset = -300;
            window.Play({});
            return;
        case State::kAfterSkip:
            window.Play({1100, 0}, 5000);
            return;
        case State::kEnded:
            window.Play({1100, 2400, 4600});
            return;
        case State::kKept:
            window.Play({1000, 2400, 4400});
            window.engine.KeepCurrentSplits();
            window.kept = true;
            return;
        case State::kRunning:
        case State::kPaused:
        case State::kReadOnly:
        case State::kDialogOpen:
            window.Play({1100}, 1700);
            window.readOnly = state == State::kReadOnly;
            window.dialogOpen = state == State::kDialogOpen;
            if (state == State::kPaused) {
                window.engine.StopTimer();
            }
            return;
    }
}

struct Case {
    State state;
    const char* line;
    std::optional<MenuCommand> ran;  // the menu command the window was asked to run
    const char* reply;               // nullptr: no reply at all
};

const Case kCases[] = {
    // Run commands: the menu command, in the phases the protocol takes them in.
    {State::kReset, "startorsplit", MenuCommand::kStartSplit, nullptr},
    {State::kReset, "starttimer", MenuCommand::kStartSplit, nullptr},
    {State::kReset, "start", MenuCommand::kStartSplit, nullptr},
    {State::kReset, "split", std::nullopt, nullptr},
    {State::kReset, "pause", std::nullopt, nullptr},
    {State::kRunning, "StartOrSplit", MenuCommand::kStartSplit, nullptr},
    {State::kRunning, "split", MenuCommand::kStartSplit, nullptr},
    {State::kRunning, "starttimer", std::nullopt, nullptr},
    {State::kRunning, "pause", MenuCommand::kPauseResume, nullptr},
    {State::kRunning, "resume", std::nullopt, nullptr},
    {State::kRunning, "unsplit", MenuCommand::kUndoSplit, nullptr},
    {State::kRunning, "undosplit", MenuCommand::kUndoSplit, nullptr},
    {State::kRunning, "skipsplit", MenuCommand::kSkipSplit, nullptr},
    {State::kRunning, "reset", MenuCommand::kReset, nullptr},
    {State::kLeadIn, "split", MenuCommand::kStartSplit, nullptr},  // the menu item refuses it
    {State::kPaused, "resume", MenuCommand::kPauseResume, nullptr},
    {State::kPaused, "pause", std::nullopt, nullptr},
    {State::kPaused, "split", std::nullopt, nullptr},
    {State::kPaused, "startorsplit", MenuCommand::kStartSplit, nullptr},  // resumes, as the menu
    {State::kEnded, "reset", MenuCommand::kReset, nullptr},
    {State::kEnded, "pause", std::nullopt, nullptr},
    // A run kept as the new personal best is over: Start / Split begins a new attempt.
    {State::kKept, "startorsplit", MenuCommand::kStartSplit, nullptr},
    {State::kKept, "starttimer", std::nullopt, nullptr},
    {State::kKept, "resume", std::nullopt, nullptr},
    {State::kNoRoute, "startorsplit", MenuCommand::kStartSplit, nullptr},  // the menu refuses
    // A read-only window and a window with a dialog open run nothing, and say nothing.
    {State::kReadOnly, "startorsplit", std::nullopt, nullptr},
    {State::kReadOnly, "reset", std::nullopt, nullptr},
    {State::kDialogOpen, "split", std::nullopt, nullptr},
    {State::kDialogOpen, "reset", std::nullopt, nullptr},
    {State::kReadOnly, "getcurrenttime", std::nullopt, "00:00:17"},
    {State::kDialogOpen, "gettimerphase", std::nullopt, "Running"},
    // Queries while running.
    {State::kRunning, "gettimerphase", std::nullopt, "Running"},
    {State::kRunning, "getcurrenttimerphase", std::nullopt, "Running"},
    {State::kRunning, "getcurrenttime", std::nullopt, "00:00:17"},
    {State::kRunning, "GETCURRENTREALTIME", std::nullopt, "00:00:17"},
    {State::kRunning, "getsplitindex", std::nullopt, "1"},
    {State::kRunning, "getcurrentsplitname", std::nullopt, "Split 2"},
    {State::kRunning, "getprevioussplitname", std::nullopt, "Split 1"},
    {State::kRunning, "getlastsplitname", std::nullopt, "Split 1"},
    {State::kRunning, "getlastsplittime", std::nullopt, "00:00:11"},
    {State::kRunning, "getprevioussplittime", std::nullopt, "00:00:11"},
    {State::kRunning, "getcomparisonsplittime", std::nullopt, "00:00:25"},
    {State::kRunning, "getcurrentsplittime Best Splits", std::nullopt, "00:00:23"},
    {State::kRunning, "getcomparisonsplittime Personal Best", std::nullopt, "00:00:25"},
    {State::kRunning, "getcomparisonsplittime World Record", std::nullopt, "-"},
    {State::kRunning, "getdelta", std::nullopt, "00:00:01"},
    {State::kRunning, "getdelta Best Segments", std::nullopt, "00:00:02"},
    {State::kRunning, "getdelta World Record", std::nullopt, "-"},
    {State::kRunning, "getfinaltime", std::nullopt, "00:00:45"},
    {State::kRunning, "getbestpossibletime", std::nullopt, "00:00:44"},  // 11.00 + 14 + 19
    {State::kPaused, "getbestpossibletime", std::nullopt, "00:00:44"},
    {State::kRunning, "getattemptcount", std::nullopt, "1"},
    {State::kRunning, "getcompletedcount", std::nullopt, "-"},
    {State::kRunning, "ping", std::nullopt, "pong"},
    // A skipped split: the last split made has no time, the delta is the last one there is.
    {State::kAfterSkip, "getlastsplittime", std::nullopt, "-"},
    {State::kAfterSkip, "getdelta", std::nullopt, "00:00:01"},
    {State::kAfterSkip, "getbestpossibletime", std::nullopt, "00:00:50"},  // past 11 + 14 + 19
    {State::kLeadIn, "getcurrenttime", std::nullopt, "-00:00:03"},
    {State::kLeadIn, "getsplitindex", std::nullopt, "0"},
    // Before a run, after it, and with no route.
    {State::kReset, "gettimerphase", std::nullopt, "NotRunning"},
    {State::kReset, "getcurrenttime", std::nullopt, "00:00:00"},
    {State::kReset, "getsplitindex", std::nullopt, "-1"},
    {State::kReset, "getcurrentsplitname", std::nullopt, "-"},
    {State::kReset, "getprevioussplitname", std::nullopt, "-"},
    {State::kReset, "getdelta", std::nullopt, "-"},
    {State::kReset, "getcomparisonsplittime", std::nullopt, "-"},
    {State::kReset, "getbestpossibletime", std::nullopt, "00:00:42"},
    {State::kPaused, "gettimerphase", std::nullopt, "Paused"},
    {State::kEnded, "gettimerphase", std::nullopt, "Ended"},
    {State::kEnded, "getsplitindex", std::nullopt, "3"},
    {State::kEnded, "getcurrentsplitname", std::nullopt, "-"},
    {State::kEnded, "getprevioussplitname", std::nullopt, "Split 3"},
    {State::kEnded, "getfinaltime", std::nullopt, "00:00:46"},
    {State::kEnded, "getfinaltime Personal Best", std::nullopt, "00:00:45"},
    {State::kEnded, "getdelta", std::nullopt, "00:00:01"},
    {State::kEnded, "getbestpossibletime", std::nullopt, "00:00:46"},
    {State::kKept, "gettimerphase", std::nullopt, "Ended"},
    {State::kKept, "getsplitindex", std::nullopt, "3"},
    {State::kKept, "getprevioussplitname", std::nullopt, "Split 3"},
    {State::kKept, "getlastsplittime", std::nullopt, "00:00:44"},
    {State::kKept, "getfinaltime", std::nullopt, "00:00:44"},
    {State::kKept, "getdelta", std::nullopt, "-"},  // against itself
    {State::kKept, "getdelta Best Splits", std::nullopt, "00:00:02"},
    {State::kNoRoute, "gettimerphase", std::nullopt, "NotRunning"},
    {State::kNoRoute, "getcurrenttime", std::nullopt, "00:00:00"},
    {State::kNoRoute, "getfinaltime", std::nullopt, "-"},
    {State::kNoRoute, "getcurrentsplitname", std::nullopt, "-"},
    // What Quorvel cannot honour changes nothing and answers as a client waits for.
    {State::kRunning, "getcurrentgametime", std::nullopt, "-"},
    {State::kRunning, "getpredictedtime Personal Best", std::nullopt, "-"},
    {State::kRunning, "savesplits", std::nullopt, "False"},
    {State::kRunning, "switchsplits /home/runner/other.lss", std::nullopt, "False"},
    {State::kRunning, "setgametime 1:00", std::nullopt, nullptr},
    {State::kRunning, "setcomparison Best Segments", std::nullopt, nullptr},
    {State::kRunning, "bogus", std::nullopt, nullptr},
    {State::kRunning, " split", std::nullopt, nullptr},
    {State::kRunning, "", std::nullopt, nullptr},
};

class Protocol : public FakeClockTest {};

TEST_F(Protocol, EachCommandRunsItsMenuCommandInItsPhasesAndAnswersAsTheProtocolDoes) {
    for (const Case& c : kCases) {
        FakeWindow window;
        Prepare(window, c.state);
        std::optional<std::string> reply;
        if (const auto command = control::ReadCommand(c.line)) {
            reply = control::Perform(*command, window);
        }
        const std::vector<MenuCommand> ran =
            c.ran ? std::vector<MenuCommand>{*c.ran} : std::vector<MenuCommand>{};
        EXPECT_EQ(window.ran, ran) << static_cast<int>(c.state) << " " << c.line;
        EXPECT_EQ(reply, c.reply ? std::optional<std::string>(c.reply) : std::nullopt)
            << static_cast<int>(c.state) << " " << c.line;
    }
}

TEST(ProtocolTime, HoursMinutesSecondsWithSevenDecimalsAndDaysBeforeThem) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "00:00:00"},           {6523, "00:01:05.2300000"}, {-300, "-00:00:03"},
        {-5, "-00:00:00.0500000"}, {9000000, "1.01:00:00"},    {INT32_MIN, "-248.13:13:56.4800000"},
    };
    for (const auto& [hundredths, text] : cases) {
        EXPECT_EQ(control::ProtocolTime(hundredths), text) << hundredths;
    }
}

// The bytes of one connection, in the pieces they came in, and the lines read from them.
TEST(LineReader, LinesEndInCrLfOrLfAndALineOverOneKibibyteEndsTheConnection) {
    const std::string longest(control::LineReader::kMaxLine, 'x');
    const struct {
        std::vector<std::string> pieces;
        std::vector<std::string> lines;
        bool tooLong;
    } cases[] = {
        {{"ping\r\nsplit\npa"}, {"ping", "split"}, false},
        {{"pi", "ng\r", "\n", "\n"}, {"ping", ""}, false},
        {{longest + "\r", "\n"}, {longest}, false},
        {{longest + "x"}, {}, true},  // known before its end comes
        {{"ok\n" + longest + "xx\n"}, {"ok"}, true},
        {{longest, "x\r\n"}, {}, true},
    };
    for (const auto& c : cases) {
        control::LineReader reader;
        std::vector<std::string> lines;
        bool tooLong = false;
        for (const std::string& piece : c.pieces) {
            reader.Append(piece);
            for (auto next = reader.Next(); next.What != control::LineReader::Status::kNone;
                 next = reader.Next()) {
                if (next.What == control::LineReader::Status::kTooLong) {
                    tooLong = true;
                    break;
                }
                lines.emplace_back(next.Line);
            }
        }
        EXPECT_EQ(std::tuple(lines, tooLong), std::tuple(c.lines, c.tooLong)) << c.pieces[0];
        EXPECT_LE(reader.Buffered(), control::LineReader::kMaxLine + 1);
    }
}

}  // namespace
