// The command line: the toolkit's options, ours, and "--" before a file named like an option.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CommandLine, TheSplitFileIsTakenFromWhatTheToolkitLeavesOrAfterTheDashes) {
    const struct {
        std::vector<std::string> arguments;  // as given
        std::vector<std::string> leftOver;   // as the toolkit leaves the first count of them
        int toolkitCount;
        std::string file;
        std::string unknown;
    } cases[] = {
        // clang-format off
        {{"quorvel", "route.txt"}, {"quorvel", "route.txt"}, 2, "route.txt", ""},
        {{"quorvel", "-platform", "offscreen", "route.txt"}, {"quorvel", "route.txt"}, 4,
         "route.txt", ""},
        {{"quorvel", "--", "-reverse"}, {"quorvel"}, 1, "-reverse", ""},
        {{"quorvel", "-reverse", "--", "-platform"}, {"quorvel"}, 2, "-platform", ""},
        {{"quorvel", "--", "--help"}, {"quorvel"}, 1, "--help", ""},
        {{"quorvel", "-x", "route.txt"}, {"quorvel", "-x", "route.txt"}, 3, "route.txt", "-x"},
        {{"quorvel"}, {"quorvel"}, 1, "", ""},
        {{"quorvel", "--"}, {"quorvel"}, 1, "", ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        const CommandLine line = ReadCommandLine(c.arguments);
        EXPECT_EQ(line.What, CommandLine::Action::Run) << c.arguments.back();
        EXPECT_EQ(line.ToolkitArgumentCount, c.toolkitCount) << c.arguments.back();
        std::string unknown;
        EXPECT_EQ(SplitFileArgument(line, c.leftOver, &unknown), c.file) << c.arguments.back();
        EXPECT_EQ(unknown, c.unknown) << c.arguments.back();
    }
}

TEST(CommandLine, HelpAndVersionAreAnsweredOnlyBeforeTheDashes) {
    EXPECT_EQ(ReadCommandLine({"quorvel", "--help"}).What, CommandLine::Action::Help);
    EXPECT_EQ(ReadCommandLine({"quorvel", "-platform", "xcb", "-h"}).What,
              CommandLine::Action::Help);
    EXPECT_EQ(ReadCommandLine({"quorvel", "--version"}).What, CommandLine::Action::Version);
    EXPECT_EQ(ReadCommandLine({"quorvel", "--", "--version"}).What, CommandLine::Action::Run);
}
