// The check before loading: what a file looks like, and the first line that would not read back.
#include "SplitFileCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "TestFiles.h"

namespace {

constexpr const char* kGood = "12\t-0.50\nAny%\tBest Splits\tPB\nLevel 1\t40.10\t41.00\n\t\t\n";

}  // namespace

TEST(SplitFileCheck, TellsWhatAFileLooksLikeAndWhereItFirstGoesWrong) {
    using K = SplitFileKind;
    const struct {
        const char* name;
        std::string text;
        SplitFileKind kind;
        int line;
    } cases[] = {
        // clang-format off
        {"split file", kGood, K::Ok, 0},
        {"CR LF split file", "0\t0\r\nD\tBest Splits\r\nA\t1.00\r\n\t\r\n", K::Ok, 0},
        {"byte-order mark", ReadFile(TestDataPath("split-file-starting-with-byte-order-mark.txt")),
         K::Ok, 0},
        {"no start offset", "3\nD\tBest Splits\nA\t1.00\n", K::Ok, 0},
        {"blank pair between rows", "0\t0\nD\tBest Splits\nA\t1.00\n\n\n\nB\t2.00\n\n", K::Ok, 0},
        {"notes line with a picture and a note",
         "0\t0\nD\tBest Splits\tPB\nA\t1.00\t2\na.png\twatch out\t3.00\nB\t1.00\n", K::Ok, 0},
        {"last notes line missing", "0\t0\nD\tBest Splits\nA\t1.00\n\t\nB\t2.00\n", K::Ok, 0},
        {"empty times and a current time", "0\t0\nD\tBest Splits\tPB\nA\t\t\t\n\t\n", K::Ok, 0},
        {"LiveSplit .lss", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<Run>\n", K::LiveSplitXml, 1},
        {"XML after blank lines", "\n  \n<Run/>\n", K::LiveSplitXml, 3},
        {"LibreSplit .json", "{\n  \"title\": \"Any%\",\n  \"splits\": []\n}\n",
         K::LibreSplitJson, 1},
        {"JSON array", "[1, 2]\n", K::LibreSplitJson, 1},
        {"binary", std::string("0\t0\nD\tBest\x00Splits\nA\t1.00\n\t\n", 27), K::Binary, 2},
        {"split state", "QVLSplitState\tany.txt\n1:50.00\t2\n", K::SplitState, 1},
        {"README", "# Quorvel\n\nA split timer.\n\n", K::NotASplitFile, 1},
        {"empty file", "", K::NotASplitFile, 1},
        {"counter with text offset", "5\tsoon\nD\tBest Splits\nA\t1.00\n\t\n", K::NotASplitFile, 1},
        {"ends before the first split", "5\t0\nD\tBest Splits\n", K::NotASplitFile, 3},
        {"spaces for TABs", "0\t0\nD\tBest Splits\nLevel 1  40.10\n\t\n", K::RowWithoutTab, 3},
        {"notes line missing", "0\t0\nD\tBest Splits\tPB\nA\t1.00\t1.00\nB\t2.00\t3.00\n\t\t\n",
         K::NotesLineMissing, 4},
        {"not a time", "0\t0\nD\tBest Splits\nA\t1.00\n\t\nB\t4m00s\n\t\n", K::NotATime, 5},
        {"too many times", "0\t0\nD\tBest Splits\tPB\nA\t1.00\t2.00\t3.00\t4.00\n\t\n",
         K::TooManyTimes, 3},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SplitFileCheckResult result = CheckSplitFileText(c.text);
        EXPECT_EQ(static_cast<int>(result.Kind), static_cast<int>(c.kind)) << result.Message;
        EXPECT_EQ(result.Line, c.line);
        EXPECT_EQ(result.Message.empty(), c.kind == SplitFileKind::Ok);
    }
}

TEST(SplitFileCheck, AFileThatCannotBeOpenedSaysWhy) {
    TempDir dir;
    EXPECT_EQ(CheckSplitFile(dir.File("missing.txt")).Message,
              "The file could not be opened: No such file or directory.");
    EXPECT_EQ(CheckSplitFile(dir.Path()).Message, "The file could not be opened: it is a folder.");
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    EXPECT_EQ(CheckSplitFile(dir.File("fifo")).Message,
              "The file could not be opened: it is not a regular file.");
}

TEST(SplitFileCheck, TimeTextIsWhatTheSplitFileHolds) {
    for (const char* good : {"1:05.23", "-0.50", "90", "3:00.5", "1:00:00.00", "0"}) {
        EXPECT_TRUE(IsTimeText(good)) << good;
    }
    for (const char* bad :
         {"", "-", "4m00s", "1:", ":30", "1.567", "1:2:3:4", "1.", "+1.00", "1 .00", "1:2a"}) {
        EXPECT_FALSE(IsTimeText(bad)) << bad;
    }
}
