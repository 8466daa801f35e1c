// Menu commands: the input lockout, the run commands against the engine's states, saving,
// and the report of a failed save.
#include "ShellFixture.h"

class Commands : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch(kNoAutosaveNoQuestions);
        path_ = OpenRoute();
    }
    std::string path_;
};

// The lockout after the last command is the global hotkeys test's, with the menu too.
TEST_F(Commands, ACommandWithinAThirdOfASecondOfTheLaunchIsIgnored) {
    Launch();
    Open(path_);
    FakeClock::Advance(-40 + 32);  // 0.32 s after launch
    app->DoSplitMenuClick();
    EXPECT_FALSE(TimerData->IsTimerRunning());
    FakeClock::Advance(1);
    app->DoSplitMenuClick();
    EXPECT_TRUE(TimerData->IsTimerRunning());
}

TEST_F(Commands, AfterTheLastSplitTheRunCommandsDoNothing) {
    app->DoSplitMenuClick();
    for (int i = 0; i < 3; ++i) {
        Press(&AppDelegate::DoSplitMenuClick);
    }
    ASSERT_EQ(TimerData->GetNextSplitNumber(), 3u);
    const std::int32_t final = TimerData->GetCurrentTime();
    for (auto command : {&AppDelegate::DoSplitMenuClick, &AppDelegate::UndoSplitMenuClick,
                         &AppDelegate::SkipSplitMenuClick, &AppDelegate::PauseResumeMenuClick}) {
        Press(command);
    }
    EXPECT_EQ(std::tuple(TimerData->IsTimerRunning(), TimerData->GetCurrentTime(),
                         TimerData->GetSessionAttemptCount(), Status()),
              std::tuple(false, final, 1, "DONE!"));
}

TEST_F(Commands, SkipAndUndoWhilePausedChangeNothing) {
    app->DoSplitMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    app->PauseResumeMenuClick();
    std::vector<unsigned> next;
    for (auto command : {&AppDelegate::SkipSplitMenuClick, &AppDelegate::UndoSplitMenuClick,
                         &AppDelegate::PauseResumeMenuClick, &AppDelegate::SkipSplitMenuClick,
                         &AppDelegate::UndoSplitMenuClick}) {
        Press(command);
        next.push_back(TimerData->GetNextSplitNumber());
    }
    EXPECT_EQ(next, (std::vector<unsigned>{1, 1, 1, 2, 1}));
    EXPECT_EQ(RowHeader(1)->TextColor(), tk::Color::Cyan());
}

TEST_F(Commands, SavingWhileTheRunIsTimedDoesNothing) {
    app->DoSplitMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    const std::string before = ReadFile(path_);
    app->SaveSplitsMenuClick();
    app->SaveBestSplitsMenuClick();
    EXPECT_EQ(std::tuple(ReadFile(path_), TimerData->GetNextSplitNumber()), std::tuple(before, 1u));
}

// A route with no stored run: the run is kept (in a stored run made for it) or the window says
// it was not, never neither.
TEST_F(Commands, SaveRunThatKeepsNothingSaysSo) {
    Open(WriteSplitFile("bare.txt", "0\t0.00\nRoute\tBest Splits\nOne\t10.00\n\t\n"));
    app->DoSplitMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    app->SaveSplitsMenuClick();
    const bool kept = TimerData->GetColumnCount() == 3 && TimerData->GetDataCellTimer(0, 1) == 34;
    EXPECT_EQ(asked_, kept ? std::vector<std::string>{}
                           : std::vector<std::string>{"This run was not kept."});
}

TEST_F(Commands, RunCommandsWithoutASplitFileDoNothing) {
    Launch();
    app->DoSplitMenuClick();
    app->PauseResumeMenuClick();
    app->ResetTimerMenuClick();
    app->SaveSplitsMenuClick();
    EXPECT_FALSE(TimerData->IsTimerRunning());
}

TEST_F(Commands, AFailedSaveShowsInTheTitleUntilASaveSucceeds) {
    const std::string folder = Root() + "gone/";
    std::filesystem::create_directories(folder);
    const std::string path = WriteSplitFile("gone/route.txt", kThreeSplits);
    Open(path);
    std::filesystem::remove_all(folder);
    testing::internal::CaptureStderr();
    app->DoSplitMenuClick();  // the start rewrites the file: it fails
    app->ResetTimerMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);  // fails again: reported once
    EXPECT_EQ(std::tuple(testing::internal::GetCapturedStderr(), app->window->Title()),
              std::tuple("Quorvel: could not save the split file " + path +
                             ": No such file or directory\n",
                         "Quorvel - route.txt - Route (not saved!)"));
    app->History().WaitUntilWritten();  // the history's writes failed too
    std::filesystem::create_directories(folder);
    app->PauseResumeMenuClick();
    app->FlushRunState();            // the split state is written again
    app->SaveBestSplitsMenuClick();  // and the split file; the attempts' history was not
    EXPECT_EQ(app->window->Title(), "Quorvel - route.txt - Route (history not saved!)");
}
