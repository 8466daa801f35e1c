// The shell keeps a runner's results: defaults that keep them, questions before Reset, Save
// Run and Quit lose them, foreign files refused, failures shown in the window, and the faults
// found in everyday use.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "QtEvents.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "SafetyQuestions.h"
#include "ShellFixture.h"
#include "SplitFileCheck.h"

namespace {

class LosingResults : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        SetAnswererForTests([this](const Question& question) {
            asked_.push_back(question.Text);
            return answer_;
        });
    }
    void TearDown() override {
        SetAnswererForTests(nullptr);
        ShellTest::TearDown();
    }
    // Runs the route to the end with the given split times (run time, hundredths).
    void RunTo(const std::vector<std::int32_t>& splits) {
        app->DoSplitMenuClick();
        std::int32_t at = 0;
        for (const std::int32_t time : splits) {
            FakeClock::Advance(time - at);
            at = time;
            app->DoSplitMenuClick();
        }
    }

    Answer answer_ = Answer::Cancel;
    std::vector<std::string> asked_;
};

constexpr char kNoAutosave[] = "[Misc]\nAutoSaveBestRun=N\nAutoSaveBestSplits=N\n";

}  // namespace

TEST_F(LosingResults, ResetAsksBeforeThrowingAwayANewPersonalBestAndSaveKeepsIt) {
    Launch(kNoAutosave);
    const std::string path = WriteSplitFile("route.txt", kThreeSplits);
    Open(path);
    RunTo({1100, 2200, 3000});  // 30.00 against the kept 36.00
    answer_ = Answer::Cancel;
    app->ResetTimerMenuClick();
    ASSERT_EQ(asked_, std::vector<std::string>{"Save your new personal best before resetting?"});
    EXPECT_EQ(TimerData->GetNextSplitNumber(), 3u);  // Cancel: nothing reset
    answer_ = Answer::Save;
    app->ResetTimerMenuClick();
    EXPECT_NE(ReadFile(path).find("Three\t8.00\t33.00\t30.00"), std::string::npos)
        << ReadFile(path);
    EXPECT_EQ(TimerData->GetCurrentTime(), 0);
}

TEST_F(LosingResults, TheOptionTurnsTheQuestionsOffAndNothingToLoseAsksNothing) {
    Launch(std::string(kNoAutosave) + "AskBeforeLosingResults=N\n");
    EXPECT_EQ(app->AskBeforeLosingResultsMenuItem->State(), 0);
    Open(WriteSplitFile("route.txt", kThreeSplits));
    RunTo({1100, 2200, 3000});
    app->ResetTimerMenuClick();
    app->AskBeforeLosingResultsMenuClick();  // on again
    RunTo({1200, 2400, 3600});               // a tie with the kept run, no better segment
    app->ResetTimerMenuClick();
    EXPECT_TRUE(asked_.empty());
}

TEST_F(LosingResults, SaveRunAsksBeforeASlowerRunReplacesTheKeptRun) {
    Launch(kNoAutosave);
    const std::string path = WriteSplitFile("route.txt", kThreeSplits);
    Open(path);
    RunTo({1200, 2400, 3626});
    answer_ = Answer::Cancel;
    app->SaveSplitsMenuClick();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0],
              "This run (36.26) is slower than the kept run (36.00). Replace the kept run?");
    EXPECT_NE(ReadFile(path).find("Three\t10.00\t33.00\t36.00"), std::string::npos);
    answer_ = Answer::Replace;
    app->SaveSplitsMenuClick();
    EXPECT_NE(ReadFile(path).find("Three\t10.00\t33.00\t36.26"), std::string::npos);
}

TEST_F(LosingResults, FilesThatAreNotSplitFilesAreRefusedAndNeverWritten) {
    Launch();
    const std::string route = WriteSplitFile("route.txt", kThreeSplits);
    Open(route);
    for (const std::string& text :
         {std::string("<?xml version=\"1.0\"?>\n<Run>\n</Run>\n"),
          std::string("{\"title\": \"Any%\"}\n"), std::string("# README\n\nText.\n\n"),
          std::string("0\t0\nD\tBest\0Splits\nA\t1.00\n\n", 28),
          std::string("0\t0\nD\tBest Splits\tPB\nA\t1.00\t2.00\t3.00\n\t\n")}) {
        const std::string path = WriteSplitFile("other.lss", text);
        Open(path);
        Press(&AppDelegate::DoSplitMenuClick);  // the first Space after the open
        EXPECT_EQ(ReadFile(path), text);
        EXPECT_EQ(TimerData->SplitFileName, route);  // the open file stays
        app->ResetTimerMenuClick();
    }
    EXPECT_EQ(asked_.front(), "other.lss was not opened.");
}

TEST_F(LosingResults, ASplitRefusedInTheLeadInIsNotTakenForAKeptRun) {
    Launch();
    const std::string path =
        WriteSplitFile("one.txt", "5\t-1.00\nD\tBest Splits\tPB\nOnly\t10.00\t10.00\n\t\t\n");
    Open(path);
    app->DoSplitMenuClick();                // attempt 6 starts in the lead-in
    Press(&AppDelegate::DoSplitMenuClick);  // refused by the engine
    FakeClock::Advance(200);
    app->PauseResumeMenuClick();  // pauses the run, no new attempt
    EXPECT_FALSE(TimerData->IsTimerRunning());
    EXPECT_EQ(TimerData->GetTotalAttemptCount(), 6);
    EXPECT_EQ(ReadFile(path).substr(0, 2), "6\t");
}

TEST_F(LosingResults, OpenSplitStateOnAFileThatIsNoSplitStateChangesNothing) {
    Launch();
    const std::string route = WriteSplitFile("route.txt", kThreeSplits);
    Open(route);
    tk::OpenPanel::SetTestHook([&](const tk::OpenPanel&) { return std::optional(route); });
    app->OpenSplitStateMenuClick();
    EXPECT_EQ(TimerData->SplitFileName, route);
    EXPECT_EQ(TimerData->GetRowCount(), 3u);
    EXPECT_EQ(asked_.back(), "route.txt was not opened.");
}

TEST_F(LosingResults, AFailedSplitStateSaveShowsInTheTitle) {
    Launch();
    const std::string route = WriteSplitFile("route.txt", kThreeSplits);
    Open(route);
    std::filesystem::create_directory(TimerData->SplitStatePath());  // a folder in the way
    Press(&AppDelegate::DoSplitMenuClick);
    app->SaveSplitStateMenuClick();
    app->OnUpdateTimer();  // the next tick shows it
    EXPECT_EQ(app->window->Title(), "Quorvel - route.txt - Route (not saved!)");
}

TEST_F(LosingResults, QuitAfterAFailedSaveOffersRetryQuitAnywayAndCancel) {
    Launch();
    const std::string route = WriteSplitFile("route.txt", kThreeSplits);
    Open(route);
    ::chmod(route.c_str(), 0444);
    app->DoSplitMenuClick();  // the attempt count cannot be saved
    answer_ = Answer::Cancel;
    EXPECT_FALSE(app->MayQuit());
    EXPECT_EQ(asked_.back(), "Your run could not be saved (the file is write-protected).");
    answer_ = Answer::QuitAnyway;
    EXPECT_TRUE(app->MayQuit());
    EXPECT_EQ(ReadFile(route), kThreeSplits);
}

TEST_F(LosingResults, EveryCheckItemShowsItsBoxFromTheStart) {
    Launch();
    for (tk::MenuItem* item :
         {app->HorizontalModeMenuItem, app->HideBestSplitsMenuItem, app->AutosaveBestRunMenuItem,
          app->GlobalHotkeysMenuItem, app->AskBeforeLosingResultsMenuItem}) {
        EXPECT_TRUE(item->Checkable()) << item->Title();
    }
}

TEST_F(LosingResults, TheWindowStaysOnTheScreenAndWideEnoughForItsMenuBar) {
    for (const char* left : {"2147483647", "3000", "-2147483648"}) {
        app.reset();
        Launch(std::string("[Window]\nLeft=") + left + "\nTop=2147483647\nHideBestSplits=Y\n");
        const tk::Rect frame = app->window->Frame();
        EXPECT_GE(frame.x, 0) << left;
        EXPECT_LE(frame.MaxX(), kScreen.width) << left;
        EXPECT_GE(frame.y, 0) << left;
        Open(WriteSplitFile("two.txt", "0\t0\nD\tBest Splits\nA\t1.00\n\t\n"));
        EXPECT_GE(app->window->Frame().width, AppDelegate::kInitialWidth) << left;
    }
}

TEST_F(LosingResults, QuitAsksBeforeLeavingANewPersonalBestUnsaved) {
    Launch(kNoAutosave);
    const std::string path = WriteSplitFile("route.txt", kThreeSplits);
    Open(path);
    RunTo({1100, 2200, 3000});
    answer_ = Answer::Cancel;
    EXPECT_FALSE(app->MayQuit());
    ASSERT_EQ(asked_, std::vector<std::string>{"Save your new personal best before quitting?"});
    answer_ = Answer::Save;
    EXPECT_TRUE(app->MayQuit());
    EXPECT_NE(ReadFile(path).find("Three\t8.00\t33.00\t30.00"), std::string::npos);
    asked_.clear();
    EXPECT_TRUE(app->MayQuit());  // saved: nothing left to lose
    EXPECT_TRUE(asked_.empty());
}

TEST_F(LosingResults, ASplitFileWithMistakesCanBeMendedInTheEditor) {
    EnsureTestApp();  // the editor is a real dialog
    Launch();
    const std::string path = WriteSplitFile(
        "route.txt",
        "3\t0.00\nAny%\tBest Splits\tPB\nA\t10.00\t4m00s\n\t\t\nB\t20.00\t30.00\n\t\t\n");
    answer_ = Answer::Cancel;
    Open(path);
    EXPECT_EQ(asked_.back(), "route.txt was not opened.");
    EXPECT_EQ(TimerData->GetColumnCount(), 0u);  // Cancel: nothing read

    answer_ = Answer::OpenInEditor;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<RouteEditorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->model()->setData(dialog->model()->index(0, 0), "Start");
        dialog->accept();
    });
    Open(path);
    EXPECT_EQ(TimerData->SplitFileName, path);
    EXPECT_EQ(TimerData->GetFullRowHeader(0), "Start");
    EXPECT_TRUE(CheckSplitFile(path).IsOk()) << ReadFile(path);  // written mended
}
