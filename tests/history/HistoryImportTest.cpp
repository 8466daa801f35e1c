// An imported attempt list and segment histories come back out of the file whole: what a
// .lss export writes holds every attempt and every segment time it was given.
#include <gtest/gtest.h>

#include "HistoryDatabase.h"
#include "HistoryImport.h"
#include "TestFiles.h"

using namespace history;

namespace {

// The lists an export writes, from what the file holds.
HistoryImport Exported(const History& history) {
    HistoryImport out;
    out.SplitNames = history.SplitNames;
    out.SegmentHistory.resize(history.SplitNames.size());
    for (const Attempt& attempt : history.Attempts) {
        out.Clock = attempt.Clock;
        if (IsListed(attempt)) {
            out.Attempts.push_back(
                {attempt.Number, attempt.StartedUtc, attempt.EndedUtc,
                 attempt.End == Ending::Finished ? attempt.FinalTime : std::nullopt,
                 attempt.PauseTime});
        }
        for (std::size_t k = 0; k < attempt.Splits.size(); ++k) {
            const SplitEntry& entry = attempt.Splits[k];
            if (entry.Kind != EntryKind::NotReached) {
                out.SegmentHistory[k].push_back(
                    {attempt.Number, entry.Kind == EntryKind::Timed
                                         ? std::optional<std::int32_t>(entry.Segment)
                                         : std::nullopt});
            }
        }
    }
    return out;
}

}  // namespace

TEST(HistoryImport, EveryAttemptAndSegmentTimeReadsBackAsItWasGiven) {
    const auto none = std::nullopt;
    HistoryImport in;
    in.Clock = TimeClock::Game;
    in.SplitNames = {"Forest", "Castle", "Tower"};
    in.Attempts = {{2, 1700000200, 1700000300, 9010, 150},
                   {1, 1700000000, 1700000100, none, none},
                   {0, none, none, none, none},
                   {2, 1, 2, 3, 4}};  // a second attempt 2: left out
    in.SegmentHistory = {{{1, 4000}, {2, 3990}, {-3, 3900}},
                         {{2, none}, {5, 2000}, {2, 1234}},  // 5: no such attempt
                         {{2, 5020}, {-3, 0}}};
    ImportSummary summary;
    const History history = BuildImportedHistory(in, &summary);
    EXPECT_EQ(
        summary.Text(),
        "3 attempts and 7 segment times kept (3 of them from ids with no attempt), 2 duplicate "
        "entries left out");

    TempDir dir;
    const std::string route = dir.File("route.txt");
    WriteFile(route, "0\t0\n");
    {
        HistoryDatabase db;
        db.Open(route, Access::Writable, in.SplitNames);
        ASSERT_TRUE(db.ReplaceAll(history)) << db.LastError();
    }
    HistoryDatabase db;
    db.Open(route, Access::ReadOnly, in.SplitNames);
    History loaded;
    std::string problem;
    ASSERT_TRUE(db.Load(&loaded, &problem)) << problem;
    EXPECT_EQ(loaded.Attempts[3].Splits.back().Running, 9010);  // attempt 2's final time

    HistoryImport expected = in;
    expected.Attempts = {in.Attempts[2], in.Attempts[1], in.Attempts[0]};  // by id
    expected.SegmentHistory = {
        {{-3, 3900}, {1, 4000}, {2, 3990}}, {{2, none}, {5, 2000}}, {{-3, 0}, {2, 5020}}};
    const HistoryImport out = Exported(loaded);
    EXPECT_EQ(out.Clock, TimeClock::Game);
    EXPECT_EQ(out.Attempts, expected.Attempts);
    EXPECT_EQ(out.SegmentHistory, expected.SegmentHistory);
}

TEST(HistoryImport, TheClockChosenAtImportHoldsBeforeAnyAttemptIsOnIt) {
    TempDir dir;
    const std::string route = dir.File("route.txt");
    WriteFile(route, "0\t0\n");
    {
        HistoryDatabase db;
        db.Open(route, Access::Writable, {"A"});
        ASSERT_TRUE(db.SetRouteClock(TimeClock::Game)) << db.LastError();
    }
    HistoryDatabase db;
    EXPECT_EQ(db.Open(route, Access::Writable, {"A"}).Clock, TimeClock::Game);
}
