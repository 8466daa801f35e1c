// Saves that respect the runner's files, and a full disk or a huge file ending in a defined state.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "IniFiles.h"
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

TEST_F(CarefulSaves, OurOwnWritesPassButAFileChangedOnDiskIsNotWrittenOver) {
    engine_.LoadSplitData(path_);
    for (int attempt = 0; attempt < 3; ++attempt) {  // our own writes: the attempt counter
        engine_.StopTimer();
        engine_.StartTimer();
        ASSERT_FALSE(engine_.LastSaveFailed) << attempt;
    }
    EXPECT_FALSE(engine_.SplitFileChangedOnDisk);
    Split(1000);
    const std::string fixed = "0\t0.00\nFixed in an editor\tBest Splits\tPB\nA\t1.00\t1.00\n\t\n";
    WriteFile(path_, fixed);
    engine_.UpdateBestSplits();  // would rewrite the file
    EXPECT_EQ(ReadFile(path_), fixed);
    EXPECT_TRUE(engine_.SplitFileChangedOnDisk);
    EXPECT_TRUE(engine_.LastSaveFailed);
    EXPECT_EQ(engine_.LastSaveError, "the file changed on disk");

    engine_.AcceptSplitFileOnDisk();  // the runner answered Overwrite
    engine_.UpdateBestSplits();
    EXPECT_FALSE(engine_.LastSaveFailed);
    EXPECT_NE(ReadFile(path_), fixed);
}

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

TEST_F(CarefulSaves, AFailedSplitStateSaveIsKnownWithItsReason) {
    engine_.LoadSplitData(path_);
    engine_.StartTimer();
    std::filesystem::create_directory(engine_.SplitStatePath());  // a folder in the way
    engine_.SaveSplitStateData();
    EXPECT_TRUE(engine_.LastStateSaveFailed);
    EXPECT_EQ(engine_.LastStateSaveError, "Is a directory");
    std::filesystem::remove(engine_.SplitStatePath());
    engine_.SaveSplitStateData();
    EXPECT_FALSE(engine_.LastStateSaveFailed);
}

// On a full disk (a small tmpfs; skipped where mounting is not permitted) the split file, its
// snapshot and the settings keep their old bytes and leave no temporary; the split file's
// failure is told, and mended once there is room.
TEST_F(CarefulSaves, OnAFullDiskSavesKeepTheOldFilesAndSaySo) {
    const SmallDisk disk(dir_.Path());
    if (!disk.Mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs: " << disk.Error() << " (needs root)";
    }
    WriteFile(path_, route_);
    WriteFile(dir_.File("Quorvel.ini"), "[Window]\nLeft=10\n\n");
    engine_.LoadSplitData(path_);
    engine_.StartTimer();
    Split(50 + 4000);
    engine_.SaveSplitStateData();
    const std::string before = ReadFile(path_), snapshot = ReadFile(engine_.SplitStatePath());
    Split(5000);
    IniFileClass ini;
    ini.ReadIniFile(dir_.File("Quorvel.ini"));
    ini.WriteInteger("Window", "Left", 20);
    disk.Fill();

    engine_.StopTimer();
    engine_.StartTimer();  // counts the attempt and rewrites the file
    EXPECT_TRUE(engine_.LastSaveFailed);
    Split(5000);
    engine_.SaveSplitStateData();
    EXPECT_FALSE(ini.SaveIniFile());
    EXPECT_EQ(ReadFile(path_), before);
    EXPECT_EQ(ReadFile(engine_.SplitStatePath()), snapshot);
    EXPECT_EQ(ReadFile(dir_.File("Quorvel.ini")), "[Window]\nLeft=10\n\n");
    EXPECT_EQ(FolderEntries(dir_.Path()),
              (std::vector<std::string>{"Quorvel.ini", "any-SplitState.txt", "any.txt", "filler"}));
    disk.Free();
    engine_.SaveSplitData();
    EXPECT_FALSE(engine_.LastSaveFailed);
    EXPECT_NE(ReadFile(path_), before);
}

TEST(HugeFile, FiftyMegabytesOnOneLineLoadNothingWithinAFewCopiesOfMemory) {
    TempDir dir;
    constexpr std::size_t kSize = 50u << 20;
    {
        std::ofstream out(dir.File("huge.txt"), std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (std::size_t written = 0; written < kSize; written += block.size()) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    QuorvelClass engine(dir.Path());
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    engine.LoadSplitData(dir.File("huge.txt"));
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(engine.GetColumnCount(), 0u);  // one line, not the four a split file needs
    EXPECT_LT(static_cast<std::size_t>(after.ru_maxrss - before.ru_maxrss) * 1024, 8 * kSize);
}
