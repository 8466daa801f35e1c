// Faults from outside the program: a full disk, a folder where a file should be, a file far
// larger than any split file, NUL bytes and text that is not UTF-8. Each must end in a defined
// state: no crash or hang, the old file whole, a failed save of the split file told through
// LastSaveFailed.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FileIO.h"
#include "IniFiles.h"
#include "QuorvelEngine.h"
#include "SmallDisk.h"
#include "TestFiles.h"

namespace {

// A string literal with its NUL bytes: Bytes("a\0b") is three bytes long.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// ---- A small disk that can be filled ----

// A full disk for the life of the test (a small tmpfs); the tests skip where mounting is
// not permitted.
class FullDisk : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        if (!disk_.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs on " << dir_.Path() << ": " << disk_.Error()
                         << " (needs root)";
        }
    }

    std::string File(const std::string& name) const { return dir_.File(name); }

    TempDir dir_;
    SmallDisk disk_{dir_.Path()};
    QuorvelClass engine_{dir_.Path()};
};

// The split file, its snapshot and the settings: each save on a full disk keeps the old file
// whole and leaves no temporary; the split file's failure is told and mended once there is room.
TEST_F(FullDisk, SavesThatCannotBeWrittenKeepTheOldFilesAndSaySo) {
    WriteFile(File("runs.txt"), ReadFile(TestDataPath("two-runs-with-notes.txt")));
    WriteFile(File("Quorvel.ini"), "[Window]\nLeft=10\n\n");
    engine_.LoadSplitData(File("runs.txt"));
    engine_.StartTimer();
    FakeClock::Advance(33 + 4000);
    engine_.DoSplit();
    engine_.SaveSplitStateData();
    const std::string before = ReadFile(File("runs.txt")),
                      snapshot = ReadFile(File("runs-SplitState.txt"));
    FakeClock::Advance(5000);
    engine_.DoSplit();
    IniFileClass ini;
    ini.ReadIniFile(File("Quorvel.ini"));
    ini.WriteInteger("Window", "Left", 20);
    disk_.Fill();

    engine_.StopTimer();
    engine_.StartTimer();  // counts the attempt and rewrites the file
    EXPECT_TRUE(engine_.LastSaveFailed);
    FakeClock::Advance(5000);
    engine_.DoSplit();
    engine_.SaveSplitStateData();
    EXPECT_FALSE(ini.SaveIniFile());
    EXPECT_EQ(ReadFile(File("runs.txt")), before);
    EXPECT_EQ(ReadFile(File("runs-SplitState.txt")), snapshot);
    EXPECT_EQ(ReadFile(File("Quorvel.ini")), "[Window]\nLeft=10\n\n");
    EXPECT_EQ(
        FolderEntries(dir_.Path()),
        (std::vector<std::string>{"Quorvel.ini", "filler", "runs-SplitState.txt", "runs.txt"}));

    disk_.Free();
    engine_.SaveSplitData();
    EXPECT_FALSE(engine_.LastSaveFailed);
    EXPECT_EQ(ReadFile(File("runs.txt")).substr(0, 9), "14\t-0.33\n");
}

// ---- A file far larger than any split file ----

// The peak resident size of this process so far, in bytes.
std::size_t PeakResident() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
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
    const std::size_t peakBefore = PeakResident();

    engine.LoadSplitData(dir.File("huge.txt"));

    EXPECT_EQ(engine.GetColumnCount(), 0u);  // one line, not the four a split file needs
    EXPECT_LT(PeakResident() - peakBefore, 8 * kSize);
}

// ---- NUL bytes ----

TEST(NulBytes, ASplitFileOfNulsLoadsNothingAndSettingsWithNulsSurviveByteForByte) {
    TempDir dir;
    WriteFile(dir.File("nul.txt"), Bytes("\0\0\0\n\0\t\0\n\0\n\0\n\0\n"));
    QuorvelClass engine(dir.Path());
    engine.LoadSplitData(dir.File("nul.txt"));
    EXPECT_EQ(engine.GetColumnCount(), 0u);

    const std::string text = Bytes("[Misc]\nAutoSaveBestRun=Y\0junk\n\n[W\0x]\nk\0ey=v\0\0\n\n");
    WriteFile(dir.File("Quorvel.ini"), text);
    IniFileClass ini;
    ini.ReadIniFile(dir.File("Quorvel.ini"));
    EXPECT_NE(ini.ReadString("Misc", "AutoSaveBestRun", ""), "Y");  // so the flag is off
    EXPECT_EQ(ini.ReadString(Bytes("W\0x"), Bytes("k\0ey"), ""), Bytes("v\0\0"));
    ASSERT_TRUE(ini.SaveIniFile());
    EXPECT_EQ(ReadFile(dir.File("Quorvel.ini")), text);
}

// ---- Text that is not UTF-8 ----

// Stray continuation bytes, a cut-off sequence, an overlong slash, an encoded surrogate and
// Latin-1 text.
const std::string kNotUtf8[] = {"\x80\xbf", "caf\xc3", "\xc0\xaf", "\xed\xa0\x80", "Se\xf1or"};

TEST(NotUtf8, NamesAndNotesAreKeptAndWrittenBackByteForByte) {
    const std::string file = "12\t-0.33\nRoute " + kNotUtf8[0] + "\tBest Splits\tRun " +
                             kNotUtf8[1] + "\n" + kNotUtf8[2] + "\t40.10\t41.00\n\t" + kNotUtf8[3] +
                             "\t" + kNotUtf8[4] + "|r" + kNotUtf8[0] + "\n";
    TempDir dir;
    WriteFile(dir.File("runs.txt"), file);
    QuorvelClass engine(dir.Path());
    engine.LoadSplitData(dir.File("runs.txt"));
    ASSERT_EQ(engine.GetColumnCount(), 3u);
    EXPECT_EQ(engine.GetFullFileDesc(), "Route " + kNotUtf8[0]);
    EXPECT_EQ(engine.GetFullColumnHeader(1), "Run " + kNotUtf8[1]);
    EXPECT_EQ(engine.GetFullRowHeader(0), kNotUtf8[2]);
    EXPECT_EQ(engine.GetDataCellNotes(0, 0), kNotUtf8[3]);
    EXPECT_EQ(engine.GetDataCellNotes(0, 1), kNotUtf8[4] + "\r\n" + kNotUtf8[0]);

    engine.SaveSplitData();
    ASSERT_FALSE(engine.LastSaveFailed);
    EXPECT_EQ(ReadFile(dir.File("runs.txt")), file);
}

}  // namespace
