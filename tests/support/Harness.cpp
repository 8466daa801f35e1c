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

void Stop(pid_t* pid) {
    if (*pid > 0) {
        kill(*pid, SIGTERM);
        int status = 0;
        waitpid(*pid, &status, 0);
        *pid = -1;
    }
}

}  // namespace

// ---- Xvfb ----

Xvfb::Xvfb(const std::vector<std::string>& extraArguments) {
    const std::string program = FindProgram("Xvfb");
    if (program.empty()) {
        return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    std::vector<std::string> argv = {program,     "-displayfd", std::to_string(fds[1]),
                                     "-screen",   "0",          "320x240x24",
                                     "-nolisten", "tcp",        "-noreset"};
    argv.insert(argv.end(), extraArguments.begin(), extraArguments.end());
    pid_ = Spawn(argv, fds[1], nullptr);
    close(fds[1]);
    // The server writes its display number once it accepts connections.
    const std::string number = ReadLine(fds[0]);
    close(fds[0]);
    if (!number.empty()) {
        display_ = ":" + number;
    }
}

Xvfb::~Xvfb() {
    Kill();
}

void Xvfb::Kill() {
    Stop(&pid_);
}

// ---- D-Bus ----

SessionBus::SessionBus() {
    const std::string program = FindProgram("dbus-daemon");
    if (program.empty()) {
        return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    pid_ = Spawn({program, "--session", "--nofork", "--print-address=" + std::to_string(fds[1])},
                 fds[1], nullptr);
    close(fds[1]);
    address_ = ReadLine(fds[0]);
    close(fds[0]);
}

SessionBus::~SessionBus() {
    Stop(&pid_);
}

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
