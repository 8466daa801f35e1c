// A small window of another client that takes the keyboard focus and counts the key presses
// that reach it: the game the runner plays while the global hotkeys listen.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

class FocusedWindow {
  public:
    explicit FocusedWindow(const std::string& display);
    ~FocusedWindow();
    FocusedWindow(const FocusedWindow&) = delete;
    FocusedWindow& operator=(const FocusedWindow&) = delete;

    bool Ok() const { return connection_ != nullptr; }
    // Reads what has arrived (after a round trip) and returns how often a key producing the
    // key symbol has been pressed in the window so far.
    int PressesOf(uint32_t keysym);

  private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = 0;
    std::vector<uint32_t> pressed_;  // keycodes, in order
};
