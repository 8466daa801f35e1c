// The route commands of the window: Edit Splits (only while no run is in progress), notes
// shown as tips, and the last split file reopened at launch.
#include <QApplication>
#include <QTimer>

#include "QtEvents.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "ShellFixture.h"

namespace {

using RouteCommands = ShellTest;

}  // namespace

TEST_F(RouteCommands, EditSplitsIsOffWithoutAFileAndWhileARunIsInProgress) {
    Launch();
    std::vector<bool> enabled;
    const auto look = [&] {
        app->OnUpdateTimer();
        enabled.push_back(app->EditSplitsMenuItem->Enabled());
    };
    look();
    OpenRoute();
    look();
    Press(&AppDelegate::DoSplitMenuClick);  // start
    look();
    app->PauseResumeMenuClick();  // paused before the first split: nothing of the run to lose
    look();
    app->PauseResumeMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    app->PauseResumeMenuClick();  // paused after a split
    look();
    app->ResetTimerMenuClick();
    look();
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false, true, false, true}));
}

// Cancel, and what OK writes, are the editor's own tests; the window redraws its grid.
TEST_F(RouteCommands, EditSplitsRedrawsTheGridAndTheTitle) {
    EnsureTestApp();
    Launch();
    OpenRoute();
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<RouteEditorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->model()->insertSplit(3);
        editor->model()->setDescription("Any%");
        editor->accept();
    });
    app->EditSplitsMenuClick();
    EXPECT_EQ(std::tuple(DisplayGrid.size(), RowHeader(3)->Text(), app->window->Title()),
              std::tuple(5u, "Split 4", "Quorvel - route.txt - Any%"));
}

TEST_F(RouteCommands, ANoteShowsAsTheTipOfItsCell) {
    Launch();
    OpenRoute("0\t0.00\nRoute\tBest Splits\tPB\nOne\t10.00\t11.00\n\t\tjump late|rthen|tleft\n");
    EXPECT_EQ(std::tuple(Cell(0, 1)->ToolTip(), Cell(0, 0)->ToolTip()),
              std::tuple("jump late\nthen\tleft", ""));
}

// Once gone, the empty window comes without a word.
TEST_F(RouteCommands, TheLastSplitFileIsOpenedAgainAtLaunch) {
    Launch();
    const std::string path = OpenRoute();
    Quit();
    Launch();
    EXPECT_EQ(std::tuple(TimerData->SplitFileName, TimerData->GetRowCount()), std::tuple(path, 3u));
    std::filesystem::remove(path);
    testing::internal::CaptureStderr();
    Launch();
    EXPECT_EQ(std::tuple(testing::internal::GetCapturedStderr(), TimerData->GetColumnCount(),
                         app->window->Title()),
              std::tuple("", 0u, "Quorvel"));
}
