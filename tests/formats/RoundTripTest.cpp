#include <gtest/gtest.h>

#include <string>

#include "ConvertFixture.h"

namespace {

using RoundTripTest = ConvertFixture;

// Every kind of cell: a lead-in, a skipped split, hours, a picture, a subsplit name.
constexpr const char* kSplitFile =
    "1788\t-1.50\n"
    "Tunic - Any%\tBest Splits\tOld PB\tRace\tPersonal Best\n"
    "-Forest\t40.10\t41.00\t0.00\t40.50\nred.png\t\t\t\t\n"
    "{Hub} Boss\t55.00\t1:36.20\t1:40.00\t1:35.99\n\t\t\t\t\n"
    "Ending\t1:00:00.00\t2:00:00.00\t2:01:00.00\t1:59:59.99\n\t\t\t\t\n";

TEST_F(RoundTripTest, SplitFileThroughXmlComesBackAsTheSameGrid) {
    WriteFile(File("route.txt"), kSplitFile);
    WriteFile(File("red.png"), ReadFile(TestDataPath("formats/red.png")));
    Convert(File("route.txt"), File("route.lss"));
    Convert(File("route.lss"), File("back.txt"));
    std::string expected = kSplitFile;
    expected.replace(expected.find("red.png"), 7, "back-1.png");
    EXPECT_EQ(ReadFile(File("back.txt")), expected);
    EXPECT_EQ(ReadFile(File("back-1.png")), ReadFile(File("red.png")));
}

TEST_F(RoundTripTest, SplitFileThroughJsonComesBackAsTheSameGrid) {
    const std::string text =
        "12\t-0.33\nDesc\tBest Splits\tBest Times\tPersonal Best\n"
        "A\t10.00\t10.00\t11.00\nred.png\t\t\t\n"
        "B\t20.00\t0.00\t31.50\n\t\t\t\n";
    WriteFile(File("route.txt"), text);
    Convert(File("route.txt"), File("route.json"));
    Convert(File("route.json"), File("back.txt"));
    EXPECT_EQ(ReadFile(File("back.txt")), text);
    EXPECT_TRUE(report_.Text().empty()) << report_.Text();
}

TEST_F(RoundTripTest, XmlThroughTheSplitFileKeepsEveryTimeOfTheChosenClock) {
    Convert(TestDataPath("formats/version-1.5.lss"), File("a.txt"), TimingMethod::GameTime);
    Convert(File("a.txt"), File("b.lss"), TimingMethod::GameTime);
    Convert(File("b.lss"), File("c.txt"), TimingMethod::GameTime);
    EXPECT_EQ(ReadFile(File("c.txt")), ReadFile(File("a.txt")));
}

TEST_F(RoundTripTest, JsonThroughTheSplitFileWritesTheSameFields) {
    Convert(TestDataPath("formats/libresplit.json"), File("a.txt"));
    Convert(File("a.txt"), File("b.json"));
    Convert(File("b.json"), File("c.txt"));
    EXPECT_EQ(ReadFile(File("c.txt")), ReadFile(File("a.txt")));
}

}  // namespace
