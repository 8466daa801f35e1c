// Saves that respect the runner's files: a read-only window writes nothing, a full disk nothing
// torn.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "FakeClock.h"
#include "QuorvelEngine.h"
#include "SmallDisk.h"
#include "TestFiles.h"

namespace {

class CarefulSaves : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        WriteFile(path_, route_);
    }
    void Split(std::int32_t hundredths) {
        FakeClock::Advance(hundredths);
        engine_.DoSplit();
    }

    TempDir dir_;
    const std::string route_ = ReadFile(TestDataPath("run-route.txt")),
                      path_ = dir_.File("any.txt");
    QuorvelClass engine_{dir_.Path()};
};

}  // namespace

TEST_F(CarefulSaves, AReadOnlyEngineWritesNeitherTheSplitFileNorTheSplitState) {
    engine_.ReadOnly = true;
    engine_.LoadSplitData(path_);
    ASSERT_EQ(engine_.GetRowCount(), 5u);
    engine_.StartTimer();
    Split(1000);
    engine_.SaveSplitStateData();
    engine_.ClearTimer();
    EXPECT_EQ(ReadFile(path_), route_);
    EXPECT_FALSE(FileExists(engine_.SplitStatePath()));
}

// An outside edit that keeps the size and the modification time (a tool that restores the time,
// an edit within one tick of the clock) is told by the bytes, and kept until the runner says.
TEST_F(CarefulSaves, AnOutsideEditThatKeepsSizeAndTimeIsNotWrittenOver) {
    engine_.LoadSplitData(path_);
    struct stat loaded {};
    ASSERT_EQ(::stat(path_.c_str(), &loaded), 0);
    std::string edited = route_;
    edited.replace(edited.find("Level 1"), 7, "Level A");
    WriteFile(path_, edited);
    const timespec times[2] = {loaded.st_atim, loaded.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), times, 0), 0);

    engine_.StartTimer();  // counts the attempt and would rewrite the file
    EXPECT_TRUE(engine_.SplitFileChangedOnDisk);
    EXPECT_EQ(ReadFile(path_), edited);
    engine_.AcceptSplitFileOnDisk();  // the runner chose Overwrite
    engine_.SaveSplitData();
    EXPECT_EQ(ReadFile(path_).substr(0, 3), "13\t");
    engine_.SaveSplitData();  // our own write is ours: no question
    EXPECT_FALSE(engine_.SplitFileChangedOnDisk);
}

// On a full disk (a small tmpfs; skipped where mounting is not permitted) the split file and its
// snapshot keep their old bytes and leave no temporary; the split file's failure is told, and
// mended once there is room.
TEST_F(CarefulSaves, OnAFullDiskSavesKeepTheOldFilesAndSaySo) {
    const SmallDisk disk(dir_.Path());
    if (!disk.Mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs: " << disk.Error() << " (needs root)";
    }
    WriteFile(path_, route_);
    engine_.LoadSplitData(path_);
    engine_.StartTimer();
    Split(50 + 4000);
    engine_.SaveSplitStateData();
    const std::string before = ReadFile(path_), snapshot = ReadFile(engine_.SplitStatePath());
    Split(5000);
    disk.Fill();

    engine_.StopTimer();
    engine_.StartTimer();  // counts the attempt and rewrites the file
    EXPECT_TRUE(engine_.LastSaveFailed);
    Split(5000);
    engine_.SaveSplitStateData();
    EXPECT_EQ(ReadFile(path_), before);
    EXPECT_EQ(ReadFile(engine_.SplitStatePath()), snapshot);
    EXPECT_EQ(FolderEntries(dir_.Path()),
              (std::vector<std::string>{"any-SplitState.txt", "any.txt", "filler"}));
    disk.Free();
    engine_.SaveSplitData();
    EXPECT_FALSE(engine_.LastSaveFailed);
    EXPECT_NE(ReadFile(path_), before);
}
