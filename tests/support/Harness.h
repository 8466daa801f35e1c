// Process harnesses for the tests: environment variables set for one test, a private Xvfb
// server, a private session bus (where the fake desktop portal lives) and xdotool key presses.
//   support::Xvfb server;                         // server.Display() == ":17"
//   support::XdotoolKey(server.Display(), {"KP_1"});
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace support {

// Sets (or, with nullopt, removes) an environment variable until the end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value)
        : name_(name), old_(std::getenv(name) ? std::getenv(name) : std::optional<std::string>()) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_.c_str(), old_->c_str(), 1) : unsetenv(name_.c_str()); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

inline bool HasProgram(const std::string& name) {
    return std::system(("command -v '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}

// A server that writes one line to its descriptor 3 once it serves, stopped at destruction (or
// by Kill, to test a lost connection). Not Running() when the program is not installed.
class Daemon {
  public:
    Daemon(const std::string& program, std::vector<std::string> arguments) {
        int fds[2];
        if (!HasProgram(program) || pipe(fds) != 0) {
            return;
        }
        std::vector<char*> argv(arguments.size() + 2, nullptr);  // program, arguments, end
        argv[0] = const_cast<char*>(program.c_str());
        std::transform(arguments.begin(), arguments.end(), argv.begin() + 1,
                       [](std::string& argument) { return argument.data(); });
        pid_ = fork();
        if (pid_ == 0) {  // the server keeps no descriptor of ours but the pipe's end, as 3
            dup2(fds[1], 3);
            close_range(4, ~0U, 0);
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
    ~Daemon() { Kill(); }
    Daemon(const Daemon&) = delete;
    Daemon& operator=(const Daemon&) = delete;
    bool Running() const { return pid_ > 0 && !line_.empty(); }
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  protected:
    pid_t pid_ = -1;
    std::string line_;  // what the server wrote when it was ready
};

// An Xvfb on a display number of its own choosing (-displayfd).
struct Xvfb : Daemon {
    Xvfb()
        : Daemon("Xvfb", {"-displayfd", "3", "-screen", "0", "320x240x24", "-nolisten", "tcp",
                          "-noreset"}) {}
    std::string Display() const { return ":" + line_; }
};

// A private D-Bus session bus with a configuration of its own (session-bus.conf): no service
// installed on the machine, such as a real desktop portal, can be started on it.
struct SessionBus : Daemon {
    SessionBus()
        : Daemon("dbus-daemon", {"--config-file=" QUORVEL_TEST_SUPPORT "/session-bus.conf",
                                 "--nofork", "--print-address=3"}) {}
    const std::string& Address() const { return line_; }
};

// "xdotool key <keys...>" on the display, waited for; true when it succeeded.
inline bool XdotoolKey(const std::string& display, const std::vector<std::string>& keys) {
    std::string command = "DISPLAY='" + display + "' xdotool key";
    for (const std::string& key : keys) {
        command += " '" + key + "'";
    }
    return std::system(command.c_str()) == 0;
}

}  // namespace support
