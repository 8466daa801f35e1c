// The split-state file: an unfinished run written, read back paused, or refused when unusable.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "FakeClock.h"
#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "TestFiles.h"

namespace {

class SplitStateFile : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        WriteFile(dir_.File("any.txt"), ReadFile(TestDataPath("run-route.txt")));
    }
    // Loads the route, starts a run (lead-in -0.50) and splits at the given run times.
    void RunRoute(const Times& splits) {
        engine_.LoadSplitData(dir_.File("any.txt"));
        ASSERT_EQ(engine_.GetRowCount(), 5u);
        engine_.StartTimer();
        SplitAt(engine_, splits);
    }
    std::string StatePath() const { return dir_.File("any-SplitState.txt"); }

    TempDir dir_;
    QuorvelClass engine_{dir_.Path()};
};

}  // namespace

TEST_F(SplitStateFile, TheSplitFormRestoresAPausedRunThatResumesAndSavesBackToItsFile) {
    RunRoute({4010, 9620});
    FakeClock::Advance(11000 - 9620);
    engine_.SaveSplitStateData();
    EXPECT_EQ(ReadFile(StatePath()), "QVLSplitState\tany.txt\n1:50.00\t2\n40.10\n1:36.20\n");
    EXPECT_EQ(engine_.SplitStateFileName, "");  // the derived name is not remembered
    std::filesystem::rename(StatePath(), dir_.File("saved.state"));

    QuorvelClass restored(dir_.Path());
    restored.LoadSplitStateData(dir_.File("saved.state"));
    EXPECT_EQ(std::make_pair(restored.SplitFileName, restored.SplitStateFileName),
              std::make_pair(dir_.File("any.txt"), dir_.File("saved.state")));
    // Paused at 1:50.00 on the third row, no attempt counted; the difference is to the kept Run 2.
    EXPECT_EQ(std::make_tuple(restored.IsTimerRunning(), restored.GetCurrentTime(),
                              restored.GetNextSplitNumber(), restored.GetSessionAttemptCount(),
                              restored.GetTotalAttemptCount(), restored.GetDataCellElapsed(1, 3),
                              restored.GetDataCellTimerDiff(1, 3)),
              std::make_tuple(false, 11000, 2u, 0, 13, 5610, 9620 - 9700));
    EXPECT_EQ(ColumnTimes(restored, 3), (Times{4010, 9620, 0, 0, 0}));

    restored.ResumeTimer();
    SplitAt(restored, {11150});
    EXPECT_EQ(restored.GetDataCellElapsed(2, 3), 1530);
    restored.SaveSplitStateData();
    EXPECT_EQ(ReadFile(dir_.File("saved.state")),
              "QVLSplitState\tany.txt\n1:51.50\t3\n40.10\n1:36.20\n1:51.50\n");
    EXPECT_FALSE(FileExists(StatePath()));
}

// The row being timed compares the kept run with an empty current cell once any time was
// restored; with none restored its differences stay 0.
TEST_F(SplitStateFile, TheNextSplitIsHeldInsideTheRows) {
    const std::tuple<const char*, std::uint32_t, std::int32_t> cases[] = {
        {"2", 2, -12800},  {"4", 4, -19600},           {"7", 4, -19600},
        {"-1", 4, -19600}, {"99999999999", 4, -19600}, {"abc", 0, 0}};
    for (const auto& [text, next, keptDiffAtNext] : cases) {
        SCOPED_TRACE(text);
        WriteFile(StatePath(), std::string("QVLSplitState\tany.txt\n1:00.00\t") + text +
                                   "\n1.00\n2.00\n3.00\n4.00\n5.00\n6.00\n");
        engine_.LoadSplitStateData(StatePath());
        ASSERT_EQ(engine_.GetRowCount(), 5u);
        EXPECT_EQ(engine_.GetNextSplitNumber(), next);
        EXPECT_EQ(engine_.GetDataCellTimer(next, 3), 0);
        EXPECT_EQ(engine_.GetDataCellTimerDiff(next, 2), keptDiffAtNext);
    }
}

// With no rows there is nothing to hold the next split inside, so -1 stays 4294967295; a save
// must still write only the splits there are.
TEST_F(SplitStateFile, ANextSplitBeyondAGridWithoutRowsSavesNoSplitTimes) {
    WriteFile(dir_.File("empty.txt"), "3\t0.00\nNo splits yet\tBest Splits\n\n\n");
    WriteFile(StatePath(), "QVLSplitState\tempty.txt\n1:00.00\t-1\n");
    engine_.LoadSplitStateData(StatePath());
    ASSERT_EQ(engine_.GetColumnCount(), 2u);
    EXPECT_EQ(engine_.GetNextSplitNumber(), 4294967295u);
    engine_.SaveSplitStateData();
    EXPECT_EQ(ReadFile(StatePath()), "QVLSplitState\tempty.txt\n1:00.00\t-1\n");
}

// Unusable files, and split file names that lead out of the state file's folder, leave an
// empty grid.
TEST_F(SplitStateFile, UnusableFilesAndNamesOutsideTheStateFilesFolderAreRefused) {
    std::filesystem::create_directory(dir_.File("folder"));
    std::filesystem::create_directory(dir_.File("sub"));
    WriteFile(dir_.File("sub/any.txt"), ReadFile(dir_.File("any.txt")));
    const std::string folderName = std::filesystem::path(dir_.Path()).parent_path().filename();
    const std::string tag = "QVLSplitState\t", rest = "\n1:00.00\t1\n1.00\n";
    const std::pair<std::string, std::string> files[] = {
        // clang-format off
        {"missing.state", ""}, {"folder", ""}, {"any.txt", ""},
        {"short.state", tag + "any.txt"}, {"untagged.state", "QVLSplitStatex\tany.txt" + rest},
        {"orphan.state", tag + "gone.txt" + rest}, {"sub.state", tag + "sub/any.txt" + rest},
        {"up.state", tag + "../" + folderName + "/any.txt" + rest},
        {"absolute.state", tag + dir_.File("any.txt") + rest},
        {"backslash.state", tag + "sub\\any.txt" + rest}, {"drive.state", tag + "C:any.txt" + rest},
        {"dot.state", tag + "." + rest}, {"dotdot.state", tag + ".." + rest},
        // clang-format on
    };
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        if (!text.empty()) {
            WriteFile(dir_.File(name), text);
        }
        engine_.LoadSplitData(dir_.File("any.txt"));
        engine_.LoadSplitStateData(dir_.File(name));
        EXPECT_EQ(engine_.GetColumnCount(), 0u);
        EXPECT_EQ(engine_.SplitFileName, "");
        EXPECT_EQ(engine_.SplitStateFileName, "");
        EXPECT_NE(engine_.LastLoadError, "");
    }
    WriteFile(StatePath(), "\xEF\xBB\xBF" + tag + "any.txt" + rest);  // a byte-order mark
    engine_.LoadSplitStateData(StatePath());
    EXPECT_EQ(engine_.GetColumnCount(), 4u);
    ASSERT_EQ(::truncate(StatePath().c_str(), 65 << 20), 0);  // sparse: nothing to read
    engine_.LoadSplitStateData(StatePath());
    EXPECT_EQ(engine_.LastLoadError, "The file is 65.0 MB; split files up to 64 MB are read.");
}

// Only the plain name of the split file is stored; a TAB, a line break or a code in it survives.
TEST_F(SplitStateFile, TheSplitFilesPlainNameComesBackWhateverItHolds) {
    RunRoute({4010});
    engine_.SplitFileName = dir_.File("sub\\odd:any.txt");  // as if loaded from such a path
    engine_.SaveSplitStateData();
    EXPECT_EQ(ReadFile(dir_.File("sub\\odd:any-SplitState.txt")),
              "QVLSplitState\tany.txt\n40.10\t1\n40.10\n");
    for (const std::string name : {"a\tb.txt", "two\nlines.txt", "cr\r.txt", "pipe|t.txt"}) {
        SCOPED_TRACE(name);
        WriteFile(dir_.File(name), ReadFile(dir_.File("any.txt")));
        QuorvelClass engine(dir_.Path()), restored(dir_.Path());
        engine.LoadSplitData(dir_.File(name));
        engine.StartTimer();
        SplitAt(engine, {1000});
        engine.SaveSplitStateData();
        SplitStateHeader header;
        ASSERT_TRUE(ReadSplitStateHeader(engine.SplitStatePath(), &header));
        EXPECT_EQ(header.SplitFileName, name);
        restored.LoadSplitStateData(engine.SplitStatePath());
        EXPECT_EQ(restored.SplitFileName, dir_.File(name));
        EXPECT_EQ(restored.GetNextSplitNumber(), 1u);
    }
}
