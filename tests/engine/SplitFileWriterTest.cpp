// The split file writer: the bytes written for what was read, and the failed writes that leave
// the old file whole and are told through LastSaveFailed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "QuorvelEngine.h"
#include "SplitFileFixture.h"
#include "TestFiles.h"

namespace {

class SplitFileWriter : public SplitFileFixture {};

const char kRouteWritten[] =
    "12\t-0.33\nAny% route\tBest Splits\tRun 1\tRun 2\nLevel 1\t40.10\t41.00\t40.50\n"
    "level1.png\t\twatch the gap|rjump late\t%s\nLevel 2\t55.00\t1:36.20\t1:37.00\n\t\t\t\n";

std::string RouteWritten(const std::string& lastNote) {
    std::string text = kRouteWritten;
    return text.replace(text.find("%s"), 2, lastNote);
}

// Names and notes that are not UTF-8: stray continuation bytes, a cut-off sequence, an overlong
// slash, an encoded surrogate and Latin-1 text, each kept byte for byte.
const char kNotUtf8[] =
    "12\t-0.33\nRoute \x80\xbf\tBest Splits\tRun caf\xc3\n\xc0\xaf\t40.10\t41.00\n"
    "\t\xed\xa0\x80\tSe\xf1or|r\x80\xbf\n";

}  // namespace

TEST_F(SplitFileWriter, WhatWasReadIsWrittenInTheWritersLayout) {
    const struct {
        std::string read;
        std::string written;
    } cases[] = {
        // clang-format off
        {ReadFile(TestDataPath("two-runs-with-notes.txt")), RouteWritten("")},
        {ReadFile(TestDataPath("round-trip.txt")), ReadFile(TestDataPath("round-trip.txt"))},
        {kNotUtf8, kNotUtf8},
        {ReadFile(TestDataPath("mixed-line-ends.txt")),  // CR LF, LF and CR in one file
         "5\t0.00\nMixed\tBest Splits\tRun 1\nA\t10.00\t11.00\nnote a\t\tn1\n"
         "B\t20.00\t32.00\n\t\tn2\n"},  // "|" is no picture
        {ReadFile(TestDataPath("blank-line-after-counter.txt")),  // an empty title line
         "3\t0.00\n\tBest Splits\nA\t10.00\n\t\nB\t20.00\n\t\n"},
        {"3\t1.00\r\nD\tBest Splits\tRun\r\nA\t\t\r\n\tn\t\r\nB\t2.00\t5.00\r\n",
         "3\t1.00\nD\tBest Splits\tRun\nA\t0.00\t0.00\n\tn\t\nB\t2.00\t5.00\n\t\t\n"},
        {"0\t0\nD\tignored title\nA\t10.00\t99.00\n", "0\t0.00\nD\tBest Splits\nA\t10.00\n\t\n"},
        {"0\t0.00\nDesc\tBest Splits\tRun 1\n\n\n", "0\t0.00\nDesc\tBest Splits\tRun 1\n\n"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read);
        Load(c.read);
        ASSERT_GE(engine.GetColumnCount(), 2u);
        engine.SaveSplitData();
        EXPECT_FALSE(engine.LastSaveFailed);
        EXPECT_EQ(Saved(), c.written);
        engine.LoadSplitData(dir.File("runs.txt"));  // and what was written reads back alike
        engine.SaveSplitData();
        EXPECT_EQ(Saved(), c.written);
    }
}

TEST_F(SplitFileWriter, NulInANoteDoesNotCutTheFileShort) {
    LoadCopyOf("two-runs-with-notes.txt");
    engine.SplitCells[0][2]->Notes = std::string("be\0fore", 7);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), RouteWritten("before"));
}

TEST_F(SplitFileWriter, NothingIsWrittenWithoutASplitFile) {
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    Load("not a split file");
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), "not a split file");
}

TEST_F(SplitFileWriter, AWriteIntoAMissingFolderFailsUntilTheFolderIsBack) {
    const std::string folder = dir.File("sub");
    std::filesystem::create_directory(folder);
    WriteFile(folder + "/runs.txt", ReadFile(TestDataPath("two-runs-with-notes.txt")));
    engine.LoadSplitData(folder + "/runs.txt");
    std::filesystem::remove_all(folder);
    engine.SaveSplitData();
    EXPECT_TRUE(engine.LastSaveFailed);
    EXPECT_EQ(engine.LastSaveError, "No such file or directory");
    EXPECT_FALSE(FileExists(folder));
    std::filesystem::create_directory(folder);
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    EXPECT_EQ(ReadFile(folder + "/runs.txt"), RouteWritten(""));
    engine.SplitFileName = dir.File("no/such/folder/runs.txt");
    engine.SaveSplitData();
    ASSERT_TRUE(engine.LastSaveFailed);
    LoadCopyOf("two-runs-with-notes.txt");  // loading another file forgets the failure
    EXPECT_FALSE(engine.LastSaveFailed);
}

TEST_F(SplitFileWriter, AWriteCutShortByTheFileSizeLimitLeavesTheOldFileWhole) {
    LoadCopyOf("two-runs-with-notes.txt");
    engine.SplitCells[0][1]->Notes = std::string(100000, 'n');
    {
        const FileSizeLimit limit(4096);
        engine.SaveSplitData();
    }
    EXPECT_TRUE(engine.LastSaveFailed);
    EXPECT_EQ(Saved(), ReadFile(TestDataPath("two-runs-with-notes.txt")));
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"runs.txt"});
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    EXPECT_NE(Saved().find(std::string(100000, 'n')), std::string::npos);
}

// Breaks and TABs in names and notes are written as codes and read back as characters; typed
// codes are not told apart.
TEST(SpecialCodes, EveryKindOfBreakBecomesOneCodeAndCodesReadBackAsCharacters) {
    // clang-format off
    const std::pair<const char*, const char*> made[] = {
        {"a\tb", "a|tb"}, {"a\r\nb", "a|rb"}, {"a\n\rb", "a|rb"}, {"a\rb", "a|rb"},
        {"a\nb", "a|rb"}, {"a\r\n\r\nb", "a|r|rb"}, {"a|b", "a|b"}, {"\n\r\n", "|r|r"},
        {"\n\r\n\r", "|r|r|r"}, {"\r\r\n\n", "|r|r|r"}, {"", ""}, {"|t", "|t"}};
    const std::pair<const char*, const char*> removed[] = {
        {"a|tb|rc", "a\tb\r\nc"}, {"|x", "|x"}, {"||t", "|\t"}, {"||r", "|\r\n"}, {"|", "|"},
        {"t|", "t|"}, {"|tr", "\tr"}, {"|rt|", "\r\nt|"}, {"|||", "|||"}, {"|t|t", "\t\t"}, {"", ""}};
    // clang-format on
    QuorvelClass engine("/");
    for (const auto& [text, expected] : made) {
        EXPECT_EQ(engine.MakeSpecialCodes(text), expected) << '"' << text << '"';
    }
    for (const auto& [text, expected] : removed) {
        EXPECT_EQ(engine.RemoveSpecialCodes(text), expected) << '"' << text << '"';
    }
}
