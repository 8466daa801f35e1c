#include "CommandLine.h"

CommandLine ReadCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    line.ToolkitArgumentCount = static_cast<int>(arguments.size());
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            line.ToolkitArgumentCount = static_cast<int>(i);
            if (i + 1 < arguments.size()) {
                line.SplitFileAfterDashes = arguments[i + 1];
            }
            break;
        }
        if (argument == "--help" || argument == "-h") {
            line.What = CommandLine::Action::Help;
            return line;
        }
        if (argument == "--version") {
            line.What = CommandLine::Action::Version;
            return line;
        }
    }
    return line;
}

std::string SplitFileArgument(const CommandLine& line, const std::vector<std::string>& leftOver,
                              std::string* unknown) {
    unknown->clear();
    std::string file;
    for (std::size_t i = 1; i < leftOver.size(); ++i) {
        const std::string& argument = leftOver[i];
        if (argument.size() > 1 && argument.front() == '-') {
            if (unknown->empty()) {
                *unknown = argument;
            }
        } else if (file.empty() && !argument.empty()) {
            file = argument;
        }
    }
    return line.SplitFileAfterDashes.empty() ? file : line.SplitFileAfterDashes;
}

std::string UsageText() {
    return "Usage: quorvel [--help] [--version] [Qt options] [--] [SPLIT-FILE]\n"
           "A split timer for speed runs. Opens SPLIT-FILE, a TAB-separated route, at launch.\n"
           "  --help      show this text and quit\n"
           "  --version   show the version and quit\n"
           "  --          what follows is a file name, even if it begins with '-'\n"
           "               (quorvel -- -reverse opens a file named -reverse)\n"
           "Qt's own options, such as -platform offscreen, may come before --.\n";
}
