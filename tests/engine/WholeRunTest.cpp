// A whole run on a real split file: load, start, split through every row with a skip and an
// undo, finish faster than the kept run, take over best segments on a reset, and find all of
// it in the file on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeClock.h"
#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

class WholeRun : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        WriteFile(route_, ReadFile(TestDataPath("run-route.txt")));
    }
    std::string FirstLineOnDisk() const {
        const std::string text = ReadFile(route_);
        return text.substr(0, text.find('\n'));
    }

    TempDir dir_;
    std::string route_ = dir_.File("route.txt");
    QuorvelClass engine_{dir_.Path()};
};

}  // namespace

TEST_F(WholeRun, AFasterRunAndNewBestSegmentsReachTheSplitFile) {
    engine_.LoadSplitData(route_);
    ASSERT_EQ(engine_.GetColumnCount(), 4u);
    ASSERT_EQ(engine_.GetRowCount(), 5u);
    engine_.AutosaveBestRun = true;
    engine_.AutosaveBestSplits = true;

    // The start counts an attempt and puts it on disk at once.
    engine_.StartTimer();
    EXPECT_EQ(engine_.GetTotalAttemptCount(), 13);
    EXPECT_EQ(engine_.GetSessionAttemptCount(), 1);
    EXPECT_EQ(FirstLineOnDisk(), "13\t-0.50");
    EXPECT_EQ(engine_.GetCurrentTime(), -50);
    engine_.DoSplit();  // refused in the lead-in
    EXPECT_EQ(engine_.GetNextSplitNumber(), 0u);

    SplitAt(engine_, {4000});  // 40.00: faster than every first segment so far
    EXPECT_EQ(engine_.GetDataCellTimerDiff(0, 3), 4000 - 4050);
    SplitAt(engine_, {9400});  // a 54.00 segment
    FakeClock::Advance(100);
    engine_.SkipSplit();  // Level 3 goes untimed
    SplitAt(engine_, {14500});
    EXPECT_EQ(engine_.GetDataCellElapsed(3, 3), 0);
    engine_.UndoSplit();  // taken back and split again later
    EXPECT_EQ(engine_.GetDataCellTimer(3, 3), 0);
    SplitAt(engine_, {16500});
    EXPECT_EQ(engine_.GetCurrentTimeDiffFromNextSplit(), 16500 - 19600);

    // The last split beats the kept run's 3:16.00: the run is kept and saved at once.
    SplitAt(engine_, {19400});
    EXPECT_FALSE(engine_.IsTimerRunning());
    EXPECT_EQ(engine_.GetCurrentTime(), 19400);
    EXPECT_EQ(engine_.GetNextSplitNumber(), 0u);
    EXPECT_EQ(ColumnTimes(engine_, 2), (std::vector<std::int32_t>{4000, 9400, 0, 16500, 19400}));
    EXPECT_EQ(ColumnTimes(engine_, 0, /*Elapsed=*/true),
              (std::vector<std::int32_t>{4000, 5400, 3000, 4500, 2000}));

    // A second attempt beats the new first segment and is reset there: the segment is kept.
    engine_.StartTimer();
    EXPECT_EQ(FirstLineOnDisk(), "14\t-0.50");
    SplitAt(engine_, {3900});
    FakeClock::Advance(1000);
    engine_.ClearTimer();
    EXPECT_EQ(engine_.GetCurrentTime(), 0);
    EXPECT_EQ(engine_.GetSessionAttemptCount(), 2);

    QuorvelClass reloaded(dir_.Path());
    reloaded.LoadSplitData(route_);
    ASSERT_EQ(reloaded.GetColumnCount(), 4u);
    EXPECT_EQ(reloaded.GetTotalAttemptCount(), 14);
    EXPECT_EQ(reloaded.StartOffset, -50);
    EXPECT_EQ(reloaded.GetFullFileDesc(), "Any% route");
    EXPECT_EQ(reloaded.GetFullColumnHeader(2), "Run 2");
    EXPECT_EQ(reloaded.GetFullRowHeader(4), "Level 5");
    EXPECT_EQ(ColumnTimes(reloaded, 0, /*Elapsed=*/true),
              (std::vector<std::int32_t>{3900, 5400, 3000, 4500, 2000}));
    EXPECT_EQ(ColumnTimes(reloaded, 0),
              (std::vector<std::int32_t>{3900, 9300, 12300, 16800, 18800}));
    EXPECT_EQ(ColumnTimes(reloaded, 1),
              (std::vector<std::int32_t>{4100, 9620, 13000, 17800, 20000}));
    EXPECT_EQ(ColumnTimes(reloaded, 2), (std::vector<std::int32_t>{4000, 9400, 0, 16500, 19400}));
    EXPECT_EQ(ColumnTimes(reloaded, 2, /*Elapsed=*/true),
              (std::vector<std::int32_t>{4000, 5400, 0, 0, 2900}));
    EXPECT_EQ(ColumnTimes(reloaded, 3), (std::vector<std::int32_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(reloaded.GetDataCellNotes(0, 1), "watch the gap\r\njump late");
    EXPECT_EQ(reloaded.GetDataCellNotes(1, 2), "");  // the kept run's note went with it
}

TEST_F(WholeRun, ASlowerFinishLeavesTheKeptRunAndTheFileAsTheyWere) {
    engine_.LoadSplitData(route_);
    engine_.AutosaveBestRun = true;
    engine_.StartTimer();
    const std::string atStart = ReadFile(route_);
    for (const std::int32_t time : {4100, 9800, 13000, 17700, 19600}) {
        SplitAt(engine_, {time});
    }
    EXPECT_EQ(engine_.GetNextSplitNumber(), 5u);  // a tie with 3:16.00 is not kept
    EXPECT_EQ(engine_.GetDataCellTimer(4, 2), 19600);
    EXPECT_EQ(engine_.GetDataCellTimer(4, 3), 19600);
    EXPECT_EQ(ReadFile(route_), atStart);
}
