#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FileIO.h"
#include "QuorvelEngine.h"
#include "SplitFileFixture.h"
#include "TestFiles.h"

namespace {

class SplitFileWriter : public SplitFileFixture {};

}  // namespace

// ---- What is written ----

TEST_F(SplitFileWriter, ARouteIsWrittenInTheWritersLayout) {
    LoadCopyOf("two-runs-with-notes.txt");
    ASSERT_EQ(engine.GetColumnCount(), 4u);
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    EXPECT_EQ(Saved(),
              "12\t-0.33\n"
              "Any% route\tBest Splits\tRun 1\tRun 2\n"
              "Level 1\t40.10\t41.00\t40.50\n"
              "level1.png\t\twatch the gap|rjump late\t\n"
              "Level 2\t55.00\t1:36.20\t1:37.00\n"
              "\t\t\t\n");
}

TEST_F(SplitFileWriter, WrittenFilesSurviveALoadAndASaveByteForByte) {
    const std::string original = ReadFile(TestDataPath("round-trip.txt"));
    ASSERT_FALSE(original.empty());
    Load(original);
    ASSERT_EQ(engine.GetColumnCount(), 5u);
    ASSERT_EQ(engine.GetRowCount(), 4u);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), original);
    engine.LoadSplitData(dir.File("runs.txt"));
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), original);
}

TEST_F(SplitFileWriter, CrLfFilesAreWrittenWithLineFeedsAndZerosForEmptyTimes) {
    Load("3\t1.00\r\nD\tBest Splits\tRun\r\nA\t\t\r\n\tn\t\r\nB\t2.00\t5.00\r\n");
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), "3\t1.00\nD\tBest Splits\tRun\nA\t0.00\t0.00\n\tn\t\nB\t2.00\t5.00\n\t\t\n");
}

TEST_F(SplitFileWriter, TwoColumnGridsWriteOnlyTheBestColumn) {
    Load("0\t0\nD\tignored title\nA\t10.00\t99.00\n");
    ASSERT_EQ(engine.GetColumnCount(), 2u);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), "0\t0.00\nD\tBest Splits\nA\t10.00\n\t\n");
}

TEST_F(SplitFileWriter, NothingIsWrittenWithoutASplitFile) {
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    Load("not a split file");
    ASSERT_EQ(engine.GetColumnCount(), 0u);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), "not a split file");
}

TEST_F(SplitFileWriter, NulInANoteDoesNotCutTheFileShort) {
    LoadCopyOf("two-runs-with-notes.txt");
    engine.SplitCells[0][2]->Notes = std::string("be\0fore", 7);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(),
              "12\t-0.33\n"
              "Any% route\tBest Splits\tRun 1\tRun 2\n"
              "Level 1\t40.10\t41.00\t40.50\n"
              "level1.png\t\twatch the gap|rjump late\tbefore\n"
              "Level 2\t55.00\t1:36.20\t1:37.00\n"
              "\t\t\t\n");
}

// ---- Failed writes ----

TEST_F(SplitFileWriter, FailedWriteIntoAMissingFolderIsReportedAndLaterCleared) {
    const std::string folder = dir.File("sub");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    WriteFile(folder + "/runs.txt", ReadFile(TestDataPath("two-runs-with-notes.txt")));
    engine.LoadSplitData(folder + "/runs.txt");
    ASSERT_EQ(engine.GetColumnCount(), 4u);
    std::filesystem::remove_all(folder);

    engine.SaveSplitData();
    EXPECT_TRUE(engine.LastSaveFailed);
    EXPECT_FALSE(FileExists(folder));

    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    EXPECT_NE(ReadFile(folder + "/runs.txt").find("Level 2\t55.00"), std::string::npos);
}

TEST_F(SplitFileWriter, LoadingAnotherFileForgetsAFailedSave) {
    engine.SplitFileName = dir.File("no/such/folder/runs.txt");
    engine.SaveSplitData();
    ASSERT_TRUE(engine.LastSaveFailed);
    LoadCopyOf("two-runs-with-notes.txt");
    EXPECT_FALSE(engine.LastSaveFailed);
}

TEST_F(SplitFileWriter, AFolderInPlaceOfTheFileIsLeftAlone) {
    LoadCopyOf("two-runs-with-notes.txt");
    ASSERT_TRUE(std::filesystem::remove(dir.File("runs.txt")));
    ASSERT_EQ(::mkdir(dir.File("runs.txt").c_str(), 0755), 0);
    WriteFile(dir.File("runs.txt/inside"), "kept");

    engine.SaveSplitData();
    EXPECT_TRUE(engine.LastSaveFailed);
    EXPECT_EQ(ReadFile(dir.File("runs.txt/inside")), "kept");
    EXPECT_EQ(FolderEntries(dir.Path()),
              std::vector<std::string>{"runs.txt"});  // no temporary left
}

TEST_F(SplitFileWriter, AWriteCutShortLeavesTheOldFileWhole) {
    LoadCopyOf("two-runs-with-notes.txt");
    const std::string before = Saved();
    engine.SplitCells[0][1]->Notes = std::string(100000, 'n');
    {
        const FileSizeLimit limit(4096);
        engine.SaveSplitData();
    }
    EXPECT_TRUE(engine.LastSaveFailed);
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"runs.txt"});

    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    EXPECT_NE(Saved().find(std::string(100000, 'n')), std::string::npos);
}

// ---- Escape codes ----

TEST(MakeSpecialCodes, EveryKindOfBreakBecomesOneCode) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"a\tb", "a|tb"},       {"a\r\nb", "a|rb"},       {"a\n\rb", "a|rb"}, {"a\rb", "a|rb"},
        {"a\nb", "a|rb"},       {"a\r\n\r\nb", "a|r|rb"}, {"a|b", "a|b"},     {"\n\r\n", "|r|r"},
        {"\n\r\n\r", "|r|r|r"}, {"\r\r\n\n", "|r|r|r"},   {"", ""},           {"|t", "|t"},
    };
    QuorvelClass engine("/");
    for (const auto& c : cases) {
        EXPECT_EQ(engine.MakeSpecialCodes(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(MakeSpecialCodes, TypedCodesCannotBeToldFromRealCharacters) {
    QuorvelClass engine("/");
    EXPECT_EQ(engine.RemoveSpecialCodes(engine.MakeSpecialCodes("a|tb")), "a\tb");
    EXPECT_EQ(engine.RemoveSpecialCodes(engine.MakeSpecialCodes("x\ny\rz")), "x\r\ny\r\nz");
}

TEST_F(SplitFileWriter, ARouteWithoutSplitsCanBeOpenedAgainAfterASave) {
    Load("0\t0.00\nDesc\tBest Splits\tRun 1\n\n\n");
    ASSERT_EQ(engine.GetColumnCount(), 3u);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), "0\t0.00\nDesc\tBest Splits\tRun 1\n\n");
    engine.LoadSplitData(dir.File("runs.txt"));
    EXPECT_EQ(engine.GetColumnCount(), 3u);
    EXPECT_EQ(engine.GetRowCount(), 0u);
}
