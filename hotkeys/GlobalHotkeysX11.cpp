#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <QMetaObject>
#include <QSocketNotifier>

#include <cstdlib>
#include <memory>
#include <utility>

#include "GlobalHotkeysBackend.h"

namespace hotkeys::detail {

namespace {

// ---- XCB ownership ----

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const noexcept { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

struct FreeDeleter {
    void operator()(void* memory) const noexcept { std::free(memory); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

constexpr uint16_t kCoreLock = 1u << 1;

// ---- The backend ----

class X11Backend final : public HotkeyBackend {
  public:
    X11Backend(BackendHost host, Connection connection, xcb_window_t root)
        : host_(std::move(host)), connection_(std::move(connection)), root_(root) {}

    ~X11Backend() override {
        UngrabAll();
        if (connection_ && xcb_connection_has_error(connection_.get()) == 0) {
            xcb_flush(connection_.get());
        }
        // A notifier must not be deleted while it is delivering its signal.
        if (dispatching_ > 0 && notifier_) {
            notifier_->setEnabled(false);
            QObject::disconnect(notifier_.get(), nullptr, nullptr, nullptr);
            notifier_.release()->deleteLater();
        }
    }

    // Selects raw key events, or falls back to a key grab. False when the server offers
    // neither.
    bool Open(bool forceGrab) {
        xcb_connection_t* c = connection_.get();
        const xcb_query_extension_reply_t* input = xcb_get_extension_data(c, &xcb_input_id);
        if (forceGrab) {
            grab_ = true;
        } else if (input != nullptr && input->present != 0) {
            xiOpcode_ = input->major_opcode;
            XcbReply<xcb_input_xi_query_version_reply_t> version(
                xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr));
            if (version && version->major_version >= 2) {
                struct {
                    xcb_input_event_mask_t head;
                    uint32_t mask;
                } selection{};
                selection.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
                selection.head.mask_len = 1;
                selection.mask =
                    XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
                XcbReply<xcb_generic_error_t> error(xcb_request_check(
                    c, xcb_input_xi_select_events_checked(c, root_, 1, &selection.head)));
                grab_ = error != nullptr;
            } else {
                grab_ = true;
            }
        } else {
            grab_ = true;
        }
        if (grab_ && !forceGrab) {
            host_.Report(kGrabFallbackMessage);
        }
        LoadKeyboardMap();
        if (xcb_connection_has_error(c) != 0) {
            return false;
        }
        notifier_ =
            std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                         [this, alive = std::weak_ptr<int>(alive_)] {
                             if (!alive.expired()) {
                                 Dispatch();
                             }
                         });
        return true;
    }

    std::string Name() const override { return grab_ ? "x11-grab" : "xinput2"; }

    void SetBindings(const std::vector<Binding>& bindings) override {
        bindings_ = bindings;
        Rebind();
    }

    void SetEnabled(bool enabled) override {
        enabled_ = enabled;
        if (grab_) {
            // Disabled, the grabbed keys go back to the game.
            Rebind();
        }
    }

    void DispatchPending() override {
        if (!Alive()) {
            return;
        }
        xcb_connection_t* c = connection_.get();
        XcbReply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        Dispatch();
    }

  private:
    bool Alive() const { return connection_ && xcb_connection_has_error(connection_.get()) == 0; }

    // Reads and handles every event there is. Returns at once when an action has destroyed
    // this backend.
    void Dispatch() {
        if (lost_) {
            return;
        }
        const std::weak_ptr<int> alive = alive_;
        ++dispatching_;
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_.get())) {
            XcbReply<xcb_generic_event_t> event(raw);
            Handle(*event);
            if (alive.expired()) {
                return;
            }
        }
        --dispatching_;
        if (xcb_connection_has_error(connection_.get()) != 0) {
            lost_ = true;
            notifier_->setEnabled(false);
            tracker_.Forget();
            host_.Report(kConnectionLostMessage);
        }
    }

    // After a request that waited for its reply, events read meanwhile wait in XCB's queue
    // while the socket is quiet: have the event loop look at them soon.
    void ScheduleDispatch() {
        if (notifier_) {
            QMetaObject::invokeMethod(
                notifier_.get(),
                [this, alive = std::weak_ptr<int>(alive_)] {
                    if (!alive.expired()) {
                        Dispatch();
                    }
                },
                Qt::QueuedConnection);
        }
    }

    void Handle(const xcb_generic_event_t& event) {
        const uint8_t type = event.response_type & 0x7f;
        if (type == XCB_GE_GENERIC) {
            const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
            if (generic.extension != xiOpcode_) {
                return;
            }
            const auto& key = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
            if (generic.event_type == XCB_INPUT_RAW_KEY_PRESS) {
                Press(key.detail, key.time, tracker_.HeldModifiers());
            } else if (generic.event_type == XCB_INPUT_RAW_KEY_RELEASE) {
                tracker_.Release(key.detail, key.time);
            }
        } else if (type == XCB_KEY_PRESS) {
            const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
            Press(key.detail, key.time, ModifiersFromCoreState(key.state, masks_));
        } else if (type == XCB_KEY_RELEASE) {
            const auto& key = reinterpret_cast<const xcb_key_release_event_t&>(event);
            tracker_.Release(key.detail, key.time);
        } else if (type == XCB_MAPPING_NOTIFY) {
            const auto& mapping = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
            if (mapping.request != XCB_MAPPING_POINTER) {
                LoadKeyboardMap();
                Rebind();
            }
        }
    }

    // May destroy this backend (through the action).
    void Press(uint32_t keycode, uint32_t time, unsigned held) {
        const int64_t receivedNs = MonotonicNowNs();
        if (!tracker_.Press(keycode, time) || !enabled_) {
            return;
        }
        const int id = ChooseBinding(keycode, held, bound_);
        if (id >= 0) {
            host_.Fire(id, time, receivedNs);
        }
    }

    // ---- Keyboard map ----

    void LoadKeyboardMap() {
        xcb_connection_t* c = connection_.get();
        const xcb_setup_t* setup = xcb_get_setup(c);
        const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, count), nullptr));
        XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(
            xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
        ScheduleDispatch();
        if (!mapping) {
            return;
        }
        KeyboardMap map;
        map.MinKeycode = setup->min_keycode;
        map.KeysymsPerKeycode = mapping->keysyms_per_keycode;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
        map.Keysyms.assign(keysyms, keysyms + length);
        if (modifiers) {
            const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(modifiers.get());
            const int modLength = xcb_get_modifier_mapping_keycodes_length(modifiers.get());
            const std::vector<uint32_t> modmap(keycodes, keycodes + modLength);
            masks_ = CoreMasksFor(map, modmap, modifiers->keycodes_per_modifier);
        }
        tracker_.SetKeyboardMap(map);
        map_ = std::move(map);
    }

    // ---- Bindings and grabs ----

    void Rebind() {
        if (!Alive()) {
            return;
        }
        UngrabAll();
        bound_.clear();
        for (const Binding& binding : bindings_) {
            BoundKey key{binding.Id, binding.Spec.Modifiers,
                         map_.KeycodesFor(KeysymsForHotkey(binding.Spec))};
            if (key.Keycodes.empty()) {
                host_.Report(NoKeyMessage(binding.Spec));
            }
            bound_.push_back(std::move(key));
        }
        if (grab_ && enabled_) {
            GrabAll();
        }
        xcb_flush(connection_.get());
    }

    void GrabAll() {
        xcb_connection_t* c = connection_.get();
        struct Pending {
            xcb_void_cookie_t Cookie;
            const Binding* Owner;
        };
        std::vector<Pending> pending;
        const uint16_t lockVariants[] = {0, kCoreLock, masks_.NumLock,
                                         static_cast<uint16_t>(kCoreLock | masks_.NumLock)};
        for (size_t i = 0; i < bound_.size(); ++i) {
            bool ok = false;
            const uint16_t state = CoreStateForModifiers(bound_[i].Modifiers, masks_, &ok);
            if (!ok) {
                host_.Report(NoKeyMessage(bindings_[i].Spec));
                continue;
            }
            for (uint32_t keycode : bound_[i].Keycodes) {
                for (size_t v = 0; v < std::size(lockVariants); ++v) {
                    if (v >= 2 && masks_.NumLock == 0) {
                        break;
                    }
                    const auto modifiers = static_cast<uint16_t>(state | lockVariants[v]);
                    const auto code = static_cast<xcb_keycode_t>(keycode);
                    pending.push_back(
                        {xcb_grab_key_checked(c, 1, root_, modifiers, code, XCB_GRAB_MODE_ASYNC,
                                              XCB_GRAB_MODE_ASYNC),
                         &bindings_[i]});
                    grabs_.push_back({code, modifiers});
                }
            }
        }
        for (const Pending& grab : pending) {
            XcbReply<xcb_generic_error_t> error(xcb_request_check(c, grab.Cookie));
            if (error) {
                host_.Report(TakenMessage(grab.Owner->Spec));
            }
        }
        ScheduleDispatch();
    }

    void UngrabAll() {
        if (!Alive()) {
            grabs_.clear();
            return;
        }
        for (const Grab& grab : grabs_) {
            xcb_ungrab_key(connection_.get(), grab.Keycode, root_, grab.Modifiers);
        }
        grabs_.clear();
    }

    struct Grab {
        xcb_keycode_t Keycode;
        uint16_t Modifiers;
    };

    BackendHost host_;
    Connection connection_;
    xcb_window_t root_;
    uint8_t xiOpcode_ = 0;
    bool grab_ = false;
    bool enabled_ = true;
    bool lost_ = false;
    int dispatching_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    KeyboardMap map_;
    CoreModifierMasks masks_;
    KeyTracker tracker_;
    std::vector<Binding> bindings_;
    std::vector<BoundKey> bound_;  // parallel to bindings_
    std::vector<Grab> grabs_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace

std::unique_ptr<HotkeyBackend> StartX11Backend(const BackendHost& host, bool forceGrab) {
    int screenNumber = 0;
    Connection connection(xcb_connect(nullptr, &screenNumber));
    if (!connection || xcb_connection_has_error(connection.get()) != 0) {
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        return nullptr;
    }
    const xcb_window_t root = screens.data->root;
    auto backend = std::make_unique<X11Backend>(host, std::move(connection), root);
    if (!backend->Open(forceGrab)) {
        return nullptr;
    }
    return backend;
}

}  // namespace hotkeys::detail
