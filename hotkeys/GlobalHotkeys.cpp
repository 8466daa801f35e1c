#include "GlobalHotkeys.h"

#include <X11/keysym.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QString>

#include <algorithm>
#include <bit>
#include <ctime>
#include <map>
#include <set>
#include <utility>

#include "GlobalHotkeysBackend.h"

namespace hotkeys {

namespace {

// ---- Key tables ----

// A key of the numeric keypad: both Qt keys that name it (Num Lock on and off), both X key
// symbols it produces, and its name in the desktop's shortcut notation.
struct KeypadKey {
    int DigitKey;
    int NavigationKey;
    uint32_t Keysym;
    uint32_t NavigationKeysym;
    const char* Name;
};

constexpr KeypadKey kKeypadKeys[] = {
    {Qt::Key_0, Qt::Key_Insert, XK_KP_0, XK_KP_Insert, "KP_0"},
    {Qt::Key_1, Qt::Key_End, XK_KP_1, XK_KP_End, "KP_1"},
    {Qt::Key_2, Qt::Key_Down, XK_KP_2, XK_KP_Down, "KP_2"},
    {Qt::Key_3, Qt::Key_PageDown, XK_KP_3, XK_KP_Next, "KP_3"},
    {Qt::Key_4, Qt::Key_Left, XK_KP_4, XK_KP_Left, "KP_4"},
    {Qt::Key_5, Qt::Key_Clear, XK_KP_5, XK_KP_Begin, "KP_5"},
    {Qt::Key_6, Qt::Key_Right, XK_KP_6, XK_KP_Right, "KP_6"},
    {Qt::Key_7, Qt::Key_Home, XK_KP_7, XK_KP_Home, "KP_7"},
    {Qt::Key_8, Qt::Key_Up, XK_KP_8, XK_KP_Up, "KP_8"},
    {Qt::Key_9, Qt::Key_PageUp, XK_KP_9, XK_KP_Prior, "KP_9"},
    {Qt::Key_Period, Qt::Key_Delete, XK_KP_Decimal, XK_KP_Delete, "KP_Decimal"},
    {Qt::Key_Comma, 0, XK_KP_Separator, XK_KP_Delete, "KP_Separator"},
    {Qt::Key_Plus, 0, XK_KP_Add, 0, "KP_Add"},
    {Qt::Key_Minus, 0, XK_KP_Subtract, 0, "KP_Subtract"},
    {Qt::Key_Asterisk, 0, XK_KP_Multiply, 0, "KP_Multiply"},
    {Qt::Key_Slash, 0, XK_KP_Divide, 0, "KP_Divide"},
    {Qt::Key_Enter, Qt::Key_Return, XK_KP_Enter, 0, "KP_Enter"},
    {Qt::Key_Equal, 0, XK_KP_Equal, 0, "KP_Equal"},
};

// A key outside the keypad whose Qt code is not its X key symbol.
struct NamedKey {
    int QtKey;
    uint32_t Keysym;
    const char* Name;
};

constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Escape, XK_Escape, "Escape"},
    {Qt::Key_Tab, XK_Tab, "Tab"},
    {Qt::Key_Backtab, XK_ISO_Left_Tab, "ISO_Left_Tab"},
    {Qt::Key_Backspace, XK_BackSpace, "BackSpace"},
    {Qt::Key_Return, XK_Return, "Return"},
    {Qt::Key_Enter, XK_KP_Enter, "KP_Enter"},
    {Qt::Key_Insert, XK_Insert, "Insert"},
    {Qt::Key_Delete, XK_Delete, "Delete"},
    {Qt::Key_Pause, XK_Pause, "Pause"},
    {Qt::Key_Print, XK_Print, "Print"},
    {Qt::Key_SysReq, XK_Sys_Req, "Sys_Req"},
    {Qt::Key_Clear, XK_Clear, "Clear"},
    {Qt::Key_Home, XK_Home, "Home"},
    {Qt::Key_End, XK_End, "End"},
    {Qt::Key_Left, XK_Left, "Left"},
    {Qt::Key_Up, XK_Up, "Up"},
    {Qt::Key_Right, XK_Right, "Right"},
    {Qt::Key_Down, XK_Down, "Down"},
    {Qt::Key_PageUp, XK_Prior, "Page_Up"},
    {Qt::Key_PageDown, XK_Next, "Page_Down"},
    {Qt::Key_ScrollLock, XK_Scroll_Lock, "Scroll_Lock"},
    {Qt::Key_Menu, XK_Menu, "Menu"},
    {Qt::Key_Space, XK_space, "space"},
};

// Printable keys other than letters and digits: the Qt code is the Latin-1 key symbol.
constexpr NamedKey kPunctuationKeys[] = {
    {Qt::Key_Minus, XK_minus, "minus"},
    {Qt::Key_Equal, XK_equal, "equal"},
    {Qt::Key_Comma, XK_comma, "comma"},
    {Qt::Key_Period, XK_period, "period"},
    {Qt::Key_Slash, XK_slash, "slash"},
    {Qt::Key_Backslash, XK_backslash, "backslash"},
    {Qt::Key_Semicolon, XK_semicolon, "semicolon"},
    {Qt::Key_Apostrophe, XK_apostrophe, "apostrophe"},
    {Qt::Key_BracketLeft, XK_bracketleft, "bracketleft"},
    {Qt::Key_BracketRight, XK_bracketright, "bracketright"},
    {Qt::Key_QuoteLeft, XK_grave, "grave"},
    {Qt::Key_Plus, XK_plus, "plus"},
    {Qt::Key_Asterisk, XK_asterisk, "asterisk"},
};

const KeypadKey* FindKeypadKey(int key) {
    for (const KeypadKey& entry : kKeypadKeys) {
        if (entry.DigitKey == key || (entry.NavigationKey != 0 && entry.NavigationKey == key)) {
            return &entry;
        }
    }
    return nullptr;
}

const NamedKey* FindIn(const NamedKey* begin, const NamedKey* end, int key) {
    const NamedKey* found =
        std::find_if(begin, end, [key](const NamedKey& entry) { return entry.QtKey == key; });
    return found == end ? nullptr : found;
}

const NamedKey* FindNamedKey(int key) {
    if (const NamedKey* named = FindIn(std::begin(kNamedKeys), std::end(kNamedKeys), key)) {
        return named;
    }
    return FindIn(std::begin(kPunctuationKeys), std::end(kPunctuationKeys), key);
}

bool IsModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Mode_switch:
            return true;
        default:
            return false;
    }
}

constexpr int kFirstFunctionKeys = 35;  // F1 .. F35 are consecutive in both Qt and X

}  // namespace

// ---- Key names ----

bool ParseHotkeyName(const std::string& name, HotkeySpec* hotkey) {
    const QKeySequence sequence =
        QKeySequence::fromString(QString::fromStdString(name), QKeySequence::PortableText);
    if (sequence.count() != 1) {
        return false;
    }
    const QKeyCombination combination = sequence[0];
    const int key = combination.key();
    if (key == 0 || key == Qt::Key_unknown || IsModifierKey(key)) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    constexpr Qt::KeyboardModifiers kKnown = Qt::ShiftModifier | Qt::ControlModifier |
                                             Qt::AltModifier | Qt::MetaModifier |
                                             Qt::KeypadModifier;
    if ((modifiers & ~kKnown) != Qt::NoModifier) {
        return false;
    }
    HotkeySpec parsed;
    parsed.Key = key;
    parsed.Keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        parsed.Modifiers |= kHotkeyShift;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        parsed.Modifiers |= kHotkeyCtrl;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        parsed.Modifiers |= kHotkeyAlt;
    }
    if (modifiers.testFlag(Qt::MetaModifier)) {
        parsed.Modifiers |= kHotkeyMeta;
    }
    *hotkey = parsed;
    return true;
}

std::string HotkeyName(const HotkeySpec& hotkey) {
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, (hotkey.Modifiers & kHotkeyShift) != 0);
    modifiers.setFlag(Qt::ControlModifier, (hotkey.Modifiers & kHotkeyCtrl) != 0);
    modifiers.setFlag(Qt::AltModifier, (hotkey.Modifiers & kHotkeyAlt) != 0);
    modifiers.setFlag(Qt::MetaModifier, (hotkey.Modifiers & kHotkeyMeta) != 0);
    modifiers.setFlag(Qt::KeypadModifier, hotkey.Keypad);
    const QKeySequence sequence(QKeyCombination(modifiers, static_cast<Qt::Key>(hotkey.Key)));
    return sequence.toString(QKeySequence::PortableText).toStdString();
}

namespace detail {

// ---- Key symbols ----

std::vector<uint32_t> KeysymsForHotkey(const HotkeySpec& hotkey) {
    const int key = hotkey.Key;
    if (hotkey.Keypad) {
        if (const KeypadKey* keypad = FindKeypadKey(key)) {
            std::vector<uint32_t> keysyms{keypad->Keysym};
            if (keypad->NavigationKeysym != 0) {
                keysyms.push_back(keypad->NavigationKeysym);
            }
            return keysyms;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const uint32_t offset = static_cast<uint32_t>(key - Qt::Key_A);
        return {XK_a + offset, XK_A + offset};
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return {static_cast<uint32_t>(XK_0 + (key - Qt::Key_0))};
    }
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFirstFunctionKeys) {
        return {static_cast<uint32_t>(XK_F1 + (key - Qt::Key_F1))};
    }
    if (const NamedKey* named = FindNamedKey(key)) {
        return {named->Keysym};
    }
    return {};
}

unsigned ModifierForKeysym(uint32_t keysym) {
    switch (keysym) {
        case XK_Shift_L:
        case XK_Shift_R:
            return kHotkeyShift;
        case XK_Control_L:
        case XK_Control_R:
            return kHotkeyCtrl;
        case XK_Alt_L:
        case XK_Alt_R:
            return kHotkeyAlt;
        case XK_Meta_L:
        case XK_Meta_R:
        case XK_Super_L:
        case XK_Super_R:
            return kHotkeyMeta;
        default:
            return 0;
    }
}

// ---- Keyboard map ----

std::vector<uint32_t> KeyboardMap::KeycodesFor(const std::vector<uint32_t>& keysyms) const {
    std::vector<uint32_t> keycodes;
    if (KeysymsPerKeycode == 0) {
        return keycodes;
    }
    const size_t rows = Keysyms.size() / KeysymsPerKeycode;
    for (size_t row = 0; row < rows; ++row) {
        const auto first = Keysyms.begin() + static_cast<std::ptrdiff_t>(row * KeysymsPerKeycode);
        const auto last = first + static_cast<std::ptrdiff_t>(KeysymsPerKeycode);
        const bool produces = std::any_of(first, last, [&keysyms](uint32_t keysym) {
            return keysym != 0 &&
                   std::find(keysyms.begin(), keysyms.end(), keysym) != keysyms.end();
        });
        if (produces) {
            keycodes.push_back(MinKeycode + static_cast<uint32_t>(row));
        }
    }
    return keycodes;
}

uint32_t KeyboardMap::PrimaryKeysym(uint32_t keycode) const {
    if (KeysymsPerKeycode == 0 || keycode < MinKeycode) {
        return 0;
    }
    const size_t first = static_cast<size_t>(keycode - MinKeycode) * KeysymsPerKeycode;
    if (first + KeysymsPerKeycode > Keysyms.size()) {
        return 0;
    }
    for (size_t column = 0; column < KeysymsPerKeycode; ++column) {
        if (Keysyms[first + column] != 0) {
            return Keysyms[first + column];
        }
    }
    return 0;
}

// ---- Core modifier state ----

namespace {

// Every column of a keycode's row in the map; empty for an unknown keycode.
std::vector<uint32_t> KeysymsOf(const KeyboardMap& map, uint32_t keycode) {
    std::vector<uint32_t> keysyms;
    if (map.KeysymsPerKeycode == 0 || keycode < map.MinKeycode) {
        return keysyms;
    }
    const size_t first = static_cast<size_t>(keycode - map.MinKeycode) * map.KeysymsPerKeycode;
    for (size_t column = 0; column < map.KeysymsPerKeycode; ++column) {
        if (first + column < map.Keysyms.size()) {
            keysyms.push_back(map.Keysyms[first + column]);
        }
    }
    return keysyms;
}

}  // namespace

CoreModifierMasks CoreMasksFor(const KeyboardMap& map, const std::vector<uint32_t>& modmap,
                               uint32_t keycodesPerModifier) {
    CoreModifierMasks masks;
    constexpr size_t kFirstModRow = 3;  // Shift, Lock, Control, then Mod1 .. Mod5
    constexpr size_t kRows = 8;
    for (size_t row = kFirstModRow; row < kRows; ++row) {
        unsigned found = 0;
        bool numLock = false;
        for (size_t i = 0; i < keycodesPerModifier; ++i) {
            const size_t index = row * keycodesPerModifier + i;
            if (index >= modmap.size() || modmap[index] == 0) {
                continue;
            }
            for (uint32_t keysym : KeysymsOf(map, modmap[index])) {
                found |= ModifierForKeysym(keysym);
                numLock = numLock || keysym == XK_Num_Lock;
            }
        }
        const auto bit = static_cast<uint16_t>(1u << row);
        if ((found & kHotkeyAlt) != 0) {
            masks.Alt = static_cast<uint16_t>(masks.Alt | bit);
        } else if ((found & kHotkeyMeta) != 0) {
            masks.Meta = static_cast<uint16_t>(masks.Meta | bit);
        }
        if (numLock) {
            masks.NumLock = static_cast<uint16_t>(masks.NumLock | bit);
        }
    }
    return masks;
}

namespace {
constexpr uint16_t kCoreShift = 1u << 0;
constexpr uint16_t kCoreControl = 1u << 2;

uint16_t LowestBit(uint16_t mask) {
    return static_cast<uint16_t>(mask & (~mask + 1u));
}
}  // namespace

unsigned ModifiersFromCoreState(uint16_t state, const CoreModifierMasks& masks) {
    unsigned modifiers = 0;
    if ((state & kCoreShift) != 0) {
        modifiers |= kHotkeyShift;
    }
    if ((state & kCoreControl) != 0) {
        modifiers |= kHotkeyCtrl;
    }
    if ((state & masks.Alt) != 0) {
        modifiers |= kHotkeyAlt;
    }
    if ((state & masks.Meta) != 0) {
        modifiers |= kHotkeyMeta;
    }
    return modifiers;
}

uint16_t CoreStateForModifiers(unsigned modifiers, const CoreModifierMasks& masks, bool* ok) {
    uint16_t state = 0;
    *ok = true;
    if ((modifiers & kHotkeyShift) != 0) {
        state |= kCoreShift;
    }
    if ((modifiers & kHotkeyCtrl) != 0) {
        state |= kCoreControl;
    }
    if ((modifiers & kHotkeyAlt) != 0) {
        *ok = *ok && masks.Alt != 0;
        state = static_cast<uint16_t>(state | LowestBit(masks.Alt));
    }
    if ((modifiers & kHotkeyMeta) != 0) {
        *ok = *ok && masks.Meta != 0;
        state = static_cast<uint16_t>(state | LowestBit(masks.Meta));
    }
    return *ok ? state : 0;
}

// ---- Matching ----

int ChooseBinding(uint32_t keycode, unsigned held, const std::vector<BoundKey>& bound) {
    int best = -1;
    int bestModifierCount = -1;
    for (const BoundKey& key : bound) {
        if ((key.Modifiers & ~held) != 0 ||
            std::find(key.Keycodes.begin(), key.Keycodes.end(), keycode) == key.Keycodes.end()) {
            continue;
        }
        const int count = std::popcount(key.Modifiers);
        if (count > bestModifierCount || (count == bestModifierCount && key.Id < best)) {
            best = key.Id;
            bestModifierCount = count;
        }
    }
    return best;
}

void KeyTracker::SetKeyboardMap(const KeyboardMap& map) {
    map_ = map;
    for (KeyState& key : down_) {
        key.Modifier = ModifierForKeysym(map_.PrimaryKeysym(key.Keycode));
    }
}

bool KeyTracker::Press(uint32_t keycode, uint32_t serverTime) {
    const bool down = std::any_of(down_.begin(), down_.end(), [keycode](const KeyState& key) {
        return key.Keycode == keycode;
    });
    if (down) {
        return false;
    }
    down_.push_back({keycode, ModifierForKeysym(map_.PrimaryKeysym(keycode))});
    const bool repeatAfterRelease = lastReleased_ == keycode && lastReleaseTime_ == serverTime;
    lastReleased_ = 0;
    return !repeatAfterRelease;
}

void KeyTracker::Release(uint32_t keycode, uint32_t serverTime) {
    std::erase_if(down_, [keycode](const KeyState& key) { return key.Keycode == keycode; });
    lastReleased_ = keycode;
    lastReleaseTime_ = serverTime;
}

unsigned KeyTracker::HeldModifiers() const {
    unsigned held = 0;
    for (const KeyState& key : down_) {
        held |= key.Modifier;
    }
    return held;
}

void KeyTracker::Forget() {
    down_.clear();
    lastReleased_ = 0;
    lastReleaseTime_ = 0;
}

// ---- Portal ----

std::string PortalTrigger(const HotkeySpec& hotkey) {
    std::string keyName;
    const int key = hotkey.Key;
    const KeypadKey* keypad = hotkey.Keypad ? FindKeypadKey(key) : nullptr;
    if (keypad != nullptr) {
        keyName = keypad->Name;
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        keyName = std::string(1, static_cast<char>('a' + (key - Qt::Key_A)));
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        keyName = std::string(1, static_cast<char>('0' + (key - Qt::Key_0)));
    } else if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFirstFunctionKeys) {
        keyName = "F" + std::to_string(key - Qt::Key_F1 + 1);
    } else if (const NamedKey* named = FindNamedKey(key)) {
        keyName = named->Name;
    } else {
        return "";
    }
    std::string trigger;
    if ((hotkey.Modifiers & kHotkeyShift) != 0) {
        trigger += "SHIFT+";
    }
    if ((hotkey.Modifiers & kHotkeyCtrl) != 0) {
        trigger += "CTRL+";
    }
    if ((hotkey.Modifiers & kHotkeyAlt) != 0) {
        trigger += "ALT+";
    }
    if ((hotkey.Modifiers & kHotkeyMeta) != 0) {
        trigger += "LOGO+";
    }
    return trigger + keyName;
}

std::string PortalRequestPath(const std::string& uniqueName, const std::string& token) {
    std::string sender = uniqueName;
    if (!sender.empty() && sender.front() == ':') {
        sender.erase(0, 1);
    }
    std::replace(sender.begin(), sender.end(), '.', '_');
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

std::string PortalShortcutId(int id, const std::string& trigger) {
    return "hotkey" + std::to_string(id) + "-" + (trigger.empty() ? "none" : trigger);
}

bool DesktopBindsKeypadAsDigits(const std::string& currentDesktop, const std::string& kdeVersion) {
    const std::string desktops = ":" + currentDesktop + ":";
    return desktops.find(":KDE:") != std::string::npos && kdeVersion == "5";
}

// ---- Shared helpers ----

std::string TakenMessage(const HotkeySpec& hotkey) {
    return "Global hotkey " + HotkeyName(hotkey) + " is taken by another program.";
}

std::string NoKeyMessage(const HotkeySpec& hotkey) {
    return "Global hotkey " + HotkeyName(hotkey) + " has no key on this keyboard.";
}

}  // namespace detail

int64_t MonotonicNowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// ---- GlobalHotkeys ----

struct GlobalHotkeys::Impl {
    struct Entry {
        HotkeySpec Spec;
        std::function<void()> Action;
        std::string Description;
    };

    std::function<void(const std::string&)> report;
    std::set<std::string> reported;
    std::map<int, Entry> bindings;
    bool enabled = true;
    std::unique_ptr<detail::HotkeyBackend> backend;
    HotkeyEvent last;

    void Report(const std::string& message) {
        if (reported.insert(message).second && report) {
            report(message);
        }
    }

    std::vector<detail::Binding> BindingList() const {
        std::vector<detail::Binding> list;
        for (const auto& [id, entry] : bindings) {
            list.push_back({id, entry.Spec, entry.Description});
        }
        return list;
    }

    void PushBindings() {
        if (backend) {
            backend->SetBindings(BindingList());
        }
    }

    // May destroy *this through the action: nothing is touched after it runs.
    void Fire(int id, uint32_t serverTimeMs, int64_t receivedNs) {
        if (!enabled) {
            return;
        }
        const auto found = bindings.find(id);
        if (found == bindings.end() || !found->second.Action) {
            return;
        }
        last = {id, serverTimeMs, receivedNs};
        const std::function<void()> action = found->second.Action;
        action();
    }

    detail::BackendHost Host() {
        detail::BackendHost host;
        host.Fire = [this](int id, uint32_t serverTimeMs, int64_t receivedNs) {
            Fire(id, serverTimeMs, receivedNs);
        };
        host.Report = [this](const std::string& message) { Report(message); };
        return host;
    }
};

GlobalHotkeys::GlobalHotkeys(std::function<void(const std::string&)> report)
    : impl_(std::make_unique<Impl>()) {
    impl_->report = std::move(report);
}

GlobalHotkeys::~GlobalHotkeys() = default;

bool GlobalHotkeys::Start(HotkeyStartMode mode) {
    if (impl_->backend) {
        return true;
    }
    if (QCoreApplication::instance() == nullptr) {
        impl_->Report(detail::kUnavailableMessage);
        return false;
    }
    const bool nativeWayland = QGuiApplication::platformName() == QLatin1String("wayland");
    const bool waylandSession = nativeWayland || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const bool forceGrab = mode == HotkeyStartMode::kX11KeyGrab;
    const bool portal = mode == HotkeyStartMode::kAutomatic;
    if (waylandSession && portal) {
        impl_->backend = detail::StartPortalBackend(impl_->Host());
    }
    if (!impl_->backend && !nativeWayland) {
        impl_->backend = detail::StartX11Backend(impl_->Host(), forceGrab);
        if (impl_->backend && waylandSession) {
            impl_->Report(detail::kX11OnlyMessage);
        }
    }
    if (!impl_->backend) {
        impl_->Report(waylandSession && mode == HotkeyStartMode::kWithoutPortal
                          ? detail::kNotOwnerMessage
                          : detail::kUnavailableMessage);
        return false;
    }
    impl_->backend->SetEnabled(impl_->enabled);
    impl_->PushBindings();
    return true;
}

void GlobalHotkeys::Stop() {
    impl_->backend.reset();
}

bool GlobalHotkeys::IsRunning() const {
    return impl_->backend != nullptr;
}

std::string GlobalHotkeys::Backend() const {
    return impl_->backend ? impl_->backend->Name() : std::string();
}

void GlobalHotkeys::Bind(int id, const HotkeySpec& hotkey, std::function<void()> action,
                         const std::string& description) {
    impl_->bindings[id] = {hotkey, std::move(action), description};
    impl_->PushBindings();
}

void GlobalHotkeys::Unbind(int id) {
    if (impl_->bindings.erase(id) != 0) {
        impl_->PushBindings();
    }
}

void GlobalHotkeys::ClearBindings() {
    if (!impl_->bindings.empty()) {
        impl_->bindings.clear();
        impl_->PushBindings();
    }
}

void GlobalHotkeys::SetEnabled(bool enabled) {
    if (impl_->enabled == enabled) {
        return;
    }
    impl_->enabled = enabled;
    if (impl_->backend) {
        impl_->backend->SetEnabled(enabled);
    }
}

bool GlobalHotkeys::IsEnabled() const {
    return impl_->enabled;
}

const HotkeyEvent& GlobalHotkeys::LastEvent() const {
    return impl_->last;
}

std::vector<DesktopKey> GlobalHotkeys::DesktopKeys() const {
    return impl_->backend ? impl_->backend->DesktopKeys() : std::vector<DesktopKey>();
}

void GlobalHotkeys::DispatchPending() {
    if (impl_->backend) {
        impl_->backend->DispatchPending();
    }
}

}  // namespace hotkeys
