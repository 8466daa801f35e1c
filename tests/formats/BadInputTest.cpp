// The command line tool: bad input gets one line naming the file and the fault, exit status 1
// and nothing written; so does an output that is the input or is there already; bad usage
// exits 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ConvertFixture.h"

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string result;
    while (times-- > 0) {
        result += text;
    }
    return result;
}

std::string LssWithSegment(const std::string& best) {
    return "<?xml version=\"1.0\"?>\n<Run version=\"1.7.0\">\n<Segments>\n<Segment><Name>A</Name>"
           "<BestSegmentTime><RealTime>" +
           best + "</RealTime></BestSegmentTime></Segment>\n</Segments>\n</Run>\n";
}

using BadInputTest = ConvertFixture;

TEST_F(BadInputTest, EachBadInputGetsItsMessageExitOneAndNothingWritten) {
    WriteFile(File("big.lss"), "");
    std::filesystem::resize_file(File("big.lss"), 50u << 20);
    const std::string deepLss = Repeat("<a>", 100000) + Repeat("</a>", 100000);
    // The file's text (none: the file is left as it is, or missing) and what the line says.
    const std::tuple<const char*, std::optional<std::string>, const char*> cases[] = {
        {"gone.lss", std::nullopt, "gone.lss: cannot be read: no such file"},
        {"big.lss", std::nullopt, "the file is 50.0 MB; files up to 20 MB are read"},
        {"malformed.lss", "<Run>\n<Segments>\n</Run>\n", "line 3: malformed XML"},
        {"no-run.lss", "<Splits/>\n", "line 1: no Run element"},
        {"no-segments.lss", "<Run>\n<GameName>G</GameName>\n</Run>\n", "has no Segments"},
        {"negative.lss", LssWithSegment("-00:00:05"),
         "line 4: RealTime: time text \"-00:00:05\" is negative"},
        {"letters.lss", LssWithSegment("00:0a:00"), "has a letter"},
        {"huge.lss", "<Run><Segments>" + Repeat("<Segment/>", 100000) + "</Segments></Run>",
         "100,000 splits; routes up to 10,000 splits are read"},
        {"laughs.lss", ReadFile(TestDataPath("formats/laughs.lss")),
         "line 2: a document type declaration is not accepted"},
        {"deep.lss", "<Run><Segments/><Metadata>" + deepLss + "</Metadata></Run>",
         "elements nested deeper than 64"},
        {"malformed.json", "{\n\"splits\": [\n}", "line 3: malformed JSON"},
        {"deep.json", "{\"splits\": " + Repeat("[", 100000) + Repeat("]", 100000) + "}",
         "values nested deeper than 64"},
        {"overflow.json", "{\"splits\": [], \"width\": 66e6666666}", "number overflow"},
        {"no-splits.json", "{\"title\": \"x\"}", "no \"splits\" list"},
        {"wrong-type.json", "{\"attempt_count\": \"many\", \"splits\": []}",
         "\"attempt_count\" is not a whole number"},
        {"bad-time.json", "{\"splits\": [{\"title\": \"A\", \"time\": \"1:xx\"}]}",
         "split 1: \"time\": time text \"1:xx\" has a letter"},
        {"negative.json", "{\"splits\": [{\"best_segment\": \"-0:00:01\"}]}", "is negative"},
        {"state.txt", "QVLSplitState\tx\n", "not a split file"},
        // 36 KB that the engine would make 40 million cells of, refused before it builds any.
        {"title-line-of-20000-tabs.txt",
         ReadFile(TestDataPath("formats/title-line-of-20000-tabs.txt")),
         "line 2: 19,999 stored runs; up to 200 are read"},
    };
    for (const auto& [name, text, message] : cases) {
        SCOPED_TRACE(name);
        const std::string in = File(name), out = in + (in.ends_with(".txt") ? ".lss" : ".txt");
        if (text) {
            WriteFile(in, *text);
        }
        EXPECT_EQ(RunTool("'" + in + "' '" + out + "'"), 1) << said_;
        EXPECT_NE(said_.find(in + ": "), std::string::npos) << said_;
        EXPECT_NE(said_.find(message), std::string::npos) << said_;
        EXPECT_EQ(std::count(said_.begin(), said_.end(), '\n'), 1) << said_;
        EXPECT_FALSE(FileExists(out));
    }
}

// quorvel-convert x.txt x.txt used to drop the notes, x.lss x.lss the history, with exit 0.
TEST_F(BadInputTest, TheToolNeverWritesOverItsInputNorAnExistingFileWithoutForce) {
    const std::string route = ReadFile(TestDataPath("two-runs-with-notes.txt"));
    const std::string history = ReadFile(TestDataPath("formats/version-1.8-subsplits.lss"));
    WriteFile(File("a.txt"), route);
    WriteFile(File("x.lss"), history);
    std::filesystem::create_symlink(File("a.txt"), File("link.txt"));
    std::filesystem::create_hard_link(File("a.txt"), File("hard.txt"));
    const std::vector<std::string> before = FolderEntries(dir_.Path());
    for (const char* force : {"", "--force "}) {
        for (const auto& [in, out] : {std::pair{"a.txt", "a.txt"},
                                      {"a.txt", "link.txt"},
                                      {"hard.txt", "a.txt"},
                                      {"x.lss", "x.lss"}}) {
            SCOPED_TRACE(std::string(force) + in + " " + out);
            EXPECT_EQ(RunTool(force + File(in) + " " + File(out)), 1) << said_;
            EXPECT_NE(said_.find("never converted onto itself"), std::string::npos) << said_;
        }
    }
    EXPECT_EQ(RunTool(File("a.txt") + " " + File("x.lss")), 1);
    EXPECT_NE(said_.find("x.lss: already exists: x.lss is a LiveSplit file with 1,788 attempts; "
                         "replacing it loses them. Nothing written;"),
              std::string::npos)
        << said_;
    EXPECT_EQ(ReadFile(File("a.txt")), route);
    EXPECT_EQ(ReadFile(File("x.lss")), history);
    EXPECT_EQ(FolderEntries(dir_.Path()), before);
    EXPECT_EQ(RunTool("--force " + File("a.txt") + " " + File("x.lss")), 0) << said_;
    EXPECT_NE(ReadFile(File("x.lss")).find("<GameName>Any% route</GameName>"), std::string::npos);
}

TEST_F(BadInputTest, BadUsageExitsTwoAndHelpExitsZero) {
    WriteFile(File("a.txt"), "1\t0\nD\tBest Splits\nA\t1.00\n\n");
    const std::string a = "'" + File("a.txt") + "'", b = "'" + File("b.lss") + "'";
    for (const std::string& arguments :
         {std::string(""), a, a + " '" + File("a.csv") + "'", "--timing fast " + a + " " + b,
          std::string("--frobnicate")}) {
        EXPECT_EQ(RunTool(arguments), 2) << arguments << ": " << said_;
        EXPECT_NE(said_.find("usage: quorvel-convert"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(File("b.lss")));
    EXPECT_EQ(RunTool("--help"), 0);
    EXPECT_EQ(RunTool("--timing game " + a + " " + b), 0) << said_;
    EXPECT_NE(ReadFile(File("b.lss")).find("<GameTime>00:00:01.0000000</GameTime>"),
              std::string::npos);
}

}  // namespace
