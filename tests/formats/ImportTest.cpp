// Other timers' files read into the split file: every sample, the stored runs it becomes, and
// the icons written beside it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ConvertFixture.h"

namespace {

using ImportTest = ConvertFixture;

// Each sample's split file lies beside it under tests/data/formats; the report names what the
// split file cannot hold.
TEST_F(ImportTest, EachSampleBecomesItsSplitFileAndNamesWhatIsLeftBehind) {
    using T = TimingMethod;
    const std::tuple<const char*, TimingMethod, const char*, const char*> cases[] = {
        {"first-version.lss", T::Automatic, "first-version.txt", "2 attempts of history"},
        {"version-1.5.lss", T::Automatic, "version-1.5.txt", "Left behind: game times"},
        {"version-1.5.lss", T::GameTime, "version-1.5-game-time.txt", "Left behind: real times"},
        {"game-time-only.lss", T::Automatic, "game-time-only.txt", ""},
        {"game-time-only.lss", T::RealTime, nullptr, "holds no real times: every time is missing"},
        {"version-1.8-subsplits.lss", T::Automatic, "version-1.8-subsplits.txt",
         "3 attempts of history, 3 segment times of history, metadata, auto-splitter settings"},
        {"many-comparisons.lss", T::Automatic, "many-comparisons.txt", ""},  // Race Rival skips
        {"libresplit.json", T::Automatic, "libresplit.txt",  // its icon copied beside it
         "Left behind: \"theme\", \"width\", \"world_record\""},
    };
    for (const auto& [sample, timing, expected, left] : cases) {
        SCOPED_TRACE(sample);
        const std::string text = Import(sample, timing);
        if (expected != nullptr) {
            EXPECT_EQ(text, ReadFile(TestDataPath(std::string("formats/") + expected)));
        }
        const std::string report = report_.Text();
        EXPECT_TRUE(*left == '\0' ? report.empty() : report.find(left) != std::string::npos)
            << report;
    }
}

TEST_F(ImportTest, IconsAreWrittenBesideTheFileAndABrokenOneIsSkippedWithAWarning) {
    const std::string text = Import("icons.lss");
    EXPECT_NE(text.find("Plain picture\t9.50\t10.00\nroute-1.png\t\t\n"), std::string::npos);
    EXPECT_NE(text.find("Wrapped picture\t9.75\t20.00\nroute-2.png\t\t\n"), std::string::npos);
    EXPECT_NE(text.find("Broken picture\t9.90\t30.00\n\t\t\n"), std::string::npos);
    EXPECT_EQ(ReadFile(File("route-1.png")), ReadFile(TestDataPath("formats/red.png")));
    const std::string wrapped = ReadFile(File("route-2.png"));
    EXPECT_TRUE(wrapped.starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(wrapped.substr(wrapped.size() - 8, 4), "IEND");
    EXPECT_EQ(report_.Warnings,
              std::vector<std::string>{"split 3 \"Broken picture\": its icon holds no PNG, JPEG "
                                       "or GIF image; skipped"});
}

}  // namespace
