// Refresh of the grid display: texts and colours of every kind of cell, and the scroll
// position that keeps the split being timed in view.
#include <gtest/gtest.h>

#include <string>

#include "ShellFixture.h"

namespace {

const tk::Color kWhite = tk::Color::White();
const tk::Color kCyan = tk::Color::Cyan();
const tk::Color kGreen = tk::Color::Green();
const tk::Color kRed = tk::Color::Red();
const tk::Color kClear = tk::Color::Clear();
constexpr tk::Color kGrey = AppDelegate::kHighlightGrey;

}  // namespace

class GridRefresh : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch();
        Open(WriteSplitFile("route.txt", kThreeSplits));
    }
    // Sets the current run's time in a row and works out its differences as a split does.
    void Split(unsigned row, std::int32_t time) {
        TimerData->NextSplit = row;
        TimerData->TimerRunning = true;
        TimerData->AccumulatedTime = time;
        TimerData->StartClock = ClockNow();
        TimerData->DoSplit();
    }
    void Refresh() { app->UpdateScreen(); }
};

// Stored times (best splits as running totals), "---" where the run has no time yet, no
// differences, and the row to split next in cyan.
TEST_F(GridRefresh, AFreshFileShowsStoredTimesAndTheFirstRowInCyan) {
    EXPECT_EQ(RowHeader(0)->TextColor(), kCyan);
    EXPECT_EQ(RowHeader(1)->TextColor(), kWhite);
    const struct {
        int split, column, slot;
        const char* text;
        tk::Color color;
    } cases[] = {{0, 2, 0, "12.00", kCyan},
                 {1, 0, 0, "20.00", kWhite},
                 {0, 3, 0, "---", kCyan},
                 {1, 3, 0, "---", kWhite}};
    for (const auto& c : cases) {
        EXPECT_EQ(Cell(c.split, c.column, c.slot)->Text(), c.text) << c.split << c.column;
        EXPECT_EQ(Cell(c.split, c.column, c.slot)->TextColor(), c.color) << c.split << c.column;
    }
    EXPECT_EQ(Cell(1, 1, 1)->Text(), "");  // no differences without a current time
}

TEST_F(GridRefresh, CurrentTimesAreColouredAgainstTheKeptRunWithoutTolerance) {
    struct Case {
        std::int32_t time;  // the kept run has 12.00 in row 0
        tk::Color color;
        const char* diff;
    };
    const Case cases[] = {{1200, kWhite, "0.00"}, {1199, kGreen, "-0.01"}, {1201, kRed, "+0.01"}};
    for (const Case& c : cases) {
        Split(0, c.time);
        Refresh();
        EXPECT_EQ(Cell(0, 3)->TextColor(), c.color) << c.time;
        EXPECT_EQ(Cell(0, 3, 1)->Text(), c.diff);
        EXPECT_EQ(Cell(0, 3, 1)->TextColor(), c.color);
        EXPECT_EQ(Cell(0, 2, 1)->Text(), c.diff);
    }
}

TEST_F(GridRefresh, DifferencesFollowTheCurrentRunRunningTimesExceptInTheCurrentColumn) {
    Split(0, 1050);  // 10.50: 0.50 behind the best, 0.50 ahead of Old, 1.50 ahead of Kept
    Refresh();
    EXPECT_EQ(Cell(0, 3)->Text(), "10.50");
    EXPECT_EQ(Cell(0, 0, 1)->Text(), "+0.50");
    EXPECT_EQ(Cell(0, 0, 1)->TextColor(), kRed);
    EXPECT_EQ(Cell(0, 1, 1)->Text(), "-0.50");
    EXPECT_EQ(Cell(0, 1, 1)->TextColor(), kGreen);
    EXPECT_EQ(Cell(0, 2, 1)->Text(), "-1.50");
    EXPECT_EQ(Cell(0, 3, 1)->Text(), "-1.50");
    EXPECT_EQ(RowHeader(1)->TextColor(), kCyan);
    EXPECT_EQ(RowHeader(0)->TextColor(), kWhite);
    EXPECT_EQ(Cell(1, 3, 1)->Text(), "");

    Split(1, 2250);  // segment 12.00 against Kept's 12.00 and a total 1.50 ahead
    Refresh();
    EXPECT_EQ(Cell(1, 2, 1)->Text(), "-1.50");  // running: 22.50 against 24.00
    EXPECT_EQ(Cell(1, 3, 1)->Text(), "0.00");   // the segment against the kept run's
    EXPECT_EQ(Cell(1, 3, 1)->TextColor(), kWhite);
    Split(2, 3600);  // finished: no row is cyan any more
    Refresh();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(RowHeader(row)->TextColor(), kWhite) << row;
    }
}

TEST_F(GridRefresh, GreyBackgroundsMarkNotesAndANewBestSegment) {
    TimerData->SplitCells[1][2]->Notes = "watch|rthe gap";
    Split(0, 999);  // best segment 10.00
    Refresh();
    EXPECT_EQ(Cell(1, 2)->BackgroundColor(), kGrey);
    EXPECT_TRUE(Cell(1, 2)->DrawsBackground());
    EXPECT_EQ(Cell(1, 1)->BackgroundColor(), kClear);
    EXPECT_EQ(Cell(0, 0, 1)->BackgroundColor(), kGrey);
    EXPECT_EQ(Cell(0, 1, 1)->BackgroundColor(), kClear);
    TimerData->SplitCells[1][2]->Notes.clear();
    Split(0, 1000);  // a tie is not a new best
    Refresh();
    EXPECT_EQ(Cell(1, 2)->BackgroundColor(), kClear);
    EXPECT_EQ(Cell(0, 0, 1)->BackgroundColor(), kClear);
}

TEST_F(GridRefresh, ACurrentTimeWhereTheKeptRunHasNoneIsRed) {
    TimerData->SplitCells[1][2]->Timer = 0;
    Split(0, 1200);
    Split(1, 2400);
    TimerData->NextSplit = 2;
    Refresh();
    EXPECT_EQ(Cell(1, 3)->TextColor(), kRed);
    EXPECT_EQ(Cell(1, 2)->Text(), "---");
    EXPECT_EQ(Cell(1, 2, 1)->Text(), "");
}

TEST_F(GridRefresh, HiddenCurrentSplitsShowTheRunInTheKeptColumn) {
    app->HideCurrentSplitsMenuClick();
    Split(0, 1100);
    Refresh();
    EXPECT_EQ(Cell(0, 2)->Text(), "11.00");
    EXPECT_EQ(Cell(0, 2)->TextColor(), kGreen);
    EXPECT_EQ(Cell(1, 2)->Text(), "24.00");  // no current time there: its own
    EXPECT_EQ(Cell(1, 2)->TextColor(), kCyan);
    EXPECT_EQ(Cell(2, 2)->TextColor(), kWhite);
}

class GridScroll : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        // A screen with just room for the header panel and 200 points of grid.
        const double room = 22 + AppDelegate::kHeaderPanelHeight + 200;
        tk::Screen::OverrideMain(kScreen, {0, 1080 - room, 1920, room});
        Launch("[Window]\nLeft=0\nTop=0\n");
        std::string text = "0\t0.00\nTwenty\tBest Splits\tRun\n";
        for (int i = 0; i < 20; ++i) {
            text += "S" + std::to_string(i) + "\t1.00\t2.00\n\t\t\n";
        }
        Open(WriteSplitFile("twenty.txt", text));
    }
    // Distance of the visible area's top edge below the top of the content.
    double VisibleTop() const {
        const tk::Rect visible = app->ScrollBox->DocumentVisibleRect();
        return app->ScrollBoxContent->Frame().height - visible.MaxY();
    }
};

TEST_F(GridScroll, TheSplitBeingTimedSitsInTheMiddleOfTheVisibleArea) {
    ASSERT_EQ(app->ScrollBoxContent->Frame().height, 444);
    ASSERT_EQ(app->ScrollBox->Frame().height, 200);
    struct Case {
        unsigned next;
        double y;  // scroll position, bottom-up
    };
    for (const Case c : {Case{0, 244}, Case{10, 111}, Case{19, 0}, Case{20, 0}, Case{1, 244}}) {
        TimerData->NextSplit = c.next;
        app->UpdateScreen();
        EXPECT_EQ(app->ScrollBox->ScrollPosition().y, c.y) << c.next;
        EXPECT_EQ(VisibleTop(), 244 - c.y) << c.next;
    }
}
