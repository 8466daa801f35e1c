// The route commands of the window: Edit Splits (only while no run is in progress), notes
// shown as tips, and the last split file reopened at launch.
#include <QApplication>
#include <QTimer>

#include "QtEvents.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "ShellFixture.h"

namespace {

class RouteCommands : public ShellTest {
  protected:
    // Runs Edit Splits; once the editor is up, act is done on it.
    void EditSplits(const std::function<void(RouteEditorDialog&)>& act) {
        EnsureTestApp();
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (auto* editor =
                    qobject_cast<RouteEditorDialog*>(QApplication::activeModalWidget())) {
                shown = true;
                act(*editor);
            }
        });
        app->EditSplitsMenuClick();
        EXPECT_TRUE(shown);
    }
    bool EditSplitsEnabled() {
        app->OnUpdateTimer();
        return app->EditSplitsMenuItem->Enabled();
    }
};

}  // namespace

TEST_F(RouteCommands, EditSplitsIsOffWithoutAFileAndWhileARunIsInProgress) {
    Launch();
    EXPECT_FALSE(EditSplitsEnabled());
    OpenRoute();
    EXPECT_TRUE(EditSplitsEnabled());
    Press(&AppDelegate::DoSplitMenuClick);  // start
    EXPECT_FALSE(EditSplitsEnabled());
    app->PauseResumeMenuClick();  // paused before the first split: nothing of the run to lose
    EXPECT_TRUE(EditSplitsEnabled());
    app->PauseResumeMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    app->PauseResumeMenuClick();  // paused after a split
    EXPECT_FALSE(EditSplitsEnabled());
    app->ResetTimerMenuClick();
    EXPECT_TRUE(EditSplitsEnabled());
}

TEST_F(RouteCommands, EditSplitsSavesTheRouteAndRedrawsTheGridAndCancelChangesNothing) {
    Launch();
    const std::string path = OpenRoute();
    EditSplits([](RouteEditorDialog& editor) {
        editor.model()->removeSplit(0);
        editor.reject();
    });
    EXPECT_EQ(TimerData->GetRowCount(), 3u);
    EXPECT_EQ(ReadFile(path), kThreeSplits);
    EditSplits([](RouteEditorDialog& editor) {
        editor.model()->insertSplit(3);
        editor.model()->setDescription("Any%");
        editor.accept();
    });
    EXPECT_EQ(TimerData->GetRowCount(), 4u);
    EXPECT_EQ(DisplayGrid.size(), 5u);
    EXPECT_EQ(RowHeader(3)->Text(), "Split 4");
    EXPECT_NE(ReadFile(path).find("Split 4\t0.00\t0.00\t0.00\n"), std::string::npos);
    EXPECT_EQ(app->window->Title(), "Quorvel - route.txt - Any%");
}

TEST_F(RouteCommands, ANoteShowsAsTheTipOfItsCell) {
    Launch();
    OpenRoute("0\t0.00\nRoute\tBest Splits\tPB\nOne\t10.00\t11.00\n\t\tjump late|rthen|tleft\n");
    EXPECT_EQ(Cell(0, 1)->ToolTip(), "jump late\nthen\tleft");
    EXPECT_EQ(Cell(0, 0)->ToolTip(), "");
}

// Once gone, the empty window comes without a word.
TEST_F(RouteCommands, TheLastSplitFileIsOpenedAgainAtLaunch) {
    Launch();
    const std::string path = OpenRoute();
    Quit();
    Launch();
    EXPECT_EQ(TimerData->SplitFileName, path);
    EXPECT_EQ(TimerData->GetRowCount(), 3u);
    std::filesystem::remove(path);
    testing::internal::CaptureStderr();
    Launch();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(TimerData->GetColumnCount(), 0u);
    EXPECT_EQ(app->window->Title(), "Quorvel");
}
