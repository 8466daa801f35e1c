// The guard between the commands and the engine: asked only when something is at stake,
// each answer doing what it says, and nothing written over a file that is not ours to write.
#include "ResultGuard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FakeClock.h"
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
    void Run(const std::vector<std::int32_t>& splits) {
        engine_.StartTimer();
        for (std::int32_t at = 0; const std::int32_t time : splits) {
            FakeClock::Advance(time - at);
            at = time;
            engine_.DoSplit();
        }
    }

    TempDir dir_;
    QuorvelClass engine_{dir_.Path()};
    ResultGuard guard_{engine_};
    Answer answer_ = Answer::Cancel;
    std::vector<std::string> asked_;
};

}  // namespace

TEST_F(ResultGuardTest, FilesThatAreNotSplitFilesAreRefusedAndLeftAsTheyAre) {
    const struct {
        const char* name;
        std::string text;
        const char* says;
    } cases[] = {
        {"pb.lss", "<?xml version=\"1.0\"?>\n<Run></Run>\n", "LiveSplit"},
        {"pb.json", "{\"title\": \"Any%\"}\n", "JSON"},
        {"README", "# Notes\nNothing here.\n\n", "Line 1"},
        {"picture.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "NUL"},
        {"extra.txt", "0\t0\nD\tBest Splits\tPB\nA\t1.00\t2.00\t3.00\n\t\n", "Line 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir_.File(c.name), c.text);
        asked_.clear();
        EXPECT_FALSE(guard_.BeforeOpen(dir_.File(c.name)));
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0], std::string(c.name) + " was not opened.");
        EXPECT_NE(guard_.LastRefusal().find(c.says), std::string::npos) << guard_.LastRefusal();
        EXPECT_EQ(ReadFile(dir_.File(c.name)), c.text);
    }
}

TEST_F(ResultGuardTest, ASecondWindowOnTheFileIsReadOnlyOrNothing) {
    Open();
    QuorvelClass second(dir_.Path());
    ResultGuard secondGuard(second);
    answer_ = Answer::Cancel;
    EXPECT_FALSE(secondGuard.BeforeOpen(Path()));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], "route.txt is open in another Quorvel window.");

    answer_ = Answer::ReadOnly;
    ASSERT_TRUE(secondGuard.BeforeOpen(Path()));
    second.LoadSplitData(Path());
    second.StartTimer();  // would count an attempt in the file
    EXPECT_EQ(ReadFile(Path()), kRoute);
    EXPECT_TRUE(guard_.BeforeOpen(Path()));  // the first window opening its file again
}

TEST_F(ResultGuardTest, ResetAsksOnlyWhenAFasterRunOrBestSegmentsWouldBeLost) {
    Open();
    Run({1200, 2400, 3600});  // a tie: nothing to lose
    EXPECT_TRUE(guard_.BeforeReset());
    EXPECT_TRUE(asked_.empty());
    engine_.ClearTimer();

    Run({900, 2400, 3500});  // faster, and a best first segment
    answer_ = Answer::Cancel;
    EXPECT_FALSE(guard_.BeforeReset());
    EXPECT_EQ(asked_.back(), "Save your new personal best before resetting?");
    answer_ = Answer::Discard;
    EXPECT_TRUE(guard_.BeforeReset());
    EXPECT_EQ(engine_.GetDataCellTimer(2, 1), 3600);  // the kept run is as it was
    answer_ = Answer::Save;
    EXPECT_TRUE(guard_.BeforeReset());
    EXPECT_EQ(engine_.GetDataCellTimer(2, 1), 3500);
    EXPECT_NE(ReadFile(Path()).find("One\t9.00\t9.00"), std::string::npos) << ReadFile(Path());
}

TEST_F(ResultGuardTest, SaveRunAsksBeforeASlowerRunReplacesTheKeptRun) {
    Open();
    Run({1200, 2400, 3626});
    answer_ = Answer::Cancel;
    EXPECT_FALSE(guard_.BeforeSaveRun());  // the text and Replace: the shell's Losing Results
    EXPECT_EQ(asked_.size(), 1u);
    engine_.ClearTimer();
    asked_.clear();
    Run({1200, 2400, 3500});
    EXPECT_TRUE(guard_.BeforeSaveRun());
    EXPECT_TRUE(asked_.empty());
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
    EXPECT_EQ(ReadFile(Path()), fixed);
    EXPECT_EQ(engine_.GetFullRowHeader(0), "First");
    EXPECT_EQ(engine_.GetNextSplitNumber(), 2u);  // the run came back, paused
    EXPECT_EQ(engine_.GetDataCellTimer(1, 2), 2000);
}
