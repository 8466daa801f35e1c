// What the window hands the recorder reads back from the file as the runner saw it,
// across a process that ends in the middle of a run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "HistoryBuilder.h"
#include "HistoryRecorder.h"
#include "TestFiles.h"

using namespace history;

TEST(HistoryRecorder, ARecordedSessionReadsBackAsTheRunnerSawIt) {
    TempDir dir;
    const std::string route = dir.File("route.txt");
    WriteFile(route, "0\t0\n");
    ::chmod(route.c_str(), 0640);
    const std::vector<std::string> names = {"A", "B", "C"};
    {
        HistoryRecorder recorder;
        EXPECT_EQ(recorder.Open(route, Access::Writable, names).What,
                  OpenResult::Status::NoHistoryYet);
        recorder.AttemptStarted(1, TimeClock::Real);
        recorder.SplitMade(0, 1000);
        recorder.SplitSkipped(1);
        recorder.SplitMade(2, 4500);
        recorder.SplitUndone(2);
        recorder.SplitMade(2, 5000);
        recorder.AttemptFinished(5000, 30);
        recorder.AttemptReset(5000, 30);  // the reset after a finish ends nothing
        recorder.AttemptStarted(2, TimeClock::Real);
        recorder.SplitMade(0, 1100);
        recorder.AttemptReset(1500, 0);
        recorder.AttemptStarted(3, TimeClock::Real);
        recorder.SplitMade(0, 900);
        recorder.SplitMade(1, 2000);
        recorder.SplitMade(2, 2900);
        recorder.AttemptFinished(2900, 0);
        recorder.SplitUndone(2);  // after the last split: the attempt is taken up again
        // The process ends here with the run going: no end is recorded.
    }
    struct stat info {};
    ASSERT_EQ(::stat(dir.File("route.history.sqlite").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // as the split file
    {
        HistoryRecorder recorder;
        const OpenResult opened = recorder.Open(route, Access::Writable, names);
        ASSERT_TRUE(opened.Unfinished.has_value());
        EXPECT_EQ(opened.Unfinished->End, Ending::ProcessDied);
        recorder.UnfinishedResumed(3, TimeClock::Real, {900, 2000});  // from the split state
        recorder.SplitMade(2, 3000);
        recorder.AttemptFinished(3000, 0);
        recorder.AttemptStarted(4, TimeClock::Game);
        recorder.SplitMade(0, 800);
        recorder.SplitMade(1, 1600);
        recorder.SplitMade(2, 2400);  // the last split is in; its end record never is
    }
    HistoryRecorder recorder;
    const OpenResult opened = recorder.Open(route, Access::Writable, names);
    EXPECT_FALSE(opened.Unfinished.has_value());
    History loaded;
    std::string problem;
    ASSERT_TRUE(recorder.Load(&loaded, &problem)) << problem;

    History expected = MakeHistory(
        names,
        {MakeAttempt(1, Ending::Finished, "10 - 40"), MakeAttempt(2, Ending::Reset, "11"),
         MakeAttempt(3, Ending::Finished, "9 11 10"), MakeAttempt(4, Ending::Finished, "8 8 8")});
    expected.Attempts[0].PauseTime = 30;
    expected.Attempts[1].FinalTime = 1500;
    expected.Attempts[1].PauseTime = 0;
    expected.Attempts[2].PauseTime = 0;
    expected.Attempts[2].Resumed = 1;
    expected.Attempts[3].Clock = TimeClock::Game;
    for (std::size_t i = 0; i < loaded.Attempts.size(); ++i) {
        Attempt& attempt = loaded.Attempts[i];
        EXPECT_TRUE(attempt.StartedUtc.has_value());
        EXPECT_EQ(attempt.EndedUtc.has_value(), i < 3);
        attempt.Id = 0;
        attempt.StartedUtc = attempt.EndedUtc = std::nullopt;
    }
    EXPECT_EQ(loaded, expected);
}
