// Process harnesses for the tests: environment variables set for one test, a private Xvfb
// server, a private session bus (where the fake desktop portal lives) and xdotool key presses.
//
//   support::Xvfb server;                         // server.Display() == ":17"
//   support::XdotoolKey(server.Display(), {"KP_1"});
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace support {

// Sets (or, with nullopt, removes) an environment variable until the end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// True when an executable of that name is on PATH.
bool HasProgram(const std::string& name);

// A server that writes one line to the descriptor "{fd}" in its arguments once it serves,
// stopped at destruction (or by Kill, to test a lost connection). Not Running() when the
// program is not installed.
class Daemon {
  public:
    Daemon(const std::string& program, std::vector<std::string> arguments);
    ~Daemon() { Kill(); }
    Daemon(const Daemon&) = delete;
    Daemon& operator=(const Daemon&) = delete;
    bool Running() const { return pid_ > 0 && !line_.empty(); }
    void Kill();

  protected:
    pid_t pid_ = -1;
    std::string line_;  // what the server wrote when it was ready
};

// An Xvfb on a display number of its own choosing (-displayfd).
struct Xvfb : Daemon {
    Xvfb();
    std::string Display() const { return ":" + line_; }
};

// A private D-Bus session bus (dbus-daemon --session).
struct SessionBus : Daemon {
    SessionBus();
    const std::string& Address() const { return line_; }
};

// Runs "xdotool key <keys...>" on the display and waits for it. True when it succeeded.
bool XdotoolKey(const std::string& display, const std::vector<std::string>& keys);

}  // namespace support
