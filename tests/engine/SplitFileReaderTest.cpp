// The split file reader: which texts load, the counter line, rows, pictures and derived times,
// and the line breaks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "GridBuilder.h"
#include "QuorvelEngine.h"
#include "SplitFileFixture.h"
#include "TestFiles.h"

namespace {

using Lines = std::vector<std::string>;

const char kMinimal[] = "0\t0.00\nDesc\tBest Splits\nSplit 1\t10.00\n";

class SplitFileReader : public SplitFileFixture {};

}  // namespace

TEST_F(SplitFileReader, ThreeLinesWithAFinalLineEndLoadAndOtherTextsLoadNothing) {
    const struct {
        std::string text;
        unsigned int columns;
    } cases[] = {
        {kMinimal, 2},
        {"0\t0.00\r\nDesc\tBest Splits\r\nSplit 1\t10.00\r\n", 2},
        {"0\t0.00\rDesc\tBest Splits\rSplit 1\t10.00\r", 2},
        {std::string(kMinimal, sizeof kMinimal - 2), 0},  // no final line feed
        {"QVLSplitState\tanything\nDesc\tBest Splits\nA\t1.00\n\t\n", 0},
        {"QVLSplitStateX\t0\nDesc\tBest Splits\nA\t1.00\n\t\n", 2},
        {std::string("\0\0\0\n\0\t\0\n\0\n\0\n\0\n", 14), 0},  // NUL bytes only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Load(kMinimal);
        Load(c.text);
        ASSERT_EQ(engine.GetColumnCount(), c.columns);
        EXPECT_EQ(engine.SplitFileName, c.columns > 0 ? dir.File("runs.txt") : "");
        if (c.columns > 0) {
            EXPECT_EQ(engine.GetDataCellTimer(0, 0), engine.GetDataCellElapsed(0, 0));
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

TEST_F(SplitFileReader, CounterLineIsReadLikeAtoiAndClamped) {
    const struct {
        const char* counter;
        std::int32_t count;
        std::int32_t offset;
    } cases[] = {
        // clang-format off
        {"12\t-0.33", 12, -33}, {"  42abc", 42, 0}, {"x\t2:00.00\tignored", 0, 12000},
        {"\xEF\xBB\xBF" "12\t1.00", 0, 100},  // a byte-order mark is not skipped
        {"99999999999999999999\t0", std::numeric_limits<std::int32_t>::max(), 0},
        {"-99999999999999999999\t0", std::numeric_limits<std::int32_t>::min(), 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        Load(std::string(c.counter) + "\nDesc\tBest Splits\nA\t1.00\n\t\n");
        ASSERT_EQ(engine.GetColumnCount(), 2u) << c.counter;
        EXPECT_EQ(engine.TotalAttemptCount, c.count) << c.counter;
        EXPECT_EQ(engine.StartOffset, c.offset) << c.counter;
    }
}

TEST_F(SplitFileReader, PictureNamesAreJoinedToTheFilesFolder) {
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
TEST_F(SplitFileReader, SegmentTimesNeedTwoNeighbouringTimes) {
    const struct {
        const char* rows;  // after the title line "D\tBest Splits\tRun"
        Times segments, bestTimes;
    } cases[] = {
        {"A\t1.00\t1:00.00\n\t\t\nB\t2.00\t\n\t\t\nC\t3.00\t3:00.00\n",
         {6000, 0, 0},
         {100, 300, 600}},
        {"\n\nA\t1.00\t10.00\n\t\t\n\n\nB\t2.00\t25.00\n", {0, 1500}, {100, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        Load(std::string("0\t0\nD\tBest Splits\tRun\n") + c.rows);
        EXPECT_EQ(ColumnTimes(engine, 1, /*Elapsed=*/true), c.segments);
        EXPECT_EQ(ColumnTimes(engine, 0), c.bestTimes);
    }
}

TEST_F(SplitFileReader, ExtraCellsOfALongRowLoadWithoutPreviousTimes) {
    Load(
        "0\t0\nD\tBest Splits\tRun\nA\t1.00\t10.00\n\t\t\nB\t1.00\t20.00\t25.00\t30.00\n"
        "\t\tn1\tn2\tn3\n");
    ASSERT_EQ(engine.GetRowCount(), 2u);
    ASSERT_EQ(engine.SplitCells[1].size(), 4u);  // one more than the three columns
    EXPECT_EQ(engine.GetDataCellElapsed(1, 1), 1000);
    EXPECT_EQ(engine.GetDataCellTimer(1, 2), 2500);  // fills the current column
    EXPECT_EQ(engine.GetDataCellElapsed(1, 2), 0);   // row 0's current cell has no time
    EXPECT_EQ(engine.SplitCells[1][3]->Timer, 3000);
    EXPECT_EQ(engine.SplitCells[1][3]->Elapsed, 0);  // row 0 has no fourth cell
    EXPECT_EQ(engine.SplitCells[1][3]->Notes, "n3");
}

TEST_F(SplitFileReader, BytesAfterANulAreDroppedUpToTheEndOfTheirPiece) {
    // The NUL lies in the first 1023-byte piece of the long row line; the rest of that piece
    // is lost and the line goes on with the next piece.
    const std::string head = "0\t0\nD\tBest Splits\n";
    std::string row = "A" + std::string(99, 'a') + '\0' + std::string(1500, 'b') + "\t1.00\n";
    Load(head + row + "\t\n");
    ASSERT_EQ(engine.GetRowCount(), 1u);
    const std::size_t kept = 1500 - (1023 - 101);  // the piece starts with the row line
    EXPECT_EQ(engine.GetFullRowHeader(0), "A" + std::string(99, 'a') + std::string(kept, 'b'));
    EXPECT_EQ(engine.GetDataCellElapsed(0, 0), 100);
}

TEST(ParseLines, EveryKindOfLineBreakEndsOneLine) {
    const struct {
        const char* text;
        Lines expected;
    } cases[] = {{"", {}},
                 {"A", {"A"}},
                 {"A\r\nB\r\n", {"A", "B", ""}},
                 {"A\nB\n\nC", {"A", "B", "", "C"}},
                 {"A\rB\r\rC\r", {"A", "B", "", "C", ""}},
                 {"A\n", {"A"}},  // one final line end is dropped, and so is a run of them
                 {"A\r\n\r\n", {"A"}},
                 {"\n", {""}},
                 {"\nA", {"", "A"}},
                 {"A\r\nB\nC\rD", {"A", "B", "C", "D"}},
                 {"A\n\rB", {"A", "", "B"}},
                 {"A\r\r\nB", {"A", "", "B"}}};
    QuorvelClass engine("/");
    for (const auto& c : cases) {
        Lines lines{"stale"};
        engine.ParseLines(c.text, &lines);
        EXPECT_EQ(lines, c.expected) << '"' << c.text << '"';
    }
}
