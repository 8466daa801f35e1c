// Process entry: runs the application with AppDelegate. A split file named as the first
// argument opens at launch.
#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "AppDelegate.h"
#include "Toolkit.h"

int main(int argc, char** argv) {
    // With a file size limit, a write past it must fail and be reported, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> arguments(argv, argv + argc);
    AppDelegate delegate(std::move(arguments));
    return tk::Application::Run(argc, argv, delegate);
}
