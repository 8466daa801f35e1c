// Other timers' files read into the split file: every sample, the stored runs it becomes, and
// the icons written beside it.
#include <gtest/gtest.h>

#include <string>

#include "ConvertFixture.h"
#include "QuorvelEngine.h"

namespace {

using ImportTest = ConvertFixture;

TEST_F(ImportTest, EachSampleBecomesItsSplitFileAndNamesWhatIsLeftBehind) {
    const struct {
        const char* Sample;
        TimingMethod Timing;
        const char* Expected;
        const char* Report;  // report_.Text() holds it; "" for an empty report
    } cases[] = {
        {"first-version.lss", TimingMethod::Automatic,
         "42\t5.00\nOld Game - 100%\tBest Splits\tPersonal Best\n"
         "Cave\t1:01.50\t1:05.23\n\t\t\nLake\t58.13\t0.00\n\t\t\nTower\t55.99\t3:02.25\n\t\t\n",
         "Left behind: 2 attempts of history"},
        {"version-1.5.lss", TimingMethod::Automatic,
         "120\t-1.50\nMiddle Game - Any%\tBest Splits\tOld PB\tPersonal Best\n"
         "Start\t29.99\t31.00\t30.12\n\t\t\t\nEnd\t39.00\t1:12.00\t1:10.00\n\t\t\t\n",
         "Left behind: game times"},
        {"version-1.5.lss", TimingMethod::GameTime,
         "120\t-1.50\nMiddle Game - Any%\tBest Splits\tOld PB\tPersonal Best\n"
         "Start\t27.50\t29.00\t28.00\n\t\t\t\nEnd\t36.00\t1:06.00\t1:05.00\n\t\t\t\n",
         "Left behind: real times"},
        {"game-time-only.lss", TimingMethod::Automatic,
         "9\t0.00\nLoading Game - Any% (No Loads)\tBest Splits\tPersonal Best\n"
         "Level 1\t1:59.00\t2:00.50\n\t\t\nLevel 2\t57:00.00\t1:00:00.00\n\t\t\n",
         ""},
        {"game-time-only.lss", TimingMethod::RealTime, nullptr,
         "the file holds no real times: every time is missing"},
        {"version-1.8-subsplits.lss", TimingMethod::Automatic,
         "1788\t0.00\nNew Game - All Bosses\tBest Splits\tPersonal Best\n"
         "-Gate\t58.13\t1:00.00\n\t\t\n{Castle} Knight\t1:30.00\t0.00\n\t\t\n"
         "Dragon\t1:45.50\t4:40.00\n\t\t\n",
         "Left behind: 3 attempts of history, 3 segment times of history, metadata, "
         "auto-splitter settings"},
        {"libresplit.json", TimingMethod::Automatic,
         "250\t-1.50\nPlatform Game - Any%\tBest Splits\tBest Times\tPersonal Best\n"
         "World 1\t2:28.00\t2:29.00\t2:30.13\nroute-1.png\t\t\t\n"  // copied beside it
         "World 2\t2:25.50\t4:58.00\t5:00.00\n\t\t\t\nWorld 3\t4:40.00\t0.00\t0.00\n\t\t\t\n",
         "Left behind: \"theme\", \"width\", \"world_record\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Sample);
        const std::string text = Import(c.Sample, c.Timing);
        if (c.Expected != nullptr) {
            EXPECT_EQ(text, c.Expected);
        }
        const std::string report = report_.Text();
        EXPECT_TRUE(*c.Report == '\0' ? report.empty() : report.find(c.Report) != std::string::npos)
            << report;
    }
}

TEST_F(ImportTest, ManyComparisonsBecomeStoredRunsAndASkippedSplitIsMissing) {
    Import("many-comparisons.lss");
    QuorvelClass grid(dir_.Path());
    grid.LoadSplitData(File("route.txt"));
    const char* titles[] = {"Best Splits", "Best Split Times", "Average Segments",
                            "Latest Run",  "Race Rival",       "World Record",
                            "Balanced PB", "Personal Best",    "Current"};
    ASSERT_EQ(grid.GetColumnCount(), std::size(titles));
    for (unsigned int c = 0; c < std::size(titles); ++c) {
        EXPECT_EQ(grid.GetFullColumnHeader(c), titles[c]);
    }
    EXPECT_EQ(grid.GetDataCellTimer(2, 4), 0);      // Race Rival skipped Desert
    EXPECT_EQ(grid.GetDataCellTimer(3, 4), 24400);  // 4:04.00
    EXPECT_EQ(grid.GetDataCellTimer(3, 7), 24000);  // the kept run
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
