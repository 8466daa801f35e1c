// Other timers' files read into the split file, and the icons written beside it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ConvertFixture.h"

namespace {

using ImportTest = ConvertFixture;

// Each sample's split file lies beside it under tests/data/formats; the report says what of
// the history was kept beside it and names what the split file cannot hold.
TEST_F(ImportTest, EachSampleBecomesItsSplitFileAndNamesWhatIsLeftBehind) {
    using T = TimingMethod;
    const std::tuple<const char*, TimingMethod, const char*, const char*> cases[] = {
        {"first-version.lss", T::Automatic, "first-version.txt",
         "2 attempts and 0 segment times kept\n"},
        {"version-1.5.lss", T::Automatic, "version-1.5.txt", "Left behind: game times"},
        {"version-1.5.lss", T::GameTime, "version-1.5-game-time.txt", "Left behind: real times"},
        {"game-time-only.lss", T::Automatic, "game-time-only.txt", ""},
        {"game-time-only.lss", T::RealTime, "game-time-only-real-time.txt", "holds no real times"},
        {"version-1.8-subsplits.lss", T::Automatic, "version-1.8-subsplits.txt",
         "3 attempts and 3 segment times kept\nLeft behind: metadata, auto-splitter settings"},
        {"many-comparisons.lss", T::Automatic, "many-comparisons.txt", ""},  // Race Rival skips
        {"libresplit.json", T::Automatic, "libresplit.txt",  // its icon copied beside it
         "No history: a JSON split file keeps only the attempt count\nLeft behind: \"theme\", "
         "\"width\", \"world_record\""},
    };
    for (const auto& [sample, timing, expected, left] : cases) {
        SCOPED_TRACE(sample);
        EXPECT_EQ(Import(sample, timing),
                  ReadFile(TestDataPath(std::string("formats/") + expected)));
        EXPECT_EQ(report_.Text().empty(), *left == '\0') << report_.Text();
        EXPECT_NE(report_.Text().find(left), std::string::npos) << report_.Text();
    }
}

TEST_F(ImportTest, IconsAreWrittenBesideTheFileAndABrokenOneIsSkippedWithAWarning) {
    EXPECT_EQ(Import("icons.lss"), ReadFile(TestDataPath("formats/icons.txt")));
    EXPECT_EQ(ReadFile(File("route-1.png")), ReadFile(TestDataPath("formats/red.png")));
    const std::string wrapped = ReadFile(File("route-2.png"));
    EXPECT_TRUE(wrapped.starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(wrapped.substr(wrapped.size() - 8, 4), "IEND");
    EXPECT_EQ(report_.Warnings,
              std::vector<std::string>{"split 3 \"Broken picture\": its icon holds no PNG, JPEG "
                                       "or GIF image; skipped"});
}

}  // namespace
