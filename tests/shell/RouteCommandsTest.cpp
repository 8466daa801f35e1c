// The route commands of the window: Edit Splits (only while no run is in progress) and New
// Route, notes shown as tips, and the last split file reopened at launch.
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

TEST_F(RouteCommands, EditSplitsWritesTheEditedRouteOnOkOnlyAndRedrawsTheGrid) {
    EnsureTestApp();  // the editor is a real dialog, not shown
    Launch();
    const std::string path = OpenRoute();
    bool ok = false;
    onDialog_ = [&ok](QDialog& dialog) {
        auto& editor = dynamic_cast<RouteEditorDialog&>(dialog);
        editor.model()->insertSplit(3);
        editor.model()->setDescription("Any%");
        return ok;
    };
    app->EditSplitsMenuClick();
    EXPECT_EQ(std::tuple(ReadFile(path), DisplayGrid.size()), std::tuple(kThreeSplits, 4u));
    ok = true;
    app->EditSplitsMenuClick();
    EXPECT_EQ(
        std::tuple(DisplayGrid.size(), RowHeader(3)->Text(), app->window->Title(),
                   ReadFile(path).substr(0, 24)),
        std::tuple(5u, "Split 4", "Quorvel - route.txt - Any%", "12\t0.00\nAny%\tBest Splits"));
}

// A run cannot start behind the editor any more; should one all the same, its OK is refused
// aloud and the editor comes back with the edits.
TEST_F(RouteCommands, AHotkeyBehindTheEditorIsDroppedAndARefusedOkKeepsTheEdits) {
    EnsureTestApp();
    Launch();
    OpenRoute();
    std::vector<std::string> shown;  // the first split's name each time the editor shows
    onDialog_ = [&](QDialog& dialog) {
        auto& editor = dynamic_cast<RouteEditorDialog&>(dialog);
        shown.push_back(editor.route().Splits.at(0).Name);
        if (shown.size() > 1) {
            return false;
        }
        editor.model()->setData(editor.model()->index(0, 0), "Start");
        app->GlobalHotkeyPressed(AppDelegate::kSplitHotkey);
        EXPECT_FALSE(TimerData->IsTimerRunning());
        app->DoSplitMenuClick();
        return true;
    };
    app->EditSplitsMenuClick();
    EXPECT_EQ(shown, (std::vector<std::string>{"One", "Start"}));
    EXPECT_EQ(asked_,
              std::vector<std::string>{"The splits were not changed: a run is in progress."});
    EXPECT_EQ(TimerData->GetFullRowHeader(0), "One");
}

TEST_F(RouteCommands, ANewRouteThatCannotBeWrittenIsSaidAndTheEditorComesBack) {
    EnsureTestApp();
    Launch();
    chosen_ = Root() + "missing/tower.txt";
    int showings = 0;
    onDialog_ = [&showings](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "New Route: tower.txt");
        return ++showings == 1;
    };
    app->NewRouteMenuClick();
    EXPECT_EQ(std::tuple(choices_.at(0).Name, showings, asked_.size(), TimerData->GetColumnCount()),
              std::tuple("New Route.txt", 2, 1u, 0u));
    EXPECT_EQ(asked_.at(0).substr(0, 46), "The split file tower.txt could not be written ");
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
