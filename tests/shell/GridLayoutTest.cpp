// Construction of the grid display: which columns are built, the attempts panel, and a window
// that stays on the screen however many splits there are.
#include "ShellFixture.h"

class GridLayout : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch("[Window]\nLeft=10\nTop=50\n");
        path_ = WriteSplitFile("route.txt", kThreeSplits);
    }
    std::string path_;
};

TEST_F(GridLayout, HiddenBestSplitsDropTheFirstColumnAndNarrowTheWindow) {
    app->HideBestSplitsMenuClick();
    Open(path_);
    EXPECT_EQ(std::tuple(Cell(0, 0, 0), Cell(0, 0, 1)), std::tuple(nullptr, nullptr));
    EXPECT_EQ(Cell(0, 1, 0)->Frame().x, 67);  // the first stored run takes its place
    // 287 - 55 would fit the grid, but the window keeps the width of its menu bar.
    EXPECT_EQ(app->window->Frame().width, AppDelegate::kInitialWidth);
}

TEST_F(GridLayout, TheAttemptsPanelHidesWithBothSplitColumnsOrByItsOwnFlag) {
    Open(path_);
    std::vector<bool> hidden = {app->AttemptsPanel->Hidden()};
    for (auto command :
         {&AppDelegate::HideBestSplitsMenuClick, &AppDelegate::HideCurrentSplitsMenuClick,
          &AppDelegate::HideBestSplitsMenuClick, &AppDelegate::HideAttemptsCounterMenuClick}) {
        (app.get()->*command)();
        hidden.push_back(app->AttemptsPanel->Hidden());
    }
    EXPECT_EQ(hidden, (std::vector<bool>{false, false, true, false, true}));
}

TEST_F(GridLayout, AFileWithoutRowsLeavesNoSplitLabelsAndOneThatCannotBeOpenedLeavesTheOpenFile) {
    Open(path_);
    const tk::Rect frame = app->window->Frame();
    Open(WriteSplitFile("empty.txt", "0\t0.00\nDesc\tBest Splits\tRun\n\n\n"));
    ASSERT_EQ(DisplayGrid.size(), 1u);  // the header row only
    EXPECT_EQ(app->ScrollBoxContent->LabelCount(), 0u);
    Open(Root() + "missing.txt");  // refused before loading: the open file stays
    EXPECT_EQ(
        std::tuple(DisplayGrid.size(), TimerData->GetColumnCount(), app->window->Frame().MaxY()),
        std::tuple(1u, 3u, frame.MaxY()));
}

TEST_F(GridLayout, AGridTallerThanTheScreenScrollsInsideAWindowThatStaysOnTheScreen) {
    // The visible area leaves out a 40-point panel at the bottom of the 1080-point screen.
    tk::Screen::OverrideMain(kScreen, {0, 40, 1920, 1000});
    std::string text = "0\t0.00\nLong\tBest Splits\tRun\n";
    for (int i = 0; i < 200; ++i) {
        text += "Split " + std::to_string(i) + "\t1.00\t2.00\n\t\t\n";
    }
    const std::string path = WriteSplitFile("long.txt", text);
    const std::array<std::tuple<double, double, double>, 3> cases = {{
        {1000, 1000, 960},   // keeps its top edge and reaches down to the panel
        {1040, 1040, 1000},  // at the top of the visible area: all of it
        {150, 1040, 1000},   // too little room below: moves up to the top of the visible area
    }};  // the window's top edge before the file is opened, then its top and height after
    for (const auto& [top, expectedTop, expectedHeight] : cases) {
        tk::Rect frame = app->window->Frame();
        frame.y = top - frame.height;
        app->window->SetFrame(frame, /*display=*/true);
        Open(path);
        const tk::Rect placed = app->window->Frame();
        EXPECT_EQ(std::tuple(placed.MaxY(), placed.height, app->ScrollBox->Frame().height),
                  std::tuple(expectedTop, expectedHeight,
                             expectedHeight - 22 - AppDelegate::kHeaderPanelHeight))
            << top;
    }
}
