// The guard between the commands and the engine on the failure paths: another window on the
// file, a save that failed, a file changed on disk. Nothing is written over what is not ours.
#include "ResultGuard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "GridBuilder.h"
#include "SafetyQuestions.h"
#include "TestFiles.h"

namespace {

// Kept run 36.00 over three splits, best segments of 10.00; no lead-in.
constexpr char kRoute[] =
    "12\t0.00\nRoute\tBest Splits\tKept\nOne\t10.00\t12.00\n\t\t\nTwo\t10.00\t24.00\n\t\t\n"
    "Three\t10.00\t36.00\n\t\t\n";

class ResultGuardTest : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        WriteFile(Path(), kRoute);
        SetAnswererForTests([this](const Question& question) {
            asked_.push_back(question.Text);
            return answer_;
        });
    }
    void TearDown() override {
        SetAnswererForTests(nullptr);
        FakeClockTest::TearDown();
    }
    std::string Path() const { return dir_.File("route.txt"); }
    void Open() {
        ASSERT_TRUE(guard_.BeforeOpen(Path()));
        engine_.LoadSplitData(Path());
    }
    // Starts a run and splits at the given run times.
    void Run(const Times& splits) {
        engine_.StartTimer();
        SplitAt(engine_, splits);
    }

    TempDir dir_;
    QuorvelClass engine_{dir_.Path()};
    ResultGuard guard_{engine_};
    Answer answer_ = Answer::Cancel;
    std::vector<std::string> asked_;
};

}  // namespace

// Read-only, writing nothing, is the end-to-end second window's.
TEST_F(ResultGuardTest, ASecondWindowOnTheFileIsAskedAndCancelOpensNothing) {
    Open();
    QuorvelClass second(dir_.Path());
    EXPECT_FALSE(ResultGuard(second).BeforeOpen(Path()));
    EXPECT_EQ(asked_, std::vector<std::string>{"route.txt is open in another Quorvel window."});
    EXPECT_TRUE(guard_.BeforeOpen(Path()));  // the first window opening its file again
}

TEST_F(ResultGuardTest, QuitAfterAFailedSaveOffersRetryQuitAnywayAndCancel) {
    Open();
    ::chmod(Path().c_str(), 0444);
    Run({1200});  // the attempt count could not be saved
    ASSERT_TRUE(engine_.LastSaveFailed);
    answer_ = Answer::Cancel;
    EXPECT_FALSE(guard_.BeforeQuit(/*unfinishedRunKept=*/true));
    EXPECT_EQ(asked_.back(), "Your run could not be saved (the file is write-protected).");
    answer_ = Answer::QuitAnyway;
    EXPECT_TRUE(guard_.BeforeQuit(/*unfinishedRunKept=*/true));

    ::chmod(Path().c_str(), 0644);
    answer_ = Answer::Retry;  // the runner made room: the retry saves and the quit goes on
    EXPECT_TRUE(guard_.BeforeQuit(/*unfinishedRunKept=*/true));
    EXPECT_FALSE(engine_.LastSaveFailed);
    EXPECT_EQ(ReadFile(Path()).substr(0, 3), "13\t");
}

TEST_F(ResultGuardTest, AFileChangedBetweenTwoSplitsIsKeptAndTheRunToo) {
    engine_.AutosaveBestRun = true;
    Open();
    Run({1000, 2000});
    const std::string fixed =
        "12\t0.00\nRoute\tBest Splits\tKept\nFirst\t10.00\t12.00\n\t\t\nSecond\t10.00\t24.00\n"
        "\t\t\nThird\t10.00\t36.00\n\t\t\n";
    WriteFile(Path(), fixed);
    engine_.UpdateBestSplits();  // the write finds the change and does not happen
    EXPECT_EQ(ReadFile(Path()), fixed);
    answer_ = Answer::Reload;
    EXPECT_TRUE(guard_.AfterWrites());
    EXPECT_EQ(asked_.back(), "The split file route.txt changed on disk since it was opened.");
    EXPECT_EQ(ReadFile(Path()), fixed);  // and the run came back on it, paused
    EXPECT_EQ(std::tuple(engine_.GetFullRowHeader(0), engine_.GetNextSplitNumber(),
                         engine_.GetDataCellTimer(1, 2)),
              std::tuple(std::string("First"), 2u, 2000));
}
