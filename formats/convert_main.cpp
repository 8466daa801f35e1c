// quorvel-convert: converts a split file between this timer's format and the other timers'
// formats on the command line.
//
//   $ quorvel-convert tunic.lss tunic.txt
//   1,788 attempts and 1,436 segment times kept                          (on stderr)
//   Left behind: auto-splitter settings
//   $ quorvel-convert --update tunic.txt tunic.lss     (tunic.lss updated in place)
//   $ echo $?     -> 0 done, 1 bad input, OUT there (without --update or --force) or not
//                    written, 2 bad usage
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Converter.h"

namespace {

constexpr const char* kUsage =
    "usage: quorvel-convert [--timing real|game] [--update | --force] IN OUT\n"
    "\n"
    "Converts a split file to another format, chosen by the extensions:\n"
    "  .txt   this timer's split file\n"
    "  .lss   XML split file (read: every version; written: version 1.8)\n"
    "  .json  JSON split file of the Linux timers\n"
    "\n"
    "  --timing real|game  which clock of an XML file to read or write (default: real\n"
    "                      time, or game time when the file holds game times only; for a\n"
    "                      .txt, the clock its route was imported on)\n"
    "  --update            update an existing XML OUT in place: what this timer holds of\n"
    "                      the route is rewritten, everything else in OUT is kept\n"
    "  --force             replace OUT when it is there (never IN itself)\n"
    "  --help              this text\n"
    "\n"
    "Icons inside an XML file are written beside OUT as OUT's name, a dash, the split's\n"
    "number and the image's extension, under another name when that one is taken; no file\n"
    "but OUT is ever replaced. The route's history goes along: into the .history.sqlite\n"
    "file beside a .txt, into the attempt list of an XML file. What OUT cannot hold is\n"
    "listed on stderr.\n"
    "Exit status: 0 done, 1 bad input or OUT not written, 2 bad usage.\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "quorvel-convert: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ConvertOptions options;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--timing" || argument.starts_with("--timing=")) {
            std::string value;
            if (argument == "--timing") {
                if (i + 1 >= argc) {
                    return Usage("--timing needs real or game");
                }
                value = argv[++i];
            } else {
                value = argument.substr(std::strlen("--timing="));
            }
            if (value == "real") {
                options.Timing = TimingMethod::RealTime;
            } else if (value == "game") {
                options.Timing = TimingMethod::GameTime;
            } else {
                return Usage("--timing needs real or game");
            }
            continue;
        }
        if (argument == "--force") {
            options.Replace = true;
            continue;
        }
        if (argument == "--update") {
            options.Update = true;
            continue;
        }
        if (argument.starts_with("--")) {
            return Usage(("unknown option " + argument).c_str());
        }
        files.push_back(argument);
    }
    if (files.size() != 2) {
        return Usage("give one input and one output file");
    }
    if (options.Update && options.Replace) {
        return Usage("give --update or --force, not both");
    }
    ConvertReport report;
    const ConvertResult result = ConvertSplitFile(files[0], files[1], options, &report);
    switch (result.Outcome) {
        case ConvertResult::Ok:
            std::fputs(report.Text().c_str(), stderr);
            return 0;
        case ConvertResult::BadUsage:
            return Usage(result.Message.c_str());
        case ConvertResult::OutputExists:
            std::fprintf(stderr, "quorvel-convert: %s Nothing written; %s\n",
                         result.Message.c_str(),
                         SplitFormatOfPath(files[1]) == SplitFormat::Lss
                             ? "--update updates it in place, --force replaces it."
                             : "--force replaces it (--update updates only .lss files).");
            return 1;
        case ConvertResult::NotUpdatable:
            std::fprintf(stderr, "quorvel-convert: %s Nothing written; --force replaces it.\n",
                         result.Message.c_str());
            return 1;
        default:
            std::fprintf(stderr, "quorvel-convert: %s\n", result.Message.c_str());
            return 1;
    }
}
