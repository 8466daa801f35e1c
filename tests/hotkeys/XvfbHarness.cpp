#include "XvfbHarness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "GlobalHotkeys.h"

namespace hotkeys_test {

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

// ---- Focused window ----

FocusedWindow::FocusedWindow(const std::string& display) {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    window_ = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                      &events);
    xcb_map_window(c, window_);
    // Focus needs the window viewable: wait for the map to be done.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

FocusedWindow::~FocusedWindow() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

int FocusedWindow::PressesOf(uint32_t keysym) {
    if (connection_ == nullptr) {
        return 0;
    }
    xcb_connection_t* c = connection_;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
            pressed_.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
        }
        std::free(event);
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, count),
                                       nullptr),
        &std::free);
    if (!mapping) {
        return 0;
    }
    tk::hotkeys::KeyboardMap map;
    map.MinKeycode = setup->min_keycode;
    map.KeysymsPerKeycode = mapping->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    map.Keysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));
    const std::vector<uint32_t> keycodes = map.KeycodesFor({keysym});
    return static_cast<int>(std::count_if(pressed_.begin(), pressed_.end(), [&](uint32_t code) {
        return std::find(keycodes.begin(), keycodes.end(), code) != keycodes.end();
    }));
}

}  // namespace hotkeys_test
