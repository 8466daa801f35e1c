// The shell keeps a runner's results: questions before Reset, Save Run and Quit lose them, a
// second window, a failed save and a file changed on disk asked about, foreign files refused,
// failures shown in the window, and the faults found in everyday use.
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QTimer>

#include "QtEvents.h"
#include "ResultGuard.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "ShellFixture.h"
#include "SplitFileCheck.h"

namespace {

using LosingResults = ShellTest;

}  // namespace

// Each command asks the guard with its own question, and each answer does what it says (when a
// run is at stake is the engine's own test); the option turns the questions off.
TEST_F(LosingResults, ResetSaveRunAndQuitAskBeforeLosingResults) {
    using Command = std::function<bool(AppDelegate&)>;
    const Command reset = [](AppDelegate& a) { return a.ResetTimerMenuClick(), true; };
    const Command save = [](AppDelegate& a) { return a.SaveSplitsMenuClick(), true; };
    const Command quit = [](AppDelegate& a) { return a.MayQuit(); };
    const Command open = [this](AppDelegate& a) {
        return a.OpenSplitFile(WriteSplitFile("other.txt", kThreeSplits)), true;
    };
    const std::vector<std::int32_t> pb = {1100, 2200, 3000}, slower = {1200, 2400, 3626},
                                    bestFirst = {800, 2400, 3626};
    const std::string opening = "Save your new personal best before opening another split file?",
                      resetting = "Save your new personal best before resetting?",
                      replacing =
                          "This run (36.26) is slower than the kept run (36.00). "
                          "Replace the kept run?",
                      kept = "Three\t10.00\t33.00\t36.00", saved = "Three\t8.00\t33.00\t30.00";
    const struct {
        const char* ini;
        std::vector<std::int32_t> run;
        Command command;
        Answer answer;
        std::string asked;  // "" for no question
        std::string lastRow;
    } cases[] = {
        {"", pb, reset, Answer::Save, resetting, saved},
        {"", pb, reset, Answer::Discard, resetting, kept},
        {"", pb, reset, Answer::Cancel, resetting, kept},
        {"", pb, quit, Answer::Save, "Save your new personal best before quitting?", saved},
        {"", slower, save, Answer::Replace, replacing, "Three\t10.00\t33.00\t36.26"},
        {"", slower, save, Answer::Cancel, replacing, kept},
        {"", pb, save, Answer::Cancel, "", saved},
        {"", pb, open, Answer::Save, opening, saved},
        {"", pb, open, Answer::Cancel, opening, kept},
        // What the autosave keeps is kept without a word before another file replaces the run.
        {"AutoSaveBestSplits=Y\n", bestFirst, open, Answer::Cancel, "", "One\t8.00\t11.00"},
        {"AskBeforeLosingResults=N\n", pb, reset, Answer::Cancel, "", kept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked + c.ini);
        Launch(std::string("[Misc]\nAutoSaveBestRun=N\nAutoSaveBestSplits=N\n") + c.ini);
        const std::string path = OpenRoute();
        app->DoSplitMenuClick();
        for (std::int32_t at = 0; const std::int32_t time : c.run) {
            FakeClock::Advance(time - std::exchange(at, time));
            app->DoSplitMenuClick();
        }
        asked_.clear();
        answer_ = c.answer;
        c.command(*app);
        EXPECT_EQ(asked_,
                  c.asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.asked});
        EXPECT_NE(ReadFile(path).find(c.lastRow), std::string::npos) << ReadFile(path);
    }
}

// Read-only, writing nothing, is the end-to-end second window's.
TEST_F(LosingResults, ASecondWindowOnTheFileIsAskedAndCancelOpensNothing) {
    Launch();
    const std::string path = OpenRoute();
    QuorvelClass second(Root());
    EXPECT_FALSE(ResultGuard(second).BeforeOpen(path));
    EXPECT_EQ(asked_, std::vector<std::string>{"route.txt is open in another Quorvel window."});
    Open(path);  // the first window opening its file again: no question
    EXPECT_EQ(asked_.size(), 1u);
}

// A save renames a new file into place, which would part a hard-linked file's names: such a
// file is offered read-only, and says why.
TEST_F(LosingResults, AFileWithTwoNamesIsOfferedReadOnlyAndSaysWhy) {
    Launch();
    WriteFile(Root() + "route.txt", kThreeSplits);
    ASSERT_EQ(::link((Root() + "route.txt").c_str(), (Root() + "copy.txt").c_str()), 0);
    QuorvelClass engine(Root());
    ResultGuard guard(engine);
    answer_ = Answer::ReadOnly;
    EXPECT_TRUE(guard.BeforeOpen(Root() + "route.txt"));
    EXPECT_TRUE(engine.ReadOnly);
    EXPECT_EQ(asked_, std::vector<std::string>{"route.txt has 2 names (hard links): saving it "
                                               "would part this name from the others."});
}

TEST_F(LosingResults, QuitAfterAFailedSaveOffersRetryQuitAnywayAndCancel) {
    Launch(kNoAutosaveNoQuestions);
    const std::string path = OpenRoute();
    ::chmod(path.c_str(), 0444);
    testing::internal::CaptureStderr();
    app->DoSplitMenuClick();  // the attempt count could not be saved
    testing::internal::GetCapturedStderr();
    answer_ = Answer::Cancel;
    EXPECT_FALSE(app->MayQuit());
    EXPECT_EQ(asked_, std::vector<std::string>{
                          "Your run could not be saved (the file is write-protected)."});
    answer_ = Answer::QuitAnyway;
    EXPECT_TRUE(app->MayQuit());
    ::chmod(path.c_str(), 0644);
    answer_ = Answer::Retry;  // the runner made room: the retry saves and the quit goes on
    EXPECT_TRUE(app->MayQuit());
    EXPECT_EQ(ReadFile(path).substr(0, 3), "13\t");
}

TEST_F(LosingResults, AFileChangedBetweenTwoSplitsIsKeptAndTheRunToo) {
    Launch(kNoAutosaveNoQuestions);
    const std::string path = OpenRoute();
    app->DoSplitMenuClick();
    for (std::int32_t split : {1000, 1000}) {
        FakeClock::Advance(split);
        app->DoSplitMenuClick();
    }
    app->PauseResumeMenuClick();
    std::string fixed = kThreeSplits;
    fixed.replace(fixed.find("One"), 3, "First");
    WriteFile(path, fixed);
    answer_ = Answer::Reload;
    app->SaveBestSplitsMenuClick();  // the write finds the change and does not happen
    EXPECT_EQ(asked_, std::vector<std::string>{
                          "The split file route.txt changed on disk since it was opened."});
    EXPECT_EQ(ReadFile(path), fixed);  // and the run came back on it, paused
    EXPECT_EQ(std::tuple(TimerData->GetFullRowHeader(0), TimerData->GetNextSplitNumber(),
                         TimerData->GetDataCellTimer(1, 3), TimerData->IsTimerRunning()),
              std::tuple(std::string("First"), 2u, 2000, false));
}

TEST_F(LosingResults, FilesThatAreNotSplitFilesAreRefusedAndNeverWritten) {
    Launch();
    const std::string route = OpenRoute();
    const std::string text = "<?xml version=\"1.0\"?>\n<Run>\n</Run>\n";
    const std::string path = WriteSplitFile("other.lss", text);
    Open(path);
    Press(&AppDelegate::DoSplitMenuClick);  // the first Space after the open
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_EQ(TimerData->SplitFileName, route);  // the open file stays
    EXPECT_EQ(asked_, std::vector<std::string>{"other.lss was not opened."});
}

TEST_F(LosingResults, ASplitRefusedInTheLeadInIsNotTakenForAKeptRun) {
    Launch();
    const std::string path = OpenRoute("5\t-1.00\nD\tBest Splits\tPB\nOnly\t10.00\t10.00\n\t\t\n");
    app->DoSplitMenuClick();                // attempt 6 starts in the lead-in
    Press(&AppDelegate::DoSplitMenuClick);  // refused by the engine
    FakeClock::Advance(200);
    app->PauseResumeMenuClick();  // pauses the run, no new attempt
    EXPECT_FALSE(TimerData->IsTimerRunning());
    EXPECT_EQ(TimerData->GetTotalAttemptCount(), 6);
    EXPECT_EQ(ReadFile(path).substr(0, 2), "6\t");
}

TEST_F(LosingResults, AFailedSplitStateSaveShowsInTheTitle) {
    Launch();
    OpenRoute();
    std::filesystem::create_directory(TimerData->SplitStatePath());  // a folder in the way
    Press(&AppDelegate::DoSplitMenuClick);
    app->SaveSplitStateMenuClick();
    app->OnUpdateTimer();  // the next tick shows it
    EXPECT_EQ(app->window->Title(), "Quorvel - route.txt - Route (not saved!)");
}

// Where a saved position lands is WindowPlacement's table; the shell has to use it.
TEST_F(LosingResults, ASavedPositionOffTheScreenBringsTheWindowOntoIt) {
    Launch("[Window]\nLeft=2147483647\nTop=2147483647\n");
    const tk::Rect frame = app->window->Frame();
    EXPECT_TRUE(frame.x >= 0 && frame.MaxX() <= kScreen.width && frame.y >= 0);
}

TEST_F(LosingResults, ASplitFileWithMistakesCanBeMendedInTheEditor) {
    EnsureTestApp();  // the editor is a real dialog
    Launch();
    const std::string path = WriteSplitFile(
        "route.txt",
        "3\t0.00\nAny%\tBest Splits\tPB\nA\t10.00\t4m00s\n\t\t\nB\t20.00\t30.00\n\t\t\n");
    Open(path);  // Cancel: nothing read
    EXPECT_EQ(asked_, std::vector<std::string>{"route.txt was not opened."});
    EXPECT_EQ(TimerData->GetColumnCount(), 0u);
    answer_ = Answer::OpenInEditor;
    onDialog_ = [](QDialog& dialog) {
        auto& editor = dynamic_cast<RouteEditorDialog&>(dialog);
        editor.model()->setData(editor.model()->index(0, 0), "Start");
        return true;
    };
    Open(path);
    EXPECT_EQ(TimerData->SplitFileName, path);
    EXPECT_EQ(TimerData->GetFullRowHeader(0), "Start");
    EXPECT_TRUE(CheckSplitFile(path).IsOk()) << ReadFile(path);  // written mended
}
