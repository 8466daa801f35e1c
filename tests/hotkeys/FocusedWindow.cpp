#include "FocusedWindow.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "GlobalHotkeys.h"

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
