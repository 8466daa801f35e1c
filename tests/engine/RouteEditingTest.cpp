// Route editing: every edit of rows, stored runs and header is saved at once and reads back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "RouteData.h"
#include "TestFiles.h"

namespace {

// Three splits, two stored runs (Run 2 is the kept run), a best-splits note and a run note.
const std::string kColumns =
    "Best Splits\tRun 1\tRun 2\nA\t10.00\t10.00\t11.00\n\tbest a\tnote a\t\n"
    "B\t20.00\t30.00\t32.00\n\t\t\t\nC\t30.00\t1:00.00\t1:05.00\n\t\t\t\n";
const std::string kRoute = "12\t-0.33\nAny%\t" + kColumns;

class RouteEditing : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(path_, kRoute);
        engine_.LoadSplitData(path_);
        ASSERT_EQ(engine_.GetColumnCount(), 4u);
    }
    TempDir dir_;
    const std::string path_ = dir_.File("route.txt");
    QuorvelClass engine_{"/nonexistent/"};
};

}  // namespace

// Each case names the text of the file that the edit replaces, and what replaces it.
TEST_F(RouteEditing, EachEditIsSavedAsTheWholeFile) {
    using Edit = std::function<void(QuorvelClass&)>;
    const struct {
        const char* what;
        Edit edit;
        std::string before, after;
    } cases[] = {
        {"rename a row (a TAB becomes a space)", [](QuorvelClass& e) { e.RenameRow(1, "B\tbis"); },
         "\nB\t", "\nB bis\t"},
        {"insert a row: running times below stay", [](QuorvelClass& e) { e.InsertRow(1, "New"); },
         "\nB\t", "\nNew\t0.00\t0.00\t0.00\n\t\t\t\nB\t"},
        {"append a row", [](QuorvelClass& e) { e.InsertRow(3, "D"); }, "1:05.00\n\t\t\t\n",
         "1:05.00\n\t\t\t\nD\t0.00\t0.00\t0.00\n\t\t\t\n"},
        {"remove a row: the next one takes over its segment",
         [](QuorvelClass& e) { e.RemoveRow(1); }, "B\t20.00\t30.00\t32.00\n\t\t\t\n", ""},
        {"move the last row first: it carries its segments and notes stay with their rows",
         [](QuorvelClass& e) { e.MoveRow(2, 0); }, kColumns,
         "Best Splits\tRun 1\tRun 2\nC\t30.00\t30.00\t33.00\n\t\t\t\n"
         "A\t10.00\t40.00\t44.00\n\tbest a\tnote a\t\nB\t20.00\t1:00.00\t1:05.00\n\t\t\t\n"},
        {"add a stored run last: it becomes the kept run",
         [](QuorvelClass& e) { e.AddRunColumn(3, "PB"); }, kColumns,
         "Best Splits\tRun 1\tRun 2\tPB\nA\t10.00\t10.00\t11.00\t0.00\n\tbest a\tnote a\t\t\n"
         "B\t20.00\t30.00\t32.00\t0.00\n\t\t\t\t\nC\t30.00\t1:00.00\t1:05.00\t0.00\n\t\t\t\t\n"},
        {"add a stored run first", [](QuorvelClass& e) { e.AddRunColumn(1, "Old"); }, kColumns,
         "Best Splits\tOld\tRun 1\tRun 2\nA\t10.00\t0.00\t10.00\t11.00\n\tbest a\t\tnote a\t\n"
         "B\t20.00\t0.00\t30.00\t32.00\n\t\t\t\t\nC\t30.00\t0.00\t1:00.00\t1:05.00\n\t\t\t\t\n"},
        {"rename a stored run", [](QuorvelClass& e) { e.RenameRunColumn(2, "Second"); },
         "\tRun 2\n", "\tSecond\n"},
        {"remove a stored run with its notes", [](QuorvelClass& e) { e.RemoveRunColumn(1); },
         kColumns,
         "Best Splits\tRun 2\nA\t10.00\t11.00\n\tbest a\t\nB\t20.00\t32.00\n\t\t\n"
         "C\t30.00\t1:05.00\n\t\t\n"},
        {"move a stored run", [](QuorvelClass& e) { e.MoveRunColumn(2, 1); }, kColumns,
         "Best Splits\tRun 2\tRun 1\nA\t10.00\t11.00\t10.00\n\tbest a\t\tnote a\n"
         "B\t20.00\t32.00\t30.00\n\t\t\t\nC\t30.00\t1:05.00\t1:00.00\n\t\t\t\n"},
        {"description", [](QuorvelClass& e) { e.SetDescription("Glitchless\r\n"); }, "Any%",
         "Glitchless  "},
        {"start offset", [](QuorvelClass& e) { e.SetStartOffset(-150); }, "-0.33", "-1.50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(path_, kRoute);
        engine_.LoadSplitData(path_);
        c.edit(engine_);
        std::string expected = kRoute;
        expected.replace(expected.find(c.before), c.before.size(), c.after);
        EXPECT_EQ(ReadFile(path_), expected);
        QuorvelClass reread("/nonexistent/");  // the file reads back as the same route
        reread.LoadSplitData(path_);
        EXPECT_EQ(reread.GetRoute(), engine_.GetRoute());
        for (unsigned int col = 0; col < engine_.GetColumnCount(); ++col) {
            EXPECT_EQ(ColumnTimes(reread, col, /*Elapsed=*/true), ColumnTimes(engine_, col, true));
        }
    }
}

// Edits outside the stored runs or the rows, and any edit while the timer runs or a run is in
// progress (running, split, or finished and not reset), change nothing and write nothing.
TEST_F(RouteEditing, EditsThatCannotApplyChangeNothingAndWriteNothing) {
    using Edit = std::function<void(QuorvelClass&)>;
    const auto inRun = [](const Edit& state) {
        return [state](QuorvelClass& e) {
            state(e);
            EXPECT_FALSE(e.RouteEditable());
            e.RemoveRow(0);
            e.SetRoute(NewRouteData());
        };
    };
    const Edit edits[] = {
        [](QuorvelClass& e) { e.RenameRow(3, "x"); },
        [](QuorvelClass& e) { e.InsertRow(4, "x"); },
        [](QuorvelClass& e) { e.RemoveRow(3); },
        [](QuorvelClass& e) { e.MoveRow(0, 3); },
        [](QuorvelClass& e) { e.AddRunColumn(0, "before the best splits"); },
        [](QuorvelClass& e) { e.AddRunColumn(4, "after the current run"); },
        [](QuorvelClass& e) { e.RenameRunColumn(0, "Best"); },
        [](QuorvelClass& e) { e.RemoveRunColumn(3); },  // the current run
        [](QuorvelClass& e) { e.MoveRunColumn(1, 3); },
        inRun([](QuorvelClass& e) { e.TimerRunning = true; }),
        inRun([](QuorvelClass& e) { e.NextSplit = 1; }),
        inRun([](QuorvelClass& e) { e.SplitCells[2].back()->Timer = 6000; }),
    };
    for (const auto& edit : edits) {
        engine_.LoadSplitData(path_);
        std::remove(path_.c_str());
        const RouteData before = engine_.GetRoute();
        edit(engine_);
        EXPECT_EQ(engine_.GetRoute(), before);
        EXPECT_FALSE(FileExists(path_));
        WriteFile(path_, kRoute);
    }
}

TEST_F(RouteEditing, AFailedWriteKeepsTheEditAndSaysSo) {
    engine_.SplitFileName = dir_.File("gone/route.txt");
    engine_.RenameRow(0, "First");
    EXPECT_TRUE(engine_.LastSaveFailed);
    EXPECT_EQ(engine_.GetFullRowHeader(0), "First");
    EXPECT_EQ(ReadFile(path_), kRoute);
}

// ---- The edits of a route value ----

namespace {

// One stored run "PB" with the given running times; the splits are named "A", "B", ...
RouteData RunOf(const Times& times) {
    RouteData route;
    route.RunTitles = {"PB"};
    for (std::int32_t time : times) {
        RouteRow split;
        split.Name = std::string(1, static_cast<char>('A' + route.Splits.size()));
        split.RunTimes = {time};
        route.Splits.push_back(split);
    }
    NormaliseRoute(&route);
    return route;
}

}  // namespace

TEST(RouteData, ASegmentMovesTheLaterRunningTimesAndNeedsATimeAbove) {
    const struct {
        const char* what;
        Times times;
        std::size_t row;
        std::int32_t segment;
        bool accepted;
        Times after;
    } cases[] = {
        {"later segments kept", {1000, 3000, 6000}, 1, 1500, true, {1000, 2500, 5500}},
        {"first row", {1000, 3000, 6000}, 0, 2000, true, {2000, 4000, 7000}},
        {"a gap below is left alone", {1000, 3000, 0, 8000}, 1, 1500, true, {1000, 2500, 0, 7500}},
        {"no time above", {1000, 0, 6000}, 2, 500, false, {1000, 0, 6000}},
        {"a new time moves nothing else", {1000, 0, 6000}, 1, 500, true, {1000, 1500, 6000}},
        {"cleared", {1000, 3000, 6000}, 1, 0, true, {1000, 0, 6000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RouteData route = RunOf(c.times);
        EXPECT_EQ(SetRunSegment(&route, c.row, 0, c.segment), c.accepted);
        Times after;
        for (const RouteRow& split : route.Splits) {
            after.push_back(split.RunTimes[0]);
        }
        EXPECT_EQ(after, c.after);
    }
}

TEST(RouteData, AMovedSplitUnderAGapHasNoRunningTime) {
    RouteData route = RunOf({1000, 0, 4000, 5000});
    ASSERT_TRUE(MoveSplit(&route, 3, 2));  // D (segment 10.00) above C (no segment)
    EXPECT_EQ(route.Splits[2].Name, "D");
    EXPECT_EQ(route.Splits[2].RunTimes[0], 0);  // under B, which has no time
    EXPECT_EQ(route.Splits[3].RunTimes[0], 0);  // C had no segment
    EXPECT_EQ(route.Splits[0].RunTimes[0], 1000);
}
