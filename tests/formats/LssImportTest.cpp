#include <gtest/gtest.h>

#include <string>

#include "ConvertFixture.h"
#include "QuorvelEngine.h"

namespace {

using LssImportTest = ConvertFixture;

TEST_F(LssImportTest, FirstVersionFileWithPlainTimesAndPersonalBestPerSegment) {
    EXPECT_EQ(Import("first-version.lss"),
              "42\t5.00\n"
              "Old Game - 100%\tBest Splits\tPersonal Best\n"
              "Cave\t1:01.50\t1:05.23\n\t\t\n"
              "Lake\t58.13\t0.00\n\t\t\n"
              "Tower\t55.99\t3:02.25\n\t\t\n");
    EXPECT_EQ(report_.LeftBehindLine(), "Left behind: 2 attempts of history");
}

TEST_F(LssImportTest, NamedComparisonsKeepFileOrderWithPersonalBestLastAsTheKeptRun) {
    EXPECT_EQ(Import("version-1.5.lss"),
              "120\t-1.50\n"
              "Middle Game - Any%\tBest Splits\tOld PB\tPersonal Best\n"
              "Start\t29.99\t31.00\t30.12\n\t\t\t\n"
              "End\t39.00\t1:12.00\t1:10.00\n\t\t\t\n");
    EXPECT_EQ(report_.LeftBehindLine(), "Left behind: game times");
}

TEST_F(LssImportTest, GameTimeWhenAskedFor) {
    EXPECT_EQ(Import("version-1.5.lss", TimingMethod::GameTime),
              "120\t-1.50\n"
              "Middle Game - Any%\tBest Splits\tOld PB\tPersonal Best\n"
              "Start\t27.50\t29.00\t28.00\n\t\t\t\n"
              "End\t36.00\t1:06.00\t1:05.00\n\t\t\t\n");
    EXPECT_EQ(report_.LeftBehindLine(), "Left behind: real times");
}

TEST_F(LssImportTest, GameTimeWhenTheFileHasNoRealTimes) {
    EXPECT_EQ(Import("game-time-only.lss"),
              "9\t0.00\n"
              "Loading Game - Any% (No Loads)\tBest Splits\tPersonal Best\n"
              "Level 1\t1:59.00\t2:00.50\n\t\t\n"
              "Level 2\t57:00.00\t1:00:00.00\n\t\t\n");
    EXPECT_TRUE(report_.Text().empty());
    Import("game-time-only.lss", TimingMethod::RealTime);
    EXPECT_EQ(report_.Warnings.at(0), "the file holds no real times: every time is missing");
}

TEST_F(LssImportTest, SubsplitNamesStayAsWrittenAndHistoryIsReportedNotDropped) {
    EXPECT_EQ(Import("version-1.8-subsplits.lss"),
              "1788\t0.00\n"
              "New Game - All Bosses\tBest Splits\tPersonal Best\n"
              "-Gate\t58.13\t1:00.00\n\t\t\n"
              "{Castle} Knight\t1:30.00\t0.00\n\t\t\n"
              "Dragon\t1:45.50\t4:40.00\n\t\t\n");
    EXPECT_EQ(report_.LeftBehindLine(),
              "Left behind: 3 attempts of history, 3 segment times of history, metadata, "
              "auto-splitter settings");
}

TEST_F(LssImportTest, ManyComparisonsBecomeStoredRunsAndASkippedSplitIsMissing) {
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

TEST_F(LssImportTest, IconsAreWrittenBesideTheFileAndABrokenOneIsSkippedWithAWarning) {
    const std::string text = Import("icons.lss");
    EXPECT_NE(text.find("Plain picture\t9.50\t10.00\nroute-1.png\t\t\n"), std::string::npos);
    EXPECT_NE(text.find("Wrapped picture\t9.75\t20.00\nroute-2.png\t\t\n"), std::string::npos);
    EXPECT_NE(text.find("Broken picture\t9.90\t30.00\n\t\t\n"), std::string::npos);
    EXPECT_EQ(ReadFile(File("route-1.png")), ReadFile(TestDataPath("formats/red.png")));
    const std::string wrapped = ReadFile(File("route-2.png"));
    EXPECT_TRUE(wrapped.starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(wrapped.substr(wrapped.size() - 8, 4), "IEND");
    ASSERT_EQ(report_.Warnings.size(), 1u);
    EXPECT_EQ(report_.Warnings[0],
              "split 3 \"Broken picture\": its icon holds no PNG, JPEG or GIF image; skipped");
}

}  // namespace
