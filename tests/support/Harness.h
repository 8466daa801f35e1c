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

// The path of an executable found on PATH, or "".
std::string FindProgram(const std::string& name);

// An Xvfb on a display number of its own choosing (-displayfd), stopped at destruction.
class Xvfb {
  public:
    explicit Xvfb(const std::vector<std::string>& extraArguments = {});
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool Running() const { return pid_ > 0 && !display_.empty(); }
    const std::string& Display() const { return display_; }  // ":17"
    // Stops the server now (to test a lost connection).
    void Kill();

  private:
    pid_t pid_ = -1;
    std::string display_;
};

// A private D-Bus session bus (dbus-daemon --session), stopped at destruction.
class SessionBus {
  public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool Running() const { return pid_ > 0 && !address_.empty(); }
    const std::string& Address() const { return address_; }

  private:
    pid_t pid_ = -1;
    std::string address_;
};

// Runs "xdotool key <keys...>" on the display and waits for it. True when it succeeded.
bool XdotoolKey(const std::string& display, const std::vector<std::string>& keys);

}  // namespace support
