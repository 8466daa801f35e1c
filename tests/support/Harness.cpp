#include "Harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace support {

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = old;
    }
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    old_ ? setenv(name_.c_str(), old_->c_str(), 1) : unsetenv(name_.c_str());
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
pid_t Spawn(const std::vector<std::string>& argv, int keep) {
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
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
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
    pid_ = Spawn(arguments, fds[1]);
    close(fds[1]);
    char c = 0;  // the line, written once the server accepts connections
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        line_ += c;
    }
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
    std::string command = "DISPLAY='" + display + "' xdotool key";
    for (const std::string& key : keys) {
        command += " '" + key + "'";
    }
    return std::system(command.c_str()) == 0;
}

}  // namespace support
