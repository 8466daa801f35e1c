// Process entry: reads the command line, lets Qt take its own options, and runs the
// application with AppDelegate. A split file named on the command line opens at launch.
#include <QApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "AppDelegate.h"
#include "CommandLine.h"
#include "QuitSignals.h"
#include "Toolkit.h"

int main(int argc, char** argv) {
    // With a file size limit, a write past it must fail and be reported, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    const CommandLine line = ReadCommandLine(std::vector<std::string>(argv, argv + argc));
    if (line.What == CommandLine::Action::Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (line.What == CommandLine::Action::Version) {
        std::printf("quorvel %s\n", QUORVEL_VERSION);
        return 0;
    }
    // Qt sees only the arguments before "--" and takes its options out of them; it keeps a
    // reference to the count for the life of the process.
    static int toolkitArgc = line.ToolkitArgumentCount;
    new QApplication(toolkitArgc, argv);  // kept for the life of the process
    std::vector<std::string> leftOver;
    for (const QString& argument : QCoreApplication::arguments()) {
        leftOver.push_back(argument.toStdString());
    }
    std::string unknown;
    std::string file = SplitFileArgument(line, leftOver, &unknown);
    if (!unknown.empty()) {
        std::fprintf(stderr,
                     "Quorvel: unknown option %s (use -- before a file name that begins with -)\n",
                     unknown.c_str());
    }
    AppDelegate delegate({argv[0], std::move(file)});
    const QuitSignals quitSignals([&delegate] { return delegate.QuitOnSignal(); });
    return tk::Application::Run(toolkitArgc, argv, delegate);
}
