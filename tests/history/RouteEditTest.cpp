// A route edit in the split editor, or a split file edited outside Quorvel, keeps each
// split's history with it.
#include <gtest/gtest.h>

#include "HistoryBuilder.h"
#include "HistoryDatabase.h"
#include "TestFiles.h"

using namespace history;

namespace {

const std::vector<std::string> kRoute = {"A", "B", "C", "D", "E"};  // E: never reached

History RouteHistory() {
    return MakeHistory(kRoute, {MakeAttempt(1, Ending::Finished, "10 20 30 40"),
                                MakeAttempt(2, Ending::Reset, "11 - 33"),
                                MakeAttempt(-3, Ending::SegmentsOnly, ". 19")});
}

std::vector<std::vector<SplitEntry>> EntriesOf(const History& history) {
    std::vector<std::vector<SplitEntry>> entries;
    for (const Attempt& attempt : history.Attempts) {
        entries.push_back(attempt.Splits);
    }
    return entries;
}

History Loaded(HistoryDatabase& db) {
    History history;
    std::string problem;
    EXPECT_TRUE(db.Load(&history, &problem)) << problem;
    return history;
}

}  // namespace

TEST(RouteEdit, EachSplitsHistoryMovesWithItAndARemovedOnesGoes) {
    const auto none = std::nullopt;
    struct Case {
        RouteEdit edit;
        std::vector<std::string> after;  // each attempt as MakeAttempt writes it
        std::string warning;
    };
    const Case cases[] = {
        {{{0, 1, 2, 3}, {"A", "Bee", "C", "D"}}, {"10 20 30 40", "11 - 33", ". 19"}, ""},
        // B's 20 goes to C, so C's running time stays 60; #2's skip of B goes with B.
        {{{0, 2, 3}, {"A", "C", "D"}},
         {"10 50 40", "11 33", ""},
         "1 split's history will be removed"},
        {{{0, 2}, {"A", "C"}}, {"10 50", "11 33", ""}, "2 splits' history will be removed"},
        // D moved up carries its 40; the running times below it are summed again.
        {{{0, 3, 1, 2}, {"A", "D", "B", "C"}}, {"10 40 20 30", "11 . - 33", ". . 19"}, ""},
        // X inserted has no history; C's segment now spans X and C.
        {{{0, 1, none, 2, 3}, {"A", "B", "X", "C", "D"}},
         {"10 20 . 30 40", "11 - . 33", ". 19"},
         ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string route = dir.File("route.txt");
        WriteFile(route, "0\t0\n");
        HistoryDatabase db;
        db.Open(route, Access::Writable, kRoute);
        ASSERT_TRUE(db.ReplaceAll(RouteHistory())) << db.LastError();
        EXPECT_EQ(RemovalWarning(RemovedSplitsWithHistory(db.TimesPerSplit(), c.edit)), c.warning);

        ASSERT_TRUE(db.ApplyRouteEdit(c.edit)) << db.LastError();
        History expected =
            MakeHistory(c.edit.Names, {MakeAttempt(1, Ending::Finished, c.after[0]),
                                       MakeAttempt(2, Ending::Reset, c.after[1]),
                                       MakeAttempt(-3, Ending::SegmentsOnly, c.after[2])});
        // What the file holds, not what the object remembers; a removed split named again
        // after the others is a new one, with no history.
        std::vector<std::string> namedAgain = c.edit.Names;
        namedAgain.insert(namedAgain.end(), kRoute.begin(), kRoute.end());
        HistoryDatabase reopened;
        reopened.Open(route, Access::ReadOnly, namedAgain);
        const History after = Loaded(reopened);
        EXPECT_EQ(EntriesOf(after), EntriesOf(expected)) << "case " << (&c - cases);
    }
}

TEST(RouteEdit, ASplitFileEditedOutsideSetsUnknownSplitsAsideUntilTheyComeBack) {
    TempDir dir;
    const std::string route = dir.File("route.txt");
    WriteFile(route, "0\t0\n");
    {
        HistoryDatabase db;
        db.Open(route, Access::Writable, kRoute);
        ASSERT_TRUE(db.ReplaceAll(RouteHistory()));
    }
    // B deleted and D renamed in a text editor: B is set aside, D is taken as renamed.
    HistoryDatabase db;
    const OpenResult opened = db.Open(route, Access::Writable, {"A", "C", "Dee", "E"});
    EXPECT_EQ(opened.Alignment.SetAside, std::vector<std::size_t>{1});
    EXPECT_EQ(opened.Alignment.Renamed, 1u);
    const History without = Loaded(db);
    ASSERT_EQ(without.Attempts[0].Splits.size(), 3u);
    EXPECT_EQ(without.Attempts[0].Splits[1].Segment, 3000);  // C's own times, as they were
    EXPECT_EQ(without.Attempts[0].Splits[2].Running, 10000);
    EXPECT_TRUE(without.Attempts[2].Splits.empty());

    // Named again, B comes back with every time it had.
    const OpenResult back = db.Open(route, Access::Writable, kRoute);
    EXPECT_EQ(back.Alignment.BroughtBack, 1u);
    EXPECT_EQ(EntriesOf(Loaded(db)), EntriesOf(RouteHistory()));
}
