// Saves that respect the runner's files: a split file changed by another program is not
// written over, a read-only engine writes nothing, a failed split-state save is known, and
// a split file name holding a TAB or a line break survives the split-state file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "FakeClock.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

class RespectfulSaves : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        route_ = ReadFile(TestDataPath("run-route.txt"));
        WriteFile(Path(), route_);
    }
    std::string Path() const { return dir_.File("any.txt"); }
    void Split(std::int32_t hundredths) {
        FakeClock::Advance(hundredths);
        engine_.DoSplit();
    }

    TempDir dir_;
    std::string route_;
    QuorvelClass engine_{dir_.Path()};
};

}  // namespace

TEST_F(RespectfulSaves, OurOwnWritesPassButAFileChangedOnDiskIsNotWrittenOver) {
    engine_.LoadSplitData(Path());
    for (int attempt = 0; attempt < 3; ++attempt) {  // our own writes: the attempt counter
        engine_.StopTimer();
        engine_.StartTimer();
        ASSERT_FALSE(engine_.LastSaveFailed) << attempt;
    }
    EXPECT_FALSE(engine_.SplitFileChangedOnDisk);
    Split(1000);
    const std::string fixed = "0\t0.00\nFixed in an editor\tBest Splits\tPB\nA\t1.00\t1.00\n\t\n";
    WriteFile(Path(), fixed);

    engine_.UpdateBestSplits();  // would rewrite the file
    EXPECT_EQ(ReadFile(Path()), fixed);
    EXPECT_TRUE(engine_.SplitFileChangedOnDisk);
    EXPECT_TRUE(engine_.LastSaveFailed);
    EXPECT_EQ(engine_.LastSaveError, "the file changed on disk");

    engine_.AcceptSplitFileOnDisk();  // the runner answered Overwrite
    engine_.UpdateBestSplits();
    EXPECT_FALSE(engine_.LastSaveFailed);
    EXPECT_NE(ReadFile(Path()), fixed);
}

TEST_F(RespectfulSaves, AReadOnlyEngineWritesNeitherTheSplitFileNorTheSplitState) {
    engine_.ReadOnly = true;
    engine_.LoadSplitData(Path());
    ASSERT_EQ(engine_.GetRowCount(), 5u);
    engine_.StartTimer();
    Split(1000);
    engine_.SaveSplitStateData();
    engine_.ClearTimer();
    EXPECT_EQ(ReadFile(Path()), route_);
    EXPECT_FALSE(FileExists(engine_.SplitStatePath()));
}

TEST_F(RespectfulSaves, AFailedSplitStateSaveIsKnownWithItsReason) {
    engine_.LoadSplitData(Path());
    engine_.StartTimer();
    std::filesystem::create_directory(engine_.SplitStatePath());  // a folder in the way
    engine_.SaveSplitStateData();
    EXPECT_TRUE(engine_.LastStateSaveFailed);
    EXPECT_EQ(engine_.LastStateSaveError, "Is a directory");
    std::filesystem::remove(engine_.SplitStatePath());
    engine_.SaveSplitStateData();
    EXPECT_FALSE(engine_.LastStateSaveFailed);
}

TEST_F(RespectfulSaves, AWriteProtectedSplitFileIsAFailedSave) {
    ::chmod(Path().c_str(), 0444);
    engine_.LoadSplitData(Path());
    engine_.StartTimer();
    EXPECT_TRUE(engine_.LastSaveFailed);
    EXPECT_EQ(engine_.LastSaveError, "the file is write-protected");
    EXPECT_EQ(ReadFile(Path()), route_);
}

TEST_F(RespectfulSaves, ASplitFileNameWithATabOrALineBreakComesBackFromTheSplitState) {
    for (const std::string name : {"a\tb.txt", "two\nlines.txt", "cr\r.txt", "pipe|t.txt"}) {
        SCOPED_TRACE(name);
        WriteFile(dir_.File(name), route_);
        QuorvelClass engine(dir_.Path());
        engine.LoadSplitData(dir_.File(name));
        engine.StartTimer();
        FakeClock::Advance(1000);
        engine.DoSplit();
        engine.SaveSplitStateData();
        const std::string statePath = engine.SplitStatePath();
        const std::string text = ReadFile(statePath);
        // Three lines, two TABs, no CR: the name stayed one cell of line 0.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 2) << text;
        EXPECT_EQ(text.find('\r'), std::string::npos) << text;

        SplitStateHeader header;
        ASSERT_TRUE(ReadSplitStateHeader(statePath, &header));
        EXPECT_EQ(header.SplitFileName, name);
        QuorvelClass restored(dir_.Path());
        restored.LoadSplitStateData(statePath);
        EXPECT_EQ(restored.SplitFileName, dir_.File(name));
        EXPECT_EQ(restored.GetNextSplitNumber(), 1u);
    }
}
