// Construction of the grid display: which labels exist, where, and how the window is sized.
#include <gtest/gtest.h>

#include <string>

#include "ShellFixture.h"

namespace {

struct Counts {
    int headers = 0;  // description and column headers
    int rowHeaders = 0;
    int times = 0;
    int diffs = 0;
};

Counts CountLabels() {
    Counts counts;
    for (std::size_t r = 0; r < DisplayGrid.size(); ++r) {
        for (std::size_t c = 0; c < DisplayGrid[r].size(); ++c) {
            const auto& slots = DisplayGrid[r][c];
            EXPECT_EQ(slots.size(), 2u);
            if (r == 0) {
                counts.headers += slots[0] != nullptr ? 1 : 0;
                EXPECT_EQ(slots[1], nullptr);
            } else if (c == 0) {
                counts.rowHeaders += slots[0] != nullptr ? 1 : 0;
                EXPECT_EQ(slots[1], nullptr);
            } else {
                counts.times += slots[0] != nullptr ? 1 : 0;
                counts.diffs += slots[1] != nullptr ? 1 : 0;
            }
        }
    }
    return counts;
}

}  // namespace

class GridLayout : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch("[Window]\nLeft=10\nTop=50\n");
        path_ = WriteSplitFile("route.txt", kThreeSplits);
    }
    void Rebuild() { app->OpenSplitFile(path_); }

    std::string path_;
};

TEST_F(GridLayout, HiddenBestSplitsDropTheFirstColumnAndShiftTheRest) {
    app->HideBestSplitsMenuClick();
    Rebuild();
    const Counts counts = CountLabels();
    EXPECT_EQ(counts.headers, 1 + 3);
    EXPECT_EQ(counts.times, 9);
    EXPECT_EQ(DisplayGrid[0][1][0], nullptr);
    EXPECT_EQ(Cell(0, 0, 0), nullptr);
    EXPECT_EQ(Cell(0, 0, 1), nullptr);
    EXPECT_EQ(Cell(0, 1, 0)->Frame().x, 67);
    EXPECT_EQ(app->window->Frame().width, 287 - 55);
    EXPECT_FALSE(app->AttemptsPanel->Hidden());
}

TEST_F(GridLayout, TheAttemptsPanelHidesWithBothSplitColumnsOrByItsOwnFlag) {
    Rebuild();
    EXPECT_FALSE(app->AttemptsPanel->Hidden());
    app->HideBestSplitsMenuClick();
    app->HideCurrentSplitsMenuClick();
    EXPECT_TRUE(app->AttemptsPanel->Hidden());
    app->HideBestSplitsMenuClick();
    EXPECT_FALSE(app->AttemptsPanel->Hidden());
    app->HideAttemptsCounterMenuClick();
    EXPECT_TRUE(app->AttemptsPanel->Hidden());
}

TEST_F(GridLayout, AFileWithoutRowsBuildsOnlyTheHeaderRow) {
    app->OpenSplitFile(WriteSplitFile("empty.txt", "0\t0.00\nDesc\tBest Splits\tRun\n\n\n"));
    ASSERT_EQ(TimerData->GetColumnCount(), 3u);
    ASSERT_EQ(DisplayGrid.size(), 1u);
    EXPECT_EQ(CountLabels().headers, 4);
    EXPECT_EQ(app->ScrollBoxContent->Frame().height, 4);
    EXPECT_EQ(app->ScrollBoxContent->LabelCount(), 0u);
}

TEST_F(GridLayout, AFileThatFailsToLoadClearsTheGridButKeepsTheWindow) {
    Rebuild();
    const tk::Rect frame = app->window->Frame();
    app->OpenSplitFile(Root() + "missing.txt");
    EXPECT_TRUE(DisplayGrid.empty());
    EXPECT_EQ(app->HeaderPanel->LabelCount(), 0u);
    EXPECT_EQ(app->ScrollBoxContent->LabelCount(), 0u);
    EXPECT_EQ(app->window->Frame(), frame);
}

TEST_F(GridLayout, AGridTallerThanTheScreenScrollsInsideAWindowThatStaysOnTheScreen) {
    // The visible area leaves out a 40-point panel at the bottom of the 1080-point screen.
    tk::Screen::OverrideMain(kScreen, {0, 40, 1920, 1000});
    std::string text = "0\t0.00\nLong\tBest Splits\tRun\n";
    for (int i = 0; i < 200; ++i) {
        text += "Split " + std::to_string(i) + "\t1.00\t2.00\n\t\t\n";
    }
    const std::string path = WriteSplitFile("long.txt", text);
    struct Case {
        double top;          // the window's top edge before the file is opened
        double expectedTop;  // and after
        double expectedHeight;
    };
    const Case cases[] = {
        {1000, 1000, 960},   // keeps its top edge and reaches down to the panel
        {1040, 1040, 1000},  // at the top of the visible area: all of it
        {150, 1040, 1000},   // too little room below: moves up to the top of the visible area
    };
    for (const Case& c : cases) {
        tk::Rect frame = app->window->Frame();
        frame.y = c.top - frame.height;
        app->window->SetFrame(frame, /*display=*/true);
        app->OpenSplitFile(path);
        const tk::Rect placed = app->window->Frame();
        EXPECT_EQ(placed.MaxY(), c.expectedTop) << c.top;
        EXPECT_EQ(placed.height, c.expectedHeight) << c.top;
        EXPECT_GE(placed.y, 40) << c.top;
        EXPECT_EQ(app->ScrollBoxContent->Frame().height, 200 * 22 + 4);
        EXPECT_EQ(app->ScrollBox->Frame().height,
                  c.expectedHeight - 22 - AppDelegate::kHeaderPanelHeight);
    }
}
