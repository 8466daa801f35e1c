// The split-state commands and crash recovery: the run saved after each command and every five
// seconds while it runs, removed once it is over, and the question asked when a split file
// with an unfinished run is opened. The kill and the resumed run are tested end to end.
#include "QtEvents.h"
#include "ResultGuard.h"
#include "ShellFixture.h"

class SplitState : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        EnsureTestApp();  // the split state is saved from the main loop
        Launch(kNoAutosaveNoQuestions);
        path_ = OpenRoute();
        state_ = Root() + "route-SplitState.txt";
    }

    bool StateExists() const { return std::filesystem::exists(state_); }
    // The state file's second line: run time and done splits.
    std::string SavedRun() const {
        const std::string text = ReadFile(state_) + "\n\n";
        const std::size_t second = text.find('\n') + 1;
        return text.substr(second, text.find('\n', second) - second);
    }
    // Starts a run and makes two splits 0.34 s apart: run time 0.68, two splits done.
    void PlayTwoSplits() {
        for (int press = 0; press < 3; ++press) {
            Press(&AppDelegate::DoSplitMenuClick);
        }
    }

    std::string path_;
    std::string state_;
};

TEST_F(SplitState, EveryCommandThatChangesTheRunSavesIt) {
    using A = AppDelegate;
    const struct {
        std::int32_t after;  // hundredths since the last command
        void (AppDelegate::*command)();
        const char* saved;
    } cases[] = {
        {0, &A::DoSplitMenuClick, "0.00\t0"},      {34, &A::DoSplitMenuClick, "0.34\t1"},
        {34, &A::SkipSplitMenuClick, "0.68\t2"},   {34, &A::UndoSplitMenuClick, "1.02\t1"},
        {10, &A::PauseResumeMenuClick, "1.12\t1"}, {700, &A::PauseResumeMenuClick, "1.12\t1"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(state_);
        FakeClock::Advance(c.after);
        (app.get()->*c.command)();
        app->FlushRunState();
        EXPECT_EQ(SavedRun(), c.saved);
    }
    EXPECT_EQ(ReadFile(state_), "QVLSplitState\troute.txt\n1.12\t1\n0.34\n");
    // Drawn first, on disk right after the repaint: a kill a few milliseconds after a split is
    // shown keeps it.
    std::filesystem::remove(state_);
    FakeClock::Advance(34);
    app->DoSplitMenuClick();
    EXPECT_FALSE(StateExists());
    ProcessPendingEvents();
    EXPECT_EQ(SavedRun(), "1.46\t2");
    FakeClock::Advance(34);
    app->DoSplitMenuClick();
    app->ResetTimerMenuClick();  // a reset forgets a save still waiting
    ProcessPendingEvents();
    EXPECT_FALSE(StateExists());
}

TEST_F(SplitState, WhileTheRunRunsItIsSavedEveryFiveSeconds) {
    const auto savedAfterTick = [this](int hundredths) {
        FakeClock::Advance(hundredths);
        app->OnUpdateTimer();
        return SavedRun();
    };
    app->DoSplitMenuClick();
    app->FlushRunState();
    EXPECT_EQ(savedAfterTick(499), "0.00\t0");
    EXPECT_EQ(savedAfterTick(1), "5.00\t0");
    Press(&AppDelegate::DoSplitMenuClick);  // a split counts as a save: the next is 5 s later
    EXPECT_EQ(savedAfterTick(499), "5.34\t1");
    EXPECT_EQ(savedAfterTick(1), "10.34\t1");
    app->PauseResumeMenuClick();  // paused: the clock stands, nothing more to save
    app->FlushRunState();
    std::filesystem::remove(state_);
    FakeClock::Advance(1000);
    app->OnUpdateTimer();
    EXPECT_FALSE(StateExists());
}

TEST_F(SplitState, QuittingMidRunKeepsTheRunAsItStandsAtTheQuit) {
    PlayTwoSplits();
    FakeClock::Advance(200);
    Quit();
    EXPECT_EQ(SavedRun(), "2.68\t2");
}

// A finish removes it too: the end-to-end recovery and second window runs.
TEST_F(SplitState, ResetAndKeepRemoveTheStateFile) {
    PlayTwoSplits();
    ASSERT_TRUE(StateExists());
    app->ResetTimerMenuClick();
    EXPECT_FALSE(StateExists());
    PlayTwoSplits();
    Press(&AppDelegate::DoSplitMenuClick);  // the last split: finished, not kept
    app->SaveSplitStateMenuClick();         // a state written by hand after the finish
    ASSERT_TRUE(StateExists());
    app->SaveSplitsMenuClick();  // the run is kept
    EXPECT_FALSE(StateExists());
}

TEST_F(SplitState, WithTheAutosaveOffOnlyTheCommandSavesAndNothingIsRemoved) {
    app->AutosaveSplitStateMenuClick();
    PlayTwoSplits();
    FakeClock::Advance(600);
    app->OnUpdateTimer();
    EXPECT_FALSE(StateExists());
    app->SaveSplitStateMenuClick();
    EXPECT_EQ(SavedRun(), "6.68\t2");
    EXPECT_EQ(std::tuple(TimerData->IsTimerRunning(), TimerData->GetCurrentTime()),
              std::tuple(true, 668));  // the run goes on untouched
    app->ResetTimerMenuClick();
    EXPECT_TRUE(StateExists());
}

// Resumed where it was saved: the engine's split-state tests and the end-to-end recovery.
TEST_F(SplitState, OpenSplitStateBringsTheRunBackPaused) {
    PlayTwoSplits();
    Launch();  // after a crash: the application starts again
    chosen_ = state_;
    app->OpenSplitStateMenuClick();
    EXPECT_EQ(choices_.at(0).Folder, Folder());
    EXPECT_EQ(std::tuple(TimerData->IsTimerRunning(), TimerData->GetCurrentTime(),
                         TimerData->GetNextSplitNumber(), Cell(1, 3)->Text(),
                         app->CurrentTimeLabel->Text(), app->TotalAttemptLabel->Text()),
              std::tuple(false, 68, 2u, "0.68", "0.6", "13"));
}

// After a crash the split file of the last session opens again at launch, with the question.
// As Open: a split state naming a file that is not a split file loads nothing, and one
// naming a file open in another window opens it read-only.
TEST_F(SplitState, OpenSplitStateChecksAndLocksTheSplitFileItNames) {
    const std::string readme = WriteSplitFile("README.md", "# Notes\n\nNothing to split.\n");
    chosen_ = WriteSplitFile("notes-SplitState.txt", "QVLSplitState\tREADME.md\n5.00\t1\n0.50\n");
    app->OpenSplitStateMenuClick();
    chosen_ = path_;  // no split state at all
    app->OpenSplitStateMenuClick();
    EXPECT_EQ(std::tuple(TimerData->SplitFileName, ReadFile(readme), asked_),
              std::tuple(path_, "# Notes\n\nNothing to split.\n",
                         std::vector<std::string>{"README.md was not opened.",
                                                  "route.txt was not opened."}));

    PlayTwoSplits();
    Open(WriteSplitFile("other.txt", kThreeSplits));  // this window lets go of route.txt
    QuorvelClass first(Root());
    ResultGuard firstWindow(first);
    ASSERT_TRUE(firstWindow.BeforeOpen(path_));  // another window holds it
    chosen_ = state_;
    answer_ = Answer::ReadOnly;
    app->OpenSplitStateMenuClick();
    EXPECT_EQ(std::tuple(TimerData->SplitFileName, TimerData->ReadOnly, TimerData->GetCurrentTime(),
                         asked_.back()),
              std::tuple(path_, true, 68, "route.txt is open in another Quorvel window."));
}

TEST_F(SplitState, DiscardRemovesTheStateAndKeepsTheFreshLoad) {
    PlayTwoSplits();
    answer_ = Answer::Discard;
    Launch();
    EXPECT_EQ(std::tuple(TimerData->IsTimerRunning(), StateExists(), TimerData->GetCurrentTime(),
                         TimerData->GetDataCellTimer(0, 3)),
              std::tuple(false, false, 0, 0));
    Open(path_);
    EXPECT_EQ(asked_.size(), 1u);  // asked once
}

TEST_F(SplitState, ClosingTheQuestionWithoutAnAnswerKeepsTheRunForNextTime) {
    PlayTwoSplits();
    answer_ = Answer::Cancel;  // Escape, or the close box
    Launch();
    EXPECT_EQ(std::tuple(StateExists(), TimerData->GetCurrentTime()), std::tuple(true, 0));
    answer_ = Answer::Resume;
    Open(path_);
    EXPECT_EQ(std::tuple(asked_.size(), TimerData->GetCurrentTime()), std::tuple(2u, 68));
}

TEST_F(SplitState, NoQuestionForAnotherSplitFileATimeOfZeroOrWithTheAutosaveOff) {
    const struct {
        const char *why, *state;
        bool autosave;
    } cases[] = {
        {"another split file", "QVLSplitState\tother.txt\n5.00\t1\n0.50\n", true},
        {"a time of 0", "QVLSplitState\troute.txt\n0.00\t1\n0.50\n", true},
        {"the autosave off", "QVLSplitState\troute.txt\n5.00\t1\n0.50\n", false},
    };
    answer_ = Answer::Resume;
    for (const auto& c : cases) {
        Launch();
        if (!c.autosave) {
            app->AutosaveSplitStateMenuClick();
        }
        WriteFile(state_, c.state);
        Open(path_);
        EXPECT_EQ(std::tuple(asked_.size(), TimerData->GetCurrentTime(), ReadFile(state_)),
                  std::tuple(0u, 0, c.state))
            << c.why;
    }
}
