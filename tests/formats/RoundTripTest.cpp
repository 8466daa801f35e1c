// A split file through another timer's format comes back the same; what it cannot hold is named.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ConvertFixture.h"

namespace {

using RoundTripTest = ConvertFixture;

// every-cell.txt holds a lead-in, a skipped split, hours, a picture and a subsplit name;
// json-cells.txt what the other timer's JSON holds: best segments, best times and the kept run.
TEST_F(RoundTripTest, ASplitFileThroughTheOtherFormatComesBackAsTheSameGrid) {
    using T = TimingMethod;
    const std::tuple<std::string, const char*, TimingMethod, const char*> cases[] = {
        {"every-cell.txt", "lss", T::Automatic, "c-1.png"},   // the icon embedded
        {"json-cells.txt", "json", T::Automatic, "red.png"},  // the icon's path
        {"version-1.5.lss", "lss", T::GameTime, ""},
        {"libresplit.json", "json", T::Automatic, "red.png"},
    };
    WriteFile(File("red.png"), ReadFile(TestDataPath("formats/red.png")));
    for (const auto& [sample, format, timing, icon] : cases) {
        SCOPED_TRACE(sample + " via " + format);
        const bool ours = sample.ends_with(".txt");
        if (ours) {
            WriteFile(File("a.txt"), ReadFile(TestDataPath("formats/" + sample)));
        } else {
            Convert(TestDataPath("formats/" + sample), File("a.txt"), timing);
        }
        const std::string via = File(std::string("b.") + format);
        Convert(File("a.txt"), via, timing);
        Convert(via, File("c.txt"), timing);
        std::string expected = ReadFile(File("a.txt"));
        if (const size_t at = expected.find("red.png"); at != std::string::npos) {
            expected.replace(at, 7, icon);
        }
        EXPECT_EQ(ReadFile(File("c.txt")), expected);
        EXPECT_TRUE(!ours || (report_.LeftBehindLine().empty() && report_.Warnings.empty()))
            << report_.Text();  // nothing left behind
    }
    EXPECT_EQ(ReadFile(File("c-1.png")), ReadFile(File("red.png")));
}

TEST_F(RoundTripTest, ExportNamesWhatTheFormatCannotHold) {
    Convert(TestDataPath("formats/two-runs.txt"), File("a.json"));
    EXPECT_EQ(ReadFile(File("a.json")), ReadFile(TestDataPath("formats/two-runs.json")));
    EXPECT_EQ(report_.LeftBehindLine(),
              "Left behind: the start offset of 0:00:02.000000, 2 stored runs");
}

// The converter read a split file saved with a byte-order mark with an attempt count of 0.
TEST_F(RoundTripTest, AByteOrderMarkAtTheStartIsSkipped) {
    Convert(TestDataPath("formats/byte-order-mark.txt"), File("a.json"));
    EXPECT_NE(ReadFile(File("a.json")).find("\"attempt_count\": 57,"), std::string::npos);
    EXPECT_NE(ReadFile(File("a.json")).find("\"title\": \"BOM route\""), std::string::npos);
}

}  // namespace
