// The split-state commands and crash recovery: the autosave of the run after each command and
// every five seconds while it runs, the removal once the run is over, the question asked when
// a split file with an unfinished run is opened, and the start of a new attempt after a kept
// run.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ShellFixture.h"

class SplitState : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Launch(kPartsBehaviour);
        path_ = WriteSplitFile("route.txt", kThreeSplits);
        state_ = Root() + "route-SplitState.txt";
        Open(path_);
    }
    void TearDown() override {
        tk::Alert::SetTestHook(nullptr);
        ShellTest::TearDown();
    }

    bool StateExists() const { return std::filesystem::exists(state_); }
    // The state file's second line: run time and done splits.
    std::string SavedRun() const {
        const std::string text = ReadFile(state_);
        const std::size_t first = text.find('\n');
        return first == std::string::npos
                   ? ""
                   : text.substr(first + 1, text.find('\n', first + 1) - first - 1);
    }
    // Answers the recovery question with the given button and records what was asked.
    void Answer(int button) {
        tk::Alert::SetTestHook([this, button](const tk::Alert& alert) {
            questions_.push_back(alert.MessageText());
            return button;
        });
    }
    // Starts a run and makes two splits 0.34 s apart: run time 0.68, two splits done.
    void PlayTwoSplits() {
        Press(&AppDelegate::DoSplitMenuClick);
        Press(&AppDelegate::DoSplitMenuClick);
        Press(&AppDelegate::DoSplitMenuClick);
    }

    std::string path_;
    std::string state_;
    std::vector<std::string> questions_;
};

TEST_F(SplitState, EveryCommandThatChangesTheRunSavesIt) {
    // The run as each command leaves it on disk, the file removed before each.
    const auto savedAfter = [this](const std::function<void()>& command) {
        std::filesystem::remove(state_);
        command();
        app->FlushRunState();
        return SavedRun();
    };
    EXPECT_EQ(savedAfter([&] { app->DoSplitMenuClick(); }), "0.00\t0");
    EXPECT_EQ(savedAfter([&] { Press(&AppDelegate::DoSplitMenuClick); }), "0.34\t1");
    EXPECT_EQ(savedAfter([&] { Press(&AppDelegate::SkipSplitMenuClick); }), "0.68\t2");
    EXPECT_EQ(savedAfter([&] { Press(&AppDelegate::UndoSplitMenuClick); }), "1.02\t1");
    FakeClock::Advance(10);
    EXPECT_EQ(savedAfter([&] { app->PauseResumeMenuClick(); }), "1.12\t1");
    FakeClock::Advance(700);
    EXPECT_EQ(savedAfter([&] { app->PauseResumeMenuClick(); }), "1.12\t1");
    EXPECT_EQ(ReadFile(state_), "QVLSplitState\troute.txt\n1.12\t1\n0.34\n");

    std::filesystem::remove(state_);
    FakeClock::Advance(34);
    app->DoSplitMenuClick();
    EXPECT_FALSE(StateExists());  // the split is drawn first; the disk comes after
    app->ResetTimerMenuClick();   // a reset forgets a save still waiting
    app->FlushRunState();
    EXPECT_FALSE(StateExists());
}

TEST_F(SplitState, WhileTheRunRunsItIsSavedEveryFiveSeconds) {
    app->DoSplitMenuClick();
    app->FlushRunState();
    FakeClock::Advance(499);
    app->OnUpdateTimer();
    EXPECT_EQ(SavedRun(), "0.00\t0");
    FakeClock::Advance(1);
    app->OnUpdateTimer();
    EXPECT_EQ(SavedRun(), "5.00\t0");
    Press(&AppDelegate::DoSplitMenuClick);  // a split counts as a save: the next is 5 s later
    FakeClock::Advance(499);
    app->OnUpdateTimer();
    EXPECT_EQ(SavedRun(), "5.34\t1");
    FakeClock::Advance(1);
    app->OnUpdateTimer();
    EXPECT_EQ(SavedRun(), "10.34\t1");

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
    app->applicationWillTerminate();
    SplitStateHeader header;
    ASSERT_TRUE(ReadSplitStateHeader(state_, &header));
    EXPECT_EQ(header.RunTime, 268);
    EXPECT_EQ(header.NextSplit, 2);
}

TEST_F(SplitState, ResetFinishAndKeepRemoveTheStateFile) {
    PlayTwoSplits();
    ASSERT_TRUE(StateExists());
    app->ResetTimerMenuClick();
    EXPECT_FALSE(StateExists());

    PlayTwoSplits();
    Press(&AppDelegate::DoSplitMenuClick);  // the last split: finished, not kept
    ASSERT_EQ(TimerData->GetNextSplitNumber(), 3u);
    EXPECT_FALSE(StateExists());

    app->SaveSplitStateMenuClick();  // a state written by hand after the finish
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
    EXPECT_TRUE(TimerData->IsTimerRunning());  // the run goes on untouched
    EXPECT_EQ(TimerData->GetCurrentTime(), 668);
    app->ResetTimerMenuClick();
    EXPECT_TRUE(StateExists());

    Launch();  // no split file: nothing to save
    app->SaveSplitStateMenuClick();
    EXPECT_FALSE(std::filesystem::exists(Folder() + "Timer-SplitState.txt"));
}

TEST_F(SplitState, OpenSplitStateBringsTheRunBackPausedAndSplitResumesIt) {
    PlayTwoSplits();
    Launch();  // after a crash: the application starts again
    std::string asked;
    tk::OpenPanel::SetTestHook([&](const tk::OpenPanel& panel) -> std::optional<std::string> {
        asked = panel.Directory();
        return state_;
    });
    app->OpenSplitStateMenuClick();
    EXPECT_EQ(asked, Folder());
    EXPECT_FALSE(TimerData->IsTimerRunning());
    EXPECT_EQ(TimerData->GetCurrentTime(), 68);
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 2u);
    EXPECT_EQ(Cell(1, 3)->Text(), "0.68");
    EXPECT_EQ(app->CurrentTimeLabel->Text(), "0.6");
    EXPECT_EQ(app->TotalAttemptLabel->Text(), "13");

    FakeClock::Advance(500);  // resumed where it was saved, not where the clock is now
    app->DoSplitMenuClick();
    Press(&AppDelegate::DoSplitMenuClick);
    EXPECT_EQ(TimerData->GetDataCellTimer(2, 3), 102);
    EXPECT_EQ(TimerData->GetTotalAttemptCount(), 13);
}

TEST_F(SplitState, DiscardRemovesTheStateAndKeepsTheFreshLoadUntouchedByHotkeys) {
    PlayTwoSplits();
    Launch();  // after a crash: the application starts again
    bool startedBehindTheQuestion = true;
    tk::Alert::SetTestHook([&](const tk::Alert& alert) {
        questions_.push_back(alert.MessageText());
        FakeClock::Advance(40);  // a global hotkey pressed while the question is up
        app->GlobalHotkeyPressed(AppDelegate::kSplitHotkey);
        startedBehindTheQuestion = TimerData->IsTimerRunning();
        return 1;
    });
    Open(path_);
    EXPECT_FALSE(startedBehindTheQuestion);
    EXPECT_FALSE(TimerData->IsTimerRunning());
    EXPECT_FALSE(StateExists());
    EXPECT_EQ(TimerData->GetCurrentTime(), 0);
    EXPECT_EQ(TimerData->GetDataCellTimer(0, 3), 0);
    Open(path_);
    EXPECT_EQ(questions_.size(), 1u);  // asked once
}

TEST_F(SplitState, ClosingTheQuestionWithoutAnAnswerKeepsTheRunForNextTime) {
    PlayTwoSplits();
    Launch();  // after a crash: the application starts again
    Answer(tk::Alert::kClosed);
    Open(path_);
    EXPECT_TRUE(StateExists());
    EXPECT_EQ(TimerData->GetCurrentTime(), 0);
    Answer(0);
    Open(path_);
    EXPECT_EQ(questions_.size(), 2u);
    EXPECT_EQ(TimerData->GetCurrentTime(), 68);
}

TEST_F(SplitState, NoQuestionForAnotherSplitFileATimeOfZeroOrWithTheAutosaveOff) {
    struct Case {
        const char* why;
        const char* state;
        bool autosave;
    };
    const Case cases[] = {
        {"another split file", "QVLSplitState\tother.txt\n5.00\t1\n0.50\n", true},
        {"a time of 0", "QVLSplitState\troute.txt\n0.00\t1\n0.50\n", true},
        {"the autosave off", "QVLSplitState\troute.txt\n5.00\t1\n0.50\n", false},
        {"not a split state", "12\t0.00\n", true},
    };
    Answer(0);
    for (const Case& c : cases) {
        Launch();
        if (!c.autosave) {
            app->AutosaveSplitStateMenuClick();
        }
        WriteFile(state_, c.state);
        Open(path_);
        EXPECT_TRUE(questions_.empty()) << c.why;
        EXPECT_EQ(TimerData->GetCurrentTime(), 0) << c.why;
        EXPECT_EQ(ReadFile(state_), c.state) << c.why;
    }
}

// After a kept run, Pause / Resume starts a new attempt; after a refused Save Run the paused
// run resumes.
TEST_F(SplitState, PauseResumeAfterSaveRunStartsANewAttemptAndAfterARefusedOneResumes) {
    PlayTwoSplits();
    Press(&AppDelegate::DoSplitMenuClick);
    app->SaveSplitsMenuClick();
    app->PauseResumeMenuClick();
    EXPECT_TRUE(TimerData->IsTimerRunning());
    EXPECT_EQ(TimerData->GetCurrentTime(), 0);
    EXPECT_EQ(TimerData->GetSessionAttemptCount(), 2);

    FakeClock::Advance(100);
    app->PauseResumeMenuClick();  // paused at 1.00 before any split: nothing to keep
    app->SaveSplitsMenuClick();
    app->DoSplitMenuClick();
    EXPECT_EQ(TimerData->GetCurrentTime(), 100);
    EXPECT_EQ(TimerData->GetSessionAttemptCount(), 2);
}
