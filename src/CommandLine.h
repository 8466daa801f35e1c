// The command line: quorvel [options] [--] [split file]. Qt takes its own options (-platform,
// -reverse, -style ...) from the arguments before "--"; what it leaves, and whatever follows
// "--", is ours. "--" lets a split file be named "-reverse". Standard library only.
//
//   {"quorvel", "route.txt"}                         -> Run, "route.txt"
//   {"quorvel", "--", "-reverse"}                    -> Run, "-reverse" (Qt sees {"quorvel"})
//   {"quorvel", "--help"}                            -> Help
//   {"quorvel", "--version"}                         -> Version
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version };
    Action What = Action::Run;
    // How many leading arguments the toolkit may see and take options from: those before
    // "--", or all of them.
    int ToolkitArgumentCount = 0;
    std::string SplitFileAfterDashes;  // the file named after "--", or ""
};

// Reads the whole argument vector, before the toolkit has seen it.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments);

// The split file among the arguments the toolkit left (its own options taken out), or the one
// after "--": the first argument after the program's name that is not an option. An unknown
// option is skipped and named in *unknown ("-x"), so the caller can say so.
std::string SplitFileArgument(const CommandLine& line, const std::vector<std::string>& leftOver,
                              std::string* unknown);

// The text of --help: "Usage: quorvel [--help] [--version] [Qt options] [--] [SPLIT-FILE]" and
// a few lines on each.
std::string UsageText();
