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

TEST_F(GridLayout, ThreeRowsOfFourColumnsMakeOneLabelPerPart) {
    Rebuild();
    const Counts counts = CountLabels();
    EXPECT_EQ(counts.headers, 1 + 4);
    EXPECT_EQ(counts.rowHeaders, 3);
    EXPECT_EQ(counts.times, 12);
    EXPECT_EQ(counts.diffs, 12);
    EXPECT_EQ(app->HeaderPanel->LabelCount(), 5u);
    EXPECT_EQ(app->ScrollBoxContent->LabelCount(), 3u + 12u + 12u);

    const tk::Rect window = app->window->Frame();
    EXPECT_EQ(window.width, 2 + 65 + 4 * 55);
    EXPECT_EQ(window.height, AppDelegate::kHeaderPanelHeight + 70 + 22);
    EXPECT_EQ(app->ScrollBoxContent->Frame().height, 3 * 22 + 4);
    EXPECT_EQ(app->ScrollBox->Frame().height, 70);  // everything fits: no scrolling
}

TEST_F(GridLayout, LabelsSitInTheirColumnsAndRows) {
    Rebuild();
    // Header labels 2 points below the top of the header panel.
    const double b = AppDelegate::kHeaderPanelHeight - 2;
    EXPECT_EQ(DisplayGrid[0][0][0]->Frame(), (tk::Rect{2, b - 22, 65, 22}));
    EXPECT_EQ(DisplayGrid[0][0][0]->Text(), "Route");
    EXPECT_EQ(DisplayGrid[0][0][0]->Alignment(), tk::TextAlignment::kLeft);
    EXPECT_EQ(DisplayGrid[0][3][0]->Frame(), (tk::Rect{67 + 2 * 55, b - 22, 55, 22}));
    EXPECT_EQ(DisplayGrid[0][3][0]->Text(), "Kept");
    EXPECT_EQ(DisplayGrid[0][4][0]->Text(), "Current");
    EXPECT_EQ(DisplayGrid[0][4][0]->TextColor(), tk::Color::White());
    EXPECT_EQ(DisplayGrid[0][4][0]->Alignment(), tk::TextAlignment::kRight);

    // Rows run down from the top of the 70-point content.
    EXPECT_EQ(RowHeader(1)->Frame(), (tk::Rect{2, 70 - 22 - 22, 65, 22}));
    EXPECT_EQ(RowHeader(1)->Text(), "Two");
    EXPECT_EQ(Cell(1, 2, 0)->Frame(), (tk::Rect{67 + 2 * 55, 70 - 22 - 10, 55, 10}));
    EXPECT_EQ(Cell(1, 2, 1)->Frame(), (tk::Rect{67 + 2 * 55, 70 - 32 - 10, 55, 10}));

    const tk::Label* time = Cell(2, 0, 0);
    EXPECT_EQ(time->FontSize(), 8);
    EXPECT_TRUE(time->DrawsBackground());
    EXPECT_FALSE(time->Bezeled());
    EXPECT_FALSE(time->Editable());
    EXPECT_EQ(time->Alignment(), tk::TextAlignment::kRight);
}

TEST_F(GridLayout, HiddenDifferenceRowsMakeShorterRowsWithoutDifferenceLabels) {
    app->HideDiffRowsMenuClick();
    Rebuild();
    EXPECT_EQ(CountLabels().diffs, 0);
    EXPECT_EQ(app->ScrollBoxContent->Frame().height, 3 * 14 + 4);
    EXPECT_EQ(RowHeader(2)->Frame(), (tk::Rect{2, 46 - 42, 65, 14}));
    EXPECT_EQ(Cell(2, 0, 0)->Frame(), (tk::Rect{67, 46 - 28 - 10, 55, 10}));
}

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

TEST_F(GridLayout, HiddenCurrentSplitsDropTheLastColumn) {
    app->HideCurrentSplitsMenuClick();
    Rebuild();
    EXPECT_EQ(CountLabels().times, 9);
    EXPECT_EQ(DisplayGrid[0][4][0], nullptr);
    EXPECT_EQ(Cell(0, 3, 0), nullptr);
    EXPECT_EQ(app->window->Frame().width, 287 - 55);
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

TEST_F(GridLayout, TheTopEdgeStaysWhileTheBottomFollowsTheGrid) {
    const double top = app->window->Frame().MaxY();
    EXPECT_EQ(top, 1080 - 50);
    Rebuild();
    EXPECT_EQ(app->window->Frame().MaxY(), top);
    app->HideDiffRowsMenuClick();
    EXPECT_EQ(app->window->Frame().MaxY(), top);
    EXPECT_EQ(app->window->Frame().height, AppDelegate::kHeaderPanelHeight + 46 + 22);
}

TEST_F(GridLayout, RebuildingTwiceLeavesOneSetOfLabels) {
    Rebuild();
    app->CreateScreen();
    app->CreateScreen();
    EXPECT_EQ(app->HeaderPanel->LabelCount(), 5u);
    EXPECT_EQ(app->ScrollBoxContent->LabelCount(), 27u);
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

TEST(DisplayGridStore, IndexesOutsideTheGridAreIgnored) {
    DisplayGrid.assign(2, std::vector<std::vector<tk::Label*>>(2, std::vector<tk::Label*>(2)));
    DisplayGrid[1][0].clear();
    tk::Label label;
    PutTimerLabelInGrid(-1, 0, true, &label);
    PutTimerLabelInGrid(2, 0, true, &label);
    PutTimerLabelInGrid(0, 2, true, &label);
    PutTimerLabelInGrid(0, -1, true, &label);
    PutTimerLabelInGrid(1, 0, true, &label);  // an entry without slots
    for (const auto& row : DisplayGrid) {
        for (const auto& slots : row) {
            for (const tk::Label* slot : slots) {
                EXPECT_EQ(slot, nullptr);
            }
        }
    }
    PutTimerLabelInGrid(1, 1, false, &label);
    EXPECT_EQ(DisplayGrid[1][1][1], &label);
    EXPECT_EQ(DisplayGrid[1][1][0], nullptr);
    DisplayGrid.clear();
}
