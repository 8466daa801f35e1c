// The command line tool: bad input gets one line naming the file and the fault, exit status 1
// and nothing written; bad usage exits 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

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

class BadInputTest : public ConvertFixture {
  protected:
    // Runs the command line tool with the given (quoted) arguments: its exit status, and in
    // said_ what it wrote to stderr and stdout.
    int RunTool(const std::string& arguments) {
        const std::string said = "'" + File("said") + "'";
        const int status = std::system(
            (std::string(QUORVEL_CONVERT) + " " + arguments + " >" + said + " 2>&1").c_str());
        said_ = ReadFile(File("said"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string said_;
};

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

TEST_F(BadInputTest, UnwritableOutputLeavesNoIconsBehind) {
    std::filesystem::create_directory(File("taken.txt"));
    EXPECT_EQ(RunTool("'" + TestDataPath("formats/icons.lss") + "' '" + File("taken.txt") + "'"),
              1);
    EXPECT_NE(said_.find("taken.txt: cannot be written"), std::string::npos) << said_;
    EXPECT_FALSE(FileExists(File("taken-1.png")));
    EXPECT_FALSE(FileExists(File("taken-2.png")));
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
