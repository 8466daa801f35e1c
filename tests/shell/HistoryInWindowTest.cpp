// The route's history in the window: every attempt recorded by the run commands as it is run,
// nothing recorded by a read-only window or into a refused file, a killed run settled by the
// answer to the question to resume it, the history kept with its splits by the route editor,
// and the statistics window's figures.
#include <QChart>
#include <QLabel>
#include <QTableWidget>
#include <QXYSeries>

#include "HistoryBuilder.h"
#include "HistoryDatabase.h"
#include "QtEvents.h"
#include "ResultGuard.h"
#include "RouteEditorDialog.h"
#include "RouteTableModel.h"
#include "ShellFixture.h"
#include "StatisticsDialog.h"

namespace {

using history::EntryKind;

std::string Time(std::int32_t time) {
    return LongToTimeString(time, /*ShowPlus=*/false, /*ShortForm=*/true);
}

// "13 finished 36.00 paused 3.00: 10.00 22.00 36.00": the number, how it ended, the time on
// the clock at the end, then each split's running time ("-" skipped, "." not reached).
std::string Describe(const history::Attempt& attempt) {
    std::string text = std::to_string(attempt.Number) + " " + history::EndingText(attempt.End);
    if (attempt.FinalTime) {
        text += " " + Time(*attempt.FinalTime);
    }
    if (attempt.PauseTime) {
        text += " paused " + Time(*attempt.PauseTime);
    }
    if (attempt.Resumed != 0) {
        text += " resumed " + std::to_string(attempt.Resumed);
    }
    text += ":";
    for (const history::SplitEntry& entry : attempt.Splits) {
        text += entry.Kind == EntryKind::Timed     ? " " + Time(entry.Running)
                : entry.Kind == EntryKind::Skipped ? " -"
                                                   : " .";
    }
    return text;
}

class HistoryInWindow : public ShellTest {
  protected:
    // The route's history as it is on disk, read as another program would.
    history::History OnDisk() {
        app->History().WaitUntilWritten();
        std::vector<std::string> names;
        for (unsigned row = 0; row < TimerData->GetRowCount(); ++row) {
            names.push_back(TimerData->GetFullRowHeader(row));
        }
        history::HistoryDatabase db;
        db.Open(TimerData->SplitFileName, history::Access::ReadOnly, names);
        history::History loaded;
        std::string problem;
        EXPECT_TRUE(db.Load(&loaded, &problem)) << problem;
        return loaded;
    }
    // Its attempts as Describe says them.
    std::vector<std::string> Attempts() {
        const history::History loaded = OnDisk();
        std::vector<std::string> attempts;
        for (const history::Attempt& attempt : loaded.Attempts) {
            attempts.push_back(Describe(attempt));
        }
        return attempts;
    }
    // A command when the run's clock reads time (the run started at start_).
    void At(std::int32_t time, void (AppDelegate::*command)()) {
        FakeClock::Set(start_ + time);
        (app.get()->*command)();
        app->FlushRunState();
    }
    void Start() {
        FakeClock::Advance(100);
        start_ = static_cast<std::int64_t>(ClockNow());
        At(0, &AppDelegate::DoSplitMenuClick);
    }

    std::int64_t start_ = 0;
};

}  // namespace

TEST_F(HistoryInWindow, TheRunCommandsRecordEachAttemptAsItIsRun) {
    Launch(kNoAutosaveNoQuestions);
    const std::string route = OpenRoute();
    EXPECT_FALSE(std::filesystem::exists(Root() + "route.history.sqlite"));  // none until a run
    using A = AppDelegate;
    Start();
    At(1000, &A::DoSplitMenuClick);
    At(1500, &A::SkipSplitMenuClick);
    At(1600, &A::UndoSplitMenuClick);  // the skip taken back
    At(1800, &A::PauseResumeMenuClick);
    start_ += 300;  // three seconds paused
    At(1800, &A::DoSplitMenuClick);
    At(2200, &A::DoSplitMenuClick);
    At(3600, &A::DoSplitMenuClick);  // finished
    At(3700, &A::ResetTimerMenuClick);
    Start();
    At(1100, &A::DoSplitMenuClick);
    At(1200, &A::SkipSplitMenuClick);
    At(2000, &A::ResetTimerMenuClick);
    Start();
    At(500, &A::DoSplitMenuClick);
    Quit();
    EXPECT_EQ(Attempts(), (std::vector<std::string>{
                              "13 finished 36.00 paused 3.00: 10.00 22.00 36.00",
                              "14 reset 20.00 paused 0.00: 11.00 -",
                              "15 window closed 5.00 paused 0.00: 5.00",
                          }));
}

TEST_F(HistoryInWindow, ARefusedFileIsSaidOnceAndLeftWholeAndAReadOnlyWindowRecordsNothing) {
    Launch(kNoAutosaveNoQuestions);
    const std::string refused = Root() + "route.history.sqlite";
    const std::string notOurs = "SQLite format 3 is what this says, but it is only text\n";
    WriteFile(refused, notOurs);
    OpenRoute();
    const auto playThrough = [this] {
        for (int press = 0; press < 4; ++press) {
            Press(&AppDelegate::DoSplitMenuClick);
        }
        app->History().WaitUntilWritten();
        app->OnUpdateTimer();
    };
    playThrough();
    EXPECT_EQ(std::tuple(asked_, ReadFile(refused), TimerData->GetDataCellTimer(2, 3),
                         app->window->Title()),
              std::tuple(std::vector<std::string>{"route.history.sqlite was not opened: it is "
                                                  "not a history file."},
                         notOurs, 102, "Quorvel - route.txt - Route"));
    EXPECT_FALSE(std::filesystem::exists(refused + "-wal"));

    // Another window holds this one: opened read-only, it records nothing, not even a file.
    const std::string second = WriteSplitFile("second.txt", kThreeSplits);
    QuorvelClass other(Root());
    ResultGuard otherWindow(other);
    ASSERT_TRUE(otherWindow.BeforeOpen(second));
    answer_ = Answer::ReadOnly;
    Open(second);
    ASSERT_TRUE(TimerData->ReadOnly);
    playThrough();
    EXPECT_FALSE(std::filesystem::exists(Root() + "second.history.sqlite"));
}

// The window is killed mid-run; at the next launch the answer to the question to resume the
// run decides what the history makes of the attempt.
TEST_F(HistoryInWindow, AKilledRunIsResumedDroppedOrLeftByTheAnswerToResumeIt) {
    const struct {
        Answer answer;
        const char* attempt;
    } cases[] = {
        {Answer::Resume, "13 in progress resumed 1: 10.00"},
        {Answer::Discard, "13 dropped: 10.00"},
        {Answer::Cancel, "13 process died: 10.00"},
    };
    for (const auto& c : cases) {
        answers_.clear();
        Launch();
        OpenRoute();
        Start();
        At(1000, &AppDelegate::DoSplitMenuClick);
        answers_ = {c.answer};
        Launch();  // the window before it goes without a word: as a kill leaves it
        EXPECT_EQ(Attempts(), std::vector<std::string>{c.attempt});
        std::filesystem::remove(Root() + "route.history.sqlite");
        std::filesystem::remove(Root() + "route-SplitState.txt");
    }
}

TEST_F(HistoryInWindow, TheRouteEditorKeepsTheHistoryWithItsSplits) {
    EnsureTestApp();
    Launch(kNoAutosaveNoQuestions);
    OpenRoute();
    Start();
    for (const std::int32_t time : {1000, 2200, 3600}) {
        At(time, &AppDelegate::DoSplitMenuClick);
    }
    At(3700, &AppDelegate::ResetTimerMenuClick);
    std::string warning;
    onDialog_ = [&warning](QDialog& dialog) {
        auto& editor = dynamic_cast<RouteEditorDialog&>(dialog);
        editor.model()->moveSplit(2, 0);  // Three One Two
        editor.model()->removeSplit(1);   // Three Two
        editor.model()->insertSplit(2);   // Three Two "Split 3"
        warning = editor.historyWarning().toStdString();
        return true;
    };
    app->EditSplitsMenuClick();
    const history::History loaded = OnDisk();
    ASSERT_EQ(loaded.Attempts.size(), 1u);
    // One's segment (10.00) is taken over by Two, so that Two still ends 22.00 after it.
    const history::Attempt& attempt = loaded.Attempts.at(0);
    EXPECT_EQ(
        std::tuple(warning, loaded.SplitNames, attempt.Splits.size(), attempt.Splits.at(0).Segment,
                   attempt.Splits.at(1).Segment, Describe(attempt)),
        std::tuple("1 split's history will be removed: One.",
                   std::vector<std::string>{"Three", "Two", "Split 3"}, 2u, 1400, 2200,
                   "13 finished 36.00 paused 0.00: 14.00 36.00"));
}

TEST_F(HistoryInWindow, TheStatisticsWindowShowsTheFiguresOfEachSplit) {
    EnsureTestApp();
    using history::Ending;
    {
        history::HistoryDatabase db;
        db.Open(Root() + "route.txt", history::Access::Writable, {});
        ASSERT_TRUE(db.EnsureCreated());
        ASSERT_TRUE(db.ReplaceAll(MakeHistory(
            {"One", "Two", "Three"},
            {MakeAttempt(1, Ending::Finished, "10 20 30"), MakeAttempt(2, Ending::Reset, "12"),
             MakeAttempt(3, Ending::Finished, "12 - 41")})));
    }
    Launch(kNoAutosaveNoQuestions);
    OpenRoute();  // its best segments, 10.00 each, count in the sum of best
    std::vector<std::vector<std::string>> table;
    std::string summary;
    std::vector<int> points;  // finished, not finished, the personal best's line
    chosen_ = Root() + "splits.csv";
    onDialog_ = [&](QDialog& dialog) {
        auto& statistics = dynamic_cast<StatisticsDialog&>(dialog);
        QTableWidget* cells = statistics.splitsTable();
        for (int row = 0; row < cells->rowCount(); ++row) {
            table.emplace_back();
            for (int column = 0; column < cells->columnCount(); ++column) {
                table.back().push_back(cells->item(row, column)->text().toStdString());
            }
        }
        summary = statistics.summary()->text().toStdString();
        for (QAbstractSeries* series : statistics.chart()->series()) {
            points.push_back(static_cast<int>(static_cast<QXYSeries*>(series)->count()));
        }
        statistics.saveSplits();
        return false;
    };
    app->StatisticsMenuClick();
    using Row = std::vector<std::string>;
    EXPECT_EQ(table, (std::vector<Row>{
                         {"One", "10.00", "11.33", "12.00", "12.00", "12.00", "10.00", "3", "0"},
                         {"Two", "20.00", "20.00", "20.00", "20.00", "20.00", "20.00", "3", "1"},
                         {"Three", "30.00", "30.00", "30.00", "30.00", "30.00", "30.00", "2", "0"},
                     }));
    EXPECT_EQ(std::tuple(summary, points, ReadFile(Root() + "splits.csv").substr(0, 40)),
              std::tuple("3 attempts started, 2 finished; time played 2:05.00 (real time)\n"
                         "Personal best 53.00    Sum of best 30.00",
                         std::vector<int>{1, 2, 4}, "Split,Best,Average,Median,Worst,Latest,S"));
}
