// What a conversion writes: its output, and beside it the icons, never over a file that is
// there, and nothing at all when it fails, is cancelled or races another conversion.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <string>
#include <utility>
#include <vector>

#include "ConvertFixture.h"

extern char** environ;

namespace {

using OutputTest = ConvertFixture;

// A failed `quorvel-convert game.lss route.txt` (route.txt write-protected) wrote its icons
// over the runner's route-1.png and route-2.png, then deleted them.
TEST_F(OutputTest, TheRunnersFilesBesideTheOutputAreNeitherReplacedNorRemoved) {
    WriteFile(File("route-1.png"), "the runner's own picture");
    WriteFile(File("route-2.png"), "another of the runner's pictures");
    WriteFile(File("route.txt"), "write-protected\n");
    ::chmod(File("route.txt").c_str(), 0444);
    const std::vector<std::string> before = FolderEntries(dir_.Path());
    ConvertOptions forced;
    forced.Replace = true;
    const std::string icons = TestDataPath("formats/icons.lss");
    ConvertResult result = ConvertSplitFile(icons, File("route.txt"), forced, &report_);
    EXPECT_EQ(result.Outcome, ConvertResult::WriteFailed);
    EXPECT_NE(result.Message.find("write-protected"), std::string::npos) << result.Message;
    EXPECT_EQ(FolderEntries(dir_.Path()), before);

    ::chmod(File("route.txt").c_str(), 0644);
    result = ConvertSplitFile(icons, File("route.txt"), forced, &report_);
    ASSERT_EQ(result.Outcome, ConvertResult::Ok) << result.Message;
    EXPECT_EQ(ReadFile(File("route-1.png")), "the runner's own picture");
    EXPECT_EQ(ReadFile(File("route-2.png")), "another of the runner's pictures");
    EXPECT_EQ(ReadFile(File("route-1-2.png")), ReadFile(TestDataPath("formats/red.png")));
    std::string expected = ReadFile(TestDataPath("formats/icons.txt"));
    expected.replace(expected.find("route-1.png"), 11, "route-1-2.png");
    expected.replace(expected.find("route-2.png"), 11, "route-2-2.png");
    EXPECT_EQ(ReadFile(File("route.txt")), expected);
}

// Two converters shared one temporary name: one reported failure while OUT held its output
// (39 of 60 rounds).
TEST_F(OutputTest, TwoConvertersWritingOneOutputAtOnceBothSucceedWithAWholeFile) {
    const std::string out = File("route.txt");
    Convert(TestDataPath("formats/first-version.lss"), out);
    const std::string expected = ReadFile(out);
    std::string in = TestDataPath("formats/first-version.lss");
    std::string tool = QUORVEL_CONVERT;
    std::string force = "--force";
    std::string target = out;
    char* const argv[] = {tool.data(), force.data(), in.data(), target.data(), nullptr};
    posix_spawn_file_actions_t quiet;  // what the tools say is not looked at
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&quiet, 1, 2);
    int failed = 0;
    for (int round = 0; round < 60; ++round) {
        pid_t pids[2];
        for (pid_t& pid : pids) {
            ASSERT_EQ(::posix_spawn(&pid, tool.c_str(), &quiet, nullptr, argv, environ), 0);
        }
        for (const pid_t pid : pids) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
        }
        ASSERT_EQ(ReadFile(out), expected) << "round " << round;
    }
    ::posix_spawn_file_actions_destroy(&quiet);
    EXPECT_EQ(failed, 0) << "conversions that failed, of 120";
    EXPECT_EQ(FolderEntries(dir_.Path()),
              (std::vector<std::string>{"route.history.sqlite", "route.txt"}));
}

// icons.lss has two icons to write: steps 0 to 3 of 3 (the icons, then the split file).
TEST_F(OutputTest, ProgressCountsEveryStepAndACancelAtAnyStepLeavesNoFile) {
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    ConvertOptions options;
    options.Progress = [&](std::size_t done, std::size_t total) {
        calls.emplace_back(done, total);
        return true;
    };
    const std::string icons = TestDataPath("formats/icons.lss");
    EXPECT_EQ(ConvertSplitFile(icons, File("route.txt"), options, &report_).Outcome,
              ConvertResult::Ok);
    EXPECT_EQ(calls,
              (std::vector<std::pair<std::size_t, std::size_t>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    for (std::size_t stop = 0; stop <= 3; ++stop) {
        SCOPED_TRACE(stop);
        const TempDir folder;
        options.Progress = [&](std::size_t done, std::size_t) { return done != stop; };
        EXPECT_EQ(ConvertSplitFile(icons, folder.File("route.txt"), options, &report_).Outcome,
                  ConvertResult::Cancelled);
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{});
    }
}

}  // namespace
