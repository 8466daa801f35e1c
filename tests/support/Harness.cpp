#include "Harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

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

bool HasProgram(const std::string& name) {
    return std::system(("command -v '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}

Daemon::Daemon(const std::string& program, std::vector<std::string> arguments) {
    int fds[2];
    if (!HasProgram(program) || pipe(fds) != 0) {
        return;
    }
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (std::string& argument : arguments) {
        if (const std::size_t at = argument.find("{fd}"); at != std::string::npos) {
            argument.replace(at, 4, std::to_string(fds[1]));
        }
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {  // the server keeps no descriptor of ours but the pipe's end
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != fds[1]) {
                close(fd);
            }
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
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
