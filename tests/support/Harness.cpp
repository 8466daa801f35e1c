#include "Harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace support {

// ---- Environment ----

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = old;
    }
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}

namespace {

// Forks and execs argv; the child first closes every descriptor but 0-2 and keep.
pid_t Spawn(const std::vector<std::string>& argv, int keep, const char* display) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != keep) {
                close(fd);
            }
        }
        if (display != nullptr) {
            setenv("DISPLAY", display, 1);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Reads one line from fd until it closes; the line end is dropped.
std::string ReadLine(int fd) {
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

}  // namespace

Daemon::Daemon(const std::string& program, std::vector<std::string> arguments) {
    const std::string path = FindProgram(program);
    int fds[2];
    if (path.empty() || pipe(fds) != 0) {
        return;
    }
    for (std::string& argument : arguments) {
        if (const std::size_t at = argument.find("{fd}"); at != std::string::npos) {
            argument.replace(at, 4, std::to_string(fds[1]));
        }
    }
    arguments.insert(arguments.begin(), path);
    pid_ = Spawn(arguments, fds[1], nullptr);
    close(fds[1]);
    line_ = ReadLine(fds[0]);  // written once the server accepts connections
    close(fds[0]);
}

void Daemon::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

Xvfb::Xvfb()
    : Daemon("Xvfb",
             {"-displayfd", "{fd}", "-screen", "0", "320x240x24", "-nolisten", "tcp", "-noreset"}) {
}

SessionBus::SessionBus()
    : Daemon("dbus-daemon", {"--session", "--nofork", "--print-address={fd}"}) {}

bool XdotoolKey(const std::string& display, const std::vector<std::string>& keys) {
    const std::string program = FindProgram("xdotool");
    if (program.empty()) {
        return false;
    }
    std::vector<std::string> argv = {program, "key"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    const pid_t pid = Spawn(argv, -1, display.c_str());
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace support
