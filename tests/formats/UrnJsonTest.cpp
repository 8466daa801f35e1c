#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ConvertFixture.h"

namespace {

using UrnJsonTest = ConvertFixture;

TEST_F(UrnJsonTest, ImportsTitleDelayBestTimesAndTheKeptRun) {
    std::filesystem::copy_file(TestDataPath("formats/libresplit.json"), File("run.json"));
    std::filesystem::copy_file(TestDataPath("formats/red.png"), File("red.png"));
    Convert(File("run.json"), File("run.txt"));
    EXPECT_EQ(ReadFile(File("run.txt")),
              "250\t-1.50\n"
              "Platform Game - Any%\tBest Splits\tBest Times\tPersonal Best\n"
              "World 1\t2:28.00\t2:29.00\t2:30.13\nred.png\t\t\t\n"
              "World 2\t2:25.50\t4:58.00\t5:00.00\n\t\t\t\n"
              "World 3\t4:40.00\t0.00\t0.00\n\t\t\t\n");
    EXPECT_EQ(report_.LeftBehindLine(), "Left behind: \"theme\", \"width\", \"world_record\"");
}

TEST_F(UrnJsonTest, ExportNamesWhatTheFormatCannotHold) {
    WriteFile(File("a.txt"),
              "3\t2.00\nRoute\tBest Splits\tRun 1\tRun 2\tBest Times\tPB\n"
              "One\t10.00\t11.00\t12.00\t10.50\t10.75\n\t\t\t\t\t\n");
    Convert(File("a.txt"), File("a.json"));
    EXPECT_EQ(ReadFile(File("a.json")),
              "{\n"
              "    \"title\": \"Route\",\n"
              "    \"attempt_count\": 3,\n"
              "    \"splits\": [\n"
              "        {\n"
              "            \"title\": \"One\",\n"
              "            \"time\": \"0:00:10.750000\",\n"
              "            \"best_time\": \"0:00:10.500000\",\n"
              "            \"best_segment\": \"0:00:10.000000\"\n"
              "        }\n"
              "    ]\n"
              "}\n");
    EXPECT_EQ(report_.LeftBehindLine(),
              "Left behind: the start offset of 0:00:02.000000, 2 stored runs");
}

}  // namespace
