// Refresh of the grid display: texts and colours of every kind of cell, and the scroll
// position that keeps the split being timed in view.
#include "ShellFixture.h"

namespace {

const tk::Color kWhite = tk::Color::White(), kCyan = tk::Color::Cyan(), kGreen = tk::Color::Green(),
                kRed = tk::Color::Red(), kClear = tk::Color::Clear();
constexpr tk::Color kGrey = AppDelegate::kHighlightGrey;

class GridRefresh : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch();
        OpenRoute();
    }
    // Sets the current run's time in a row and works out its differences as a split does,
    // then refreshes the grid.
    void Split(unsigned row, std::int32_t time) {
        TimerData->NextSplit = row;
        TimerData->TimerRunning = true;
        TimerData->AccumulatedTime = time;
        TimerData->StartClock = ClockNow();
        TimerData->DoSplit();
        app->UpdateScreen();
    }
    // The text of a cell and its colour: "10.50 red".
    static std::string Shown(const tk::Label* cell) {
        const tk::Color c = cell->TextColor();
        const char* name = c == kWhite   ? "white"
                           : c == kCyan  ? "cyan"
                           : c == kGreen ? "green"
                           : c == kRed   ? "red"
                                         : "other";
        return cell->Text() + " " + name;
    }
};

}  // namespace

TEST_F(GridRefresh, CurrentTimesAreColouredAgainstTheKeptRunWithoutTolerance) {
    const struct {
        std::int32_t time;  // the kept run has 12.00 in row 0
        const char* diff;
    } cases[] = {{1200, "0.00 white"}, {1199, "-0.01 green"}, {1201, "+0.01 red"}};
    for (const auto& c : cases) {
        Split(0, c.time);
        EXPECT_EQ(Shown(Cell(0, 3, 1)), c.diff);
        EXPECT_EQ(Cell(0, 3)->TextColor(), Cell(0, 3, 1)->TextColor()) << c.time;
    }
}

// Before the run: stored times (best splits as running totals), "---" where the run has no
// time yet, no differences, and the row to split next in cyan.
TEST_F(GridRefresh, DifferencesFollowTheCurrentRunRunningTimesExceptInTheCurrentColumn) {
    EXPECT_EQ(
        std::tuple(Shown(Cell(0, 2)), Shown(Cell(1, 0)), Shown(Cell(0, 3)), Cell(1, 1, 1)->Text()),
        std::tuple("12.00 cyan", "20.00 white", "--- cyan", ""));
    Split(0, 1050);  // 10.50: 0.50 behind the best, 0.50 ahead of Old, 1.50 ahead of Kept
    EXPECT_EQ(
        std::tuple(Shown(Cell(0, 0, 1)), Shown(Cell(0, 1, 1)), Cell(0, 2, 1)->Text(),
                   Cell(1, 3, 1)->Text(), RowHeader(1)->TextColor(), RowHeader(0)->TextColor()),
        std::tuple("+0.50 red", "-0.50 green", "-1.50", "", kCyan, kWhite));
    Split(1, 2250);                                 // segment 12.00 against Kept's 12.00
    EXPECT_EQ(Cell(1, 2, 1)->Text(), "-1.50");      // running: 22.50 against 24.00
    EXPECT_EQ(Shown(Cell(1, 3, 1)), "0.00 white");  // the segment against the kept run's
    Split(2, 3600);
    EXPECT_EQ(RowHeader(2)->TextColor(), kWhite);  // finished: no row is cyan any more
}

TEST_F(GridRefresh, GreyBackgroundsMarkNotesAndANewBestSegment) {
    TimerData->SplitCells[1][2]->Notes = "watch|rthe gap";
    Split(0, 999);  // best segment 10.00
    EXPECT_EQ(std::tuple(Cell(1, 2)->BackgroundColor(), Cell(1, 2)->DrawsBackground(),
                         Cell(0, 0, 1)->BackgroundColor(), Cell(1, 1)->BackgroundColor()),
              std::tuple(kGrey, true, kGrey, kClear));
    Split(0, 1000);  // a tie is not a new best
    EXPECT_EQ(Cell(0, 0, 1)->BackgroundColor(), kClear);
}

TEST_F(GridRefresh, ACurrentTimeWhereTheKeptRunHasNoneIsRed) {
    TimerData->SplitCells[1][2]->Timer = 0;
    Split(0, 1200);
    Split(1, 2400);
    EXPECT_EQ(std::tuple(Cell(1, 3)->TextColor(), Cell(1, 2)->Text(), Cell(1, 2, 1)->Text()),
              std::tuple(kRed, "---", ""));
}

class GridScroll : public ShellTest {};

TEST_F(GridScroll, TheSplitBeingTimedSitsInTheMiddleOfTheVisibleArea) {
    // A screen with just room for the header panel and 200 points of grid.
    const double room = 22 + AppDelegate::kHeaderPanelHeight + 200;
    tk::Screen::OverrideMain(kScreen, {0, 1080 - room, 1920, room});
    Launch("[Window]\nLeft=0\nTop=0\n");
    std::string text = "0\t0.00\nTwenty\tBest Splits\tRun\n";
    for (int i = 0; i < 20; ++i) {
        text += "S" + std::to_string(i) + "\t1.00\t2.00\n\t\t\n";
    }
    OpenRoute(text);
    ASSERT_EQ(app->ScrollBoxContent->Frame().height, 444);
    ASSERT_EQ(app->ScrollBox->Frame().height, 200);
    const struct {
        unsigned next;
        double y;  // scroll position, bottom-up; the visible area's top 244 - y below the top
    } cases[] = {{10, 111}, {20, 0}, {1, 244}};
    for (const auto& c : cases) {
        TimerData->NextSplit = c.next;
        app->UpdateScreen();
        EXPECT_EQ(
            app->ScrollBoxContent->Frame().height - app->ScrollBox->DocumentVisibleRect().MaxY(),
            244 - c.y)
            << c.next;
    }
}
