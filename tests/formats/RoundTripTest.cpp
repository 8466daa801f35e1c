// A split file written in another timer's format and read back is the same grid, and what the
// other format cannot hold is named.
#include <gtest/gtest.h>

#include <string>

#include "ConvertFixture.h"

namespace {

using RoundTripTest = ConvertFixture;

// Every kind of cell: a lead-in, a skipped split, hours, a picture, a subsplit name.
constexpr const char* kEveryCell =
    "1788\t-1.50\n"
    "Tunic - Any%\tBest Splits\tOld PB\tRace\tPersonal Best\n"
    "-Forest\t40.10\t41.00\t0.00\t40.50\nred.png\t\t\t\t\n"
    "{Hub} Boss\t55.00\t1:36.20\t1:40.00\t1:35.99\n\t\t\t\t\n"
    "Ending\t1:00:00.00\t2:00:00.00\t2:01:00.00\t1:59:59.99\n\t\t\t\t\n";
// What the other timer's JSON holds: best segments, best times and the kept run.
constexpr const char* kJsonCells =
    "12\t-0.33\nDesc\tBest Splits\tBest Times\tPersonal Best\n"
    "A\t10.00\t10.00\t11.00\nred.png\t\t\t\nB\t20.00\t0.00\t31.50\n\t\t\t\n";

TEST_F(RoundTripTest, ASplitFileThroughTheOtherFormatComesBackAsTheSameGrid) {
    const struct {
        const char* Sample;  // imported first; null: Text is the split file
        const char* Text;
        const char* Via;
        TimingMethod Timing;
        const char* Icon;  // the picture's name in the file read back, "" when none
    } cases[] = {
        {nullptr, kEveryCell, "lss", TimingMethod::Automatic, "c-1.png"},   // the icon embedded
        {nullptr, kJsonCells, "json", TimingMethod::Automatic, "red.png"},  // the icon's path
        {"version-1.5.lss", nullptr, "lss", TimingMethod::GameTime, ""},
        {"libresplit.json", nullptr, "json", TimingMethod::Automatic, "red.png"},
    };
    WriteFile(File("red.png"), ReadFile(TestDataPath("formats/red.png")));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Sample ? c.Sample : "split file") + " via " + c.Via);
        if (c.Sample != nullptr) {
            Convert(TestDataPath(std::string("formats/") + c.Sample), File("a.txt"), c.Timing);
        } else {
            WriteFile(File("a.txt"), c.Text);
        }
        const std::string via = File(std::string("b.") + c.Via);
        Convert(File("a.txt"), via, c.Timing);
        Convert(via, File("c.txt"), c.Timing);
        std::string expected = ReadFile(File("a.txt"));
        if (const size_t at = expected.find("red.png"); at != std::string::npos) {
            expected.replace(at, 7, c.Icon);
        }
        EXPECT_EQ(ReadFile(File("c.txt")), expected);
        if (c.Sample == nullptr) {  // read back from our own writing: nothing left behind
            EXPECT_TRUE(report_.Text().empty()) << report_.Text();
        }
    }
    EXPECT_EQ(ReadFile(File("c-1.png")), ReadFile(File("red.png")));
}

TEST_F(RoundTripTest, ExportNamesWhatTheFormatCannotHold) {
    WriteFile(File("a.txt"),
              "3\t2.00\nRoute\tBest Splits\tRun 1\tRun 2\tBest Times\tPB\n"
              "One\t10.00\t11.00\t12.00\t10.50\t10.75\n\t\t\t\t\t\n");
    Convert(File("a.txt"), File("a.json"));
    EXPECT_EQ(ReadFile(File("a.json")),
              "{\n    \"title\": \"Route\",\n    \"attempt_count\": 3,\n    \"splits\": [\n"
              "        {\n            \"title\": \"One\",\n"
              "            \"time\": \"0:00:10.750000\",\n"
              "            \"best_time\": \"0:00:10.500000\",\n"
              "            \"best_segment\": \"0:00:10.000000\"\n        }\n    ]\n}\n");
    EXPECT_EQ(report_.LeftBehindLine(),
              "Left behind: the start offset of 0:00:02.000000, 2 stored runs");
}

}  // namespace
