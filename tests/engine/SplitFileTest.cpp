// The split file: which texts load and as what, the bytes written back, and failed writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "SplitFileCheck.h"
#include "TestFiles.h"

namespace {

// A split file written to a fresh folder and loaded by engine; Saved() is what was written back.
class SplitFile : public ::testing::Test {
  protected:
    void Load(const std::string& text, const std::string& name = "runs.txt") {
        WriteFile(dir.File(name), text);
        engine.LoadSplitData(dir.File(name));
    }
    void LoadCopyOf(const std::string& dataFile) { Load(ReadFile(TestDataPath(dataFile))); }
    std::string Saved() const { return ReadFile(dir.File("runs.txt")); }

    TempDir dir;
    QuorvelClass engine{"/apps/q/"};
};

const char kMinimal[] = "0\t0.00\nDesc\tBest Splits\nSplit 1\t10.00\n";

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

TEST_F(SplitFile, ThreeLinesWithAFinalLineEndLoadAndOtherTextsLoadNothing) {
    const std::pair<std::string, unsigned int> cases[] = {
        {kMinimal, 2},
        {"0\t0.00\r\nDesc\tBest Splits\r\nSplit 1\t10.00\r\n", 2},
        {"0\t0.00\rDesc\tBest Splits\rSplit 1\t10.00\r", 2},
        {std::string(kMinimal, sizeof kMinimal - 2), 0},  // no final line feed
        {"QVLSplitState\tanything\nDesc\tBest Splits\nA\t1.00\n\t\n", 0},
        {"QVLSplitStateX\t0\nDesc\tBest Splits\nA\t1.00\n\t\n", 2},
        {std::string("\0\0\0\n\0\t\0\n\0\n\0\n\0\n", 14), 0},  // NUL bytes only
    };
    for (const auto& [text, columns] : cases) {
        SCOPED_TRACE(text);
        Load(kMinimal);
        Load(text);
        ASSERT_EQ(engine.GetColumnCount(), columns);
        EXPECT_EQ(engine.SplitFileName, columns > 0 ? dir.File("runs.txt") : "");
        if (columns > 0) {
            EXPECT_EQ(engine.GetDataCellTimer(0, 0), engine.GetDataCellElapsed(0, 0));
        } else {  // and a save after it writes nothing
            engine.SaveSplitData();
            EXPECT_EQ(std::make_pair(engine.LastSaveFailed, Saved()), std::make_pair(false, text));
        }
    }
    ASSERT_EQ(::mkdir(dir.File("folder.txt").c_str(), 0755), 0);
    for (const std::string& path : {dir.File("missing.txt"), dir.File("folder.txt"),
                                    dir.File("no/such/folder/runs.txt"), std::string()}) {
        Load(kMinimal);
        engine.LoadSplitData(path);  // must return, not loop
        EXPECT_EQ(engine.GetColumnCount(), 0u) << path;
        EXPECT_EQ(engine.SplitFileName, "") << path;
    }
}

TEST_F(SplitFile, CounterLineIsReadLikeAtoiAndClamped) {
    const std::tuple<const char*, std::int32_t, std::int32_t> cases[] = {
        // clang-format off
        {"12\t-0.33", 12, -33}, {"  42abc", 42, 0}, {"x\t2:00.00\tignored", 0, 12000},
        {"99999999999999999999\t0", std::numeric_limits<std::int32_t>::max(), 0},
        {"-99999999999999999999\t0", std::numeric_limits<std::int32_t>::min(), 0},
        // clang-format on
    };
    for (const auto& [counter, count, offset] : cases) {
        Load(std::string(counter) + "\nDesc\tBest Splits\nA\t1.00\n\t\n");
        ASSERT_EQ(engine.GetColumnCount(), 2u) << counter;
        EXPECT_EQ(engine.TotalAttemptCount, count) << counter;
        EXPECT_EQ(engine.StartOffset, offset) << counter;
    }
}

// A hostile file is measured before anything is built: a 36 KB title line of 20,000 TABs over
// 2,000 rows once made 40 million cells (3 GB). The reader and the check name the same line.
TEST_F(SplitFile, AFilePastALimitIsRefusedBeforeItIsBuiltNamingTheLine) {
    const auto rows = [](int count, const std::string& row) {
        std::string text;
        for (int r = 0; r < count; ++r) {
            text += row + "\n\n";
        }
        return text;
    };
    const std::string head = "0\t0\nD\tBest Splits\n", wide(300, '\t');
    const std::pair<std::string, std::string> cases[] = {
        {ReadFile(TestDataPath("split-file-of-40-million-cells.txt")),
         "Line 2 names 20,001 columns; split files of up to 200 columns are read."},
        {head + rows(10001, "S\t1.00"),
         "Line 20,003 holds split 10,001; split files of up to 10,000 splits are read."},
        {head + rows(6667, "S" + wide),  // 300 cells a row: the grid passes 2 million cells
         "Line 13,335 brings the grid to 2,000,100 cells; split files of up to 2,000,000 cells "
         "are read."},
        {head + rows(10000, "S\t1.00"), ""},  // at the limits
        {"0\t0\nD" + std::string(199, '\t') + "\n" + rows(10, "S\t1.00"), ""},
    };
    for (const auto& [text, refusal] : cases) {
        SCOPED_TRACE(refusal);
        Load(text);
        EXPECT_EQ(engine.GetColumnCount() == 0, !refusal.empty());
        EXPECT_EQ(engine.LastLoadError, refusal);
        const SplitFileCheckResult check = CheckSplitFileText(text);
        EXPECT_EQ(check.Message, refusal);
        EXPECT_EQ(check.Kind == SplitFileKind::TooLarge, !refusal.empty());
    }
    // Too many bytes is told from the file's size, without reading it (a sparse file).
    ASSERT_EQ(::truncate(dir.File("runs.txt").c_str(), 65 << 20), 0);
    engine.LoadSplitData(dir.File("runs.txt"));
    EXPECT_EQ(engine.LastLoadError, "The file is 65.0 MB; split files up to 64 MB are read.");
    EXPECT_EQ(CheckSplitFile(dir.File("runs.txt")).Message, engine.LastLoadError);
}

TEST_F(SplitFile, PictureNamesAreJoinedToTheFilesFolder) {
    Load("0\t0\nD\tBest Splits\nA\t1.00\n|\t\nB\t1.00\n\t\n");
    EXPECT_FALSE(engine.HasSplitPictures());
    EXPECT_EQ(engine.GetRowHeaderClass(0)->PictureFile, "");

    Load("0\t0\nD\tBest Splits\nA\t1.00\na.png\t\n", "y.txt");
    EXPECT_TRUE(engine.HasSplitPictures());
    EXPECT_EQ(engine.GetRowHeaderClass(0)->PictureFile, dir.File("a.png"));

    Load("0\t0\nD\tBest Splits\nA\t1.00\na.png\t\n", "C:\\x\\y.txt");
    EXPECT_EQ(engine.GetRowHeaderClass(0)->PictureFile, dir.File("C:\\x\\a.png"));
}

// A segment time needs the running times of its row and the row above; blank row pairs are
// skipped without breaking that chain, and best segments add up to the best running times.
TEST_F(SplitFile, SegmentTimesNeedTwoNeighbouringTimes) {
    // The rows after the title line "D\tBest Splits\tRun", the run's segments, the best times.
    const std::tuple<const char*, Times, Times> cases[] = {
        {"A\t1.00\t1:00.00\n\t\t\nB\t2.00\t\n\t\t\nC\t3.00\t3:00.00\n",
         {6000, 0, 0},
         {100, 300, 600}},
        {"\n\nA\t1.00\t10.00\n\t\t\n\n\nB\t2.00\t25.00\n", {0, 1500}, {100, 300}},
    };
    for (const auto& [rows, segments, bestTimes] : cases) {
        SCOPED_TRACE(rows);
        Load(std::string("0\t0\nD\tBest Splits\tRun\n") + rows);
        EXPECT_EQ(ColumnTimes(engine, 1, /*Elapsed=*/true), segments);
        EXPECT_EQ(ColumnTimes(engine, 0), bestTimes);
    }
}

TEST_F(SplitFile, ExtraCellsOfALongRowLoadWithoutPreviousTimes) {
    Load(
        "0\t0\nD\tBest Splits\tRun\nA\t1.00\t10.00\n\t\t\nB\t1.00\t20.00\t25.00\t30.00\n"
        "\t\tn1\tn2\tn3\n");
    ASSERT_EQ(engine.GetRowCount(), 2u);
    ASSERT_EQ(engine.SplitCells[1].size(), 4u);  // one more than the three columns
    // The current column's time and the extra cell have no segment: row 0 has none to take from.
    const SplitDataClass& extra = *engine.SplitCells[1][3];
    EXPECT_EQ(
        std::make_tuple(engine.GetDataCellElapsed(1, 1), engine.GetDataCellTimer(1, 2),
                        engine.GetDataCellElapsed(1, 2), extra.Timer, extra.Elapsed, extra.Notes),
        std::make_tuple(1000, 2500, 0, 3000, 0, std::string("n3")));
}

TEST(ParseLines, EveryKindOfLineBreakEndsOneLine) {
    // One final line end is dropped, and so is a run of them.
    // clang-format off
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}}, {"A", {"A"}}, {"A\r\nB\r\n", {"A", "B", ""}}, {"A\nB\n\nC", {"A", "B", "", "C"}},
        {"A\rB\r\rC\r", {"A", "B", "", "C", ""}}, {"A\n", {"A"}}, {"A\r\n\r\n", {"A"}}, {"\n", {""}},
        {"\nA", {"", "A"}}, {"A\r\nB\nC\rD", {"A", "B", "C", "D"}}, {"A\n\rB", {"A", "", "B"}},
        {"A\r\r\nB", {"A", "", "B"}}};
    // clang-format on
    QuorvelClass engine("/");
    for (const auto& [text, expected] : cases) {
        std::vector<std::string> lines{"stale"};
        engine.ParseLines(text, &lines);
        EXPECT_EQ(lines, expected) << '"' << text << '"';
    }
}

TEST_F(SplitFile, WhatWasReadIsWrittenInTheWritersLayout) {
    const std::pair<std::string, std::string> cases[] = {
        // clang-format off
        {ReadFile(TestDataPath("two-runs-with-notes.txt")), RouteWritten("")},
        {ReadFile(TestDataPath("round-trip.txt")), ReadFile(TestDataPath("round-trip.txt"))},
        {kNotUtf8, kNotUtf8},
        {ReadFile(TestDataPath("mixed-line-ends.txt")),  // CR LF, LF and CR in one file
         "5\t0.00\nMixed\tBest Splits\tRun 1\nA\t10.00\t11.00\nnote a\t\tn1\n"
         "B\t20.00\t32.00\n\t\tn2\n"},  // "|" is no picture
        {ReadFile(TestDataPath("split-file-starting-with-byte-order-mark.txt")),  // read past
         "12\t-0.50\nAny% route\tBest Splits\tPB\nLevel 1\t40.10\t41.00\n\t\t\n"
         "Level 2\t55.00\t1:36.20\n\t\t\n"},
        {ReadFile(TestDataPath("blank-line-after-counter.txt")),  // an empty title line
         "3\t0.00\n\tBest Splits\nA\t10.00\n\t\nB\t20.00\n\t\n"},
        {"3\t1.00\r\nD\tBest Splits\tRun\r\nA\t\t\r\n\tn\t\r\nB\t2.00\t5.00\r\n",
         "3\t1.00\nD\tBest Splits\tRun\nA\t0.00\t0.00\n\tn\t\nB\t2.00\t5.00\n\t\t\n"},
        {"0\t0\nD\tignored title\nA\t10.00\t99.00\n", "0\t0.00\nD\tBest Splits\nA\t10.00\n\t\n"},
        {"0\t0.00\nDesc\tBest Splits\tRun 1\n\n\n", "0\t0.00\nDesc\tBest Splits\tRun 1\n\n"},
        // clang-format on
    };
    for (const auto& [read, written] : cases) {
        SCOPED_TRACE(read);
        Load(read);
        ASSERT_GE(engine.GetColumnCount(), 2u);
        engine.SaveSplitData();
        EXPECT_FALSE(engine.LastSaveFailed);
        EXPECT_EQ(Saved(), written);
        EXPECT_TRUE(CheckSplitFileText(written).IsOk()) << CheckSplitFileText(written).Message;
        engine.LoadSplitData(dir.File("runs.txt"));  // and what was written reads back alike
        engine.SaveSplitData();
        EXPECT_EQ(Saved(), written);
    }
}

TEST_F(SplitFile, NulInANoteDoesNotCutTheFileShort) {
    LoadCopyOf("two-runs-with-notes.txt");
    engine.SplitCells[0][2]->Notes = std::string("be\0fore", 7);
    engine.SaveSplitData();
    EXPECT_EQ(Saved(), RouteWritten("before"));
}

TEST_F(SplitFile, AWriteIntoAMissingFolderFailsUntilTheFolderIsBack) {
    std::filesystem::create_directory(dir.File("sub"));
    Load(ReadFile(TestDataPath("two-runs-with-notes.txt")), "sub/runs.txt");
    std::filesystem::remove_all(dir.File("sub"));
    engine.SaveSplitData();
    EXPECT_EQ(std::make_pair(engine.LastSaveFailed, engine.LastSaveError),
              std::make_pair(true, std::string("No such file or directory")));
    EXPECT_FALSE(FileExists(dir.File("sub")));
    std::filesystem::create_directory(dir.File("sub"));
    engine.SaveSplitData();
    EXPECT_FALSE(engine.LastSaveFailed);
    EXPECT_EQ(ReadFile(dir.File("sub/runs.txt")), RouteWritten(""));
    engine.SplitFileName = dir.File("no/such/folder/runs.txt");
    engine.SaveSplitData();
    ASSERT_TRUE(engine.LastSaveFailed);
    LoadCopyOf("two-runs-with-notes.txt");  // loading another file forgets the failure
    EXPECT_FALSE(engine.LastSaveFailed);
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
