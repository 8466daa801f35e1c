// The command line tool on bad input: one line naming the file and the fault, exit status 1,
// and nothing written; bad usage exits 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "ConvertFixture.h"

namespace {

struct Outcome {
    int Status;
    std::string Output;  // stderr and stdout together
};

// Runs the command line tool with the given arguments (already quoted).
Outcome RunTool(const std::string& arguments) {
    const std::string command = std::string(QUORVEL_CONVERT) + " " + arguments + " 2>&1";
    Outcome outcome{-1, ""};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        outcome.Output += buffer;
    }
    const int status = ::pclose(pipe);
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

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
    };
    for (const auto& [name, text, message] : cases) {
        SCOPED_TRACE(name);
        const std::string in = File(name), out = in + (in.ends_with(".txt") ? ".lss" : ".txt");
        if (text) {
            WriteFile(in, *text);
        }
        const Outcome outcome = RunTool("'" + in + "' '" + out + "'");
        EXPECT_EQ(outcome.Status, 1) << outcome.Output;
        EXPECT_NE(outcome.Output.find(in + ": "), std::string::npos) << outcome.Output;
        EXPECT_NE(outcome.Output.find(message), std::string::npos) << outcome.Output;
        EXPECT_EQ(std::count(outcome.Output.begin(), outcome.Output.end(), '\n'), 1);
        EXPECT_FALSE(FileExists(out));
    }
}

TEST_F(BadInputTest, UnwritableOutputLeavesNoIconsBehind) {
    std::filesystem::create_directory(File("taken.txt"));
    const Outcome outcome =
        RunTool("'" + TestDataPath("formats/icons.lss") + "' '" + File("taken.txt") + "'");
    EXPECT_EQ(outcome.Status, 1) << outcome.Output;
    EXPECT_NE(outcome.Output.find("taken.txt: cannot be written"), std::string::npos);
    EXPECT_FALSE(FileExists(File("taken-1.png")));
    EXPECT_FALSE(FileExists(File("taken-2.png")));
}

TEST_F(BadInputTest, BadUsageExitsTwoAndHelpExitsZero) {
    WriteFile(File("a.txt"), "1\t0\nD\tBest Splits\nA\t1.00\n\n");
    const std::string a = "'" + File("a.txt") + "'", b = "'" + File("b.lss") + "'";
    for (const std::string& arguments :
         {std::string(""), a, a + " '" + File("a.csv") + "'", "--timing fast " + a + " " + b,
          std::string("--frobnicate")}) {
        const Outcome outcome = RunTool(arguments);
        EXPECT_EQ(outcome.Status, 2) << arguments << ": " << outcome.Output;
        EXPECT_NE(outcome.Output.find("usage: quorvel-convert"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(File("b.lss")));
    EXPECT_EQ(RunTool("--help").Status, 0);
    const Outcome done = RunTool("--timing game " + a + " " + b);
    EXPECT_EQ(done.Status, 0) << done.Output;
    EXPECT_NE(ReadFile(File("b.lss")).find("<GameTime>00:00:01.0000000</GameTime>"),
              std::string::npos);
}

}  // namespace
