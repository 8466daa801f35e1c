// The shell keeps a runner's results: defaults that keep them, questions before Reset, Save
// Run and Quit lose them, foreign files refused, failures shown in the window, and the faults
// found in everyday use.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
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

// Each command asks the guard with its own question (the answers are ResultGuard's own tests);
// the option turns the questions off, and a tie with the kept run asks nothing.
TEST_F(LosingResults, ResetSaveRunAndQuitAskBeforeLosingResults) {
    using Command = std::function<bool(AppDelegate&)>;
    const Command reset = [](AppDelegate& a) { return a.ResetTimerMenuClick(), true; };
    const Command save = [](AppDelegate& a) { return a.SaveSplitsMenuClick(), true; };
    const Command quit = [](AppDelegate& a) { return a.MayQuit(); };
    const std::vector<std::int32_t> pb = {1100, 2200, 3000}, tie = {1200, 2400, 3600},
                                    slower = {1200, 2400, 3626};
    const char* const resetting = "Save your new personal best before resetting?";
    const char* const quitting = "Save your new personal best before quitting?";
    const char* const replace =
        "This run (36.26) is slower than the kept run (36.00). Replace the kept run?";
    const char* const kept = "Three\t10.00\t33.00\t36.00";
    const char* const saved = "Three\t8.00\t33.00\t30.00";
    const struct {
        const char* ini;
        std::vector<std::int32_t> run;
        Command command;
        Answer answer;
        const char* asked;  // "" for no question
        const char* lastRow;
    } cases[] = {
        {"", pb, reset, Answer::Save, resetting, saved},
        {"", pb, quit, Answer::Save, quitting, saved},
        {"", slower, save, Answer::Replace, replace, "Three\t10.00\t33.00\t36.26"},
        {"", pb, reset, Answer::Cancel, resetting, kept},
        {"", tie, reset, Answer::Cancel, "", kept},
        {"AskBeforeLosingResults=N\n", pb, reset, Answer::Cancel, "", kept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.asked) + c.ini);
        Launch(std::string(kNoAutosave) + c.ini);
        const std::string path = WriteSplitFile("route.txt", kThreeSplits);
        Open(path);
        RunTo(c.run);
        asked_.clear();
        answer_ = c.answer;
        c.command(*app);
        EXPECT_EQ(asked_, *c.asked == '\0' ? std::vector<std::string>{}
                                           : std::vector<std::string>{c.asked});
        EXPECT_NE(ReadFile(path).find(c.lastRow), std::string::npos) << ReadFile(path);
    }
}

TEST_F(LosingResults, FilesThatAreNotSplitFilesAreRefusedAndNeverWritten) {
    Launch();
    const std::string route = WriteSplitFile("route.txt", kThreeSplits);
    Open(route);
    const std::string text = "<?xml version=\"1.0\"?>\n<Run>\n</Run>\n";
    const std::string path = WriteSplitFile("other.lss", text);
    Open(path);
    Press(&AppDelegate::DoSplitMenuClick);  // the first Space after the open
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_EQ(TimerData->SplitFileName, route);  // the open file stays
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
