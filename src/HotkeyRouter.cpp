#include "HotkeyRouter.h"

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "Prompts.h"
#include "WrapTime.h"

const std::array<HotkeyRouter::HotkeySetting, HotkeyRouter::kHotkeyCount>
    HotkeyRouter::kHotkeySettings = {{
        {kSplitKey, "Start / Split"},
        {kSkipKey, "Skip Split"},
        {kUndoKey, "Undo Split"},
        {kPauseKey, "Pause / Resume"},
        {kResetKey, "Reset"},
    }};

HotkeyRouter::HotkeyRouter(std::function<void(HotkeyCommand)> run,
                           const std::unique_ptr<QuorvelClass>& engine)
    : run_(std::move(run)), engine_(engine) {}

void HotkeyRouter::SetMenuItem(HotkeyCommand command, const tk::MenuItem* item) {
    menuItems_.at(static_cast<std::size_t>(command)) = item;
}

bool HotkeyRouter::SetUp(const Settings& settings) {
    const char* trace = std::getenv("QUORVEL_TRACE_SPLITS");
    traceSplits_ = trace != nullptr && std::string_view(trace) == "1";
    hotkeys_ = std::make_unique<hotkeys::GlobalHotkeys>(
        [this](const std::string& message) { Report(message); });
    for (std::size_t i = 0; i < names_.size(); ++i) {
        names_[i] = settings.Get(kHotkeySettings[i].Name);
    }
    BindNames();
    return settings.Get(kGlobalHotkeys);
}

void HotkeyRouter::Apply(const std::array<std::string, kHotkeyCount>& names, bool on,
                         Settings& settings) {
    if (!hotkeys_) {
        return;
    }
    names_ = names;
    hotkeys_->ClearBindings();
    BindNames();
    SetOn(on);
    PutNames(settings, on);
    settings.Write();
}

void HotkeyRouter::BindNames() {
    for (int i = 0; i < kHotkeyCount; ++i) {
        const auto command = static_cast<HotkeyCommand>(i);
        const HotkeySetting& setting = kHotkeySettings[static_cast<std::size_t>(i)];
        const char* const settingKey = setting.Name.Key;
        const std::string& name = names_[static_cast<std::size_t>(i)];
        auto& hotkey = specs_[static_cast<std::size_t>(i)];
        hotkey.reset();
        if (name.empty()) {
            continue;
        }
        hotkeys::HotkeySpec key;
        if (!hotkeys::ParseHotkeyName(name, &key)) {
            std::fprintf(stderr, "Quorvel: the global hotkey %s=%s is not a key name; it is off\n",
                         settingKey, name.c_str());
            const std::string message = std::string("The hotkey ") + settingKey + "=" + name +
                                        " is not a key name; it is off until set here.";
            AddReport(message);
            notice_ = std::string("Bad key: ") + settingKey;
            noticeAt_ = ClockNow();
            continue;
        }
        const HotkeySetting* owner = nullptr;
        for (int j = 0; j < i; ++j) {
            if (specs_[static_cast<std::size_t>(j)] == key) {
                owner = &kHotkeySettings[static_cast<std::size_t>(j)];
                break;
            }
        }
        if (owner != nullptr) {
            std::fprintf(stderr, "Quorvel: the global hotkey %s=%s is the key of %s; it is off\n",
                         settingKey, name.c_str(), owner->Name.Key);
            continue;
        }
        hotkey = key;
        hotkeys_->Bind(
            i, key, [this, command] { GlobalHotkeyPressed(command); }, setting.Title);
    }
}

void HotkeyRouter::PutNames(Settings& settings, bool on) const {
    settings.Put(kGlobalHotkeys, on);
    if (hotkeys_) {
        for (std::size_t i = 0; i < kHotkeySettings.size(); ++i) {
            settings.Put(kHotkeySettings[i].Name, names_[i]);
        }
    }
}

void HotkeyRouter::Save(Settings& settings, bool on) {
    PutNames(settings, on);
    if (hotkeys_) {
        hotkeys_->Stop();
    }
}

void HotkeyRouter::AddReport(const std::string& message) {
    if (std::find(reports_.begin(), reports_.end(), message) == reports_.end()) {
        reports_.push_back(message);
    }
}

void HotkeyRouter::Start() {
    hotkeys_->SetEnabled(true);
    // A failure is reported through Report.
    hotkeys_->Start(ownsSplitFile_ ? hotkeys::HotkeyStartMode::kAutomatic
                                   : hotkeys::HotkeyStartMode::kWithoutPortal);
}

void HotkeyRouter::SetOwnsSplitFile(bool owns) {
    if (owns == ownsSplitFile_) {
        return;
    }
    ownsSplitFile_ = owns;
    if (hotkeys_ && on_) {
        hotkeys_->Stop();
        Start();
    }
}

void HotkeyRouter::SetOn(bool on) {
    if (!hotkeys_) {
        return;  // before launch: the check alone, taken up by SetUp
    }
    on_ = on;
    if (on) {
        Start();
    } else {
        hotkeys_->SetEnabled(false);
        hotkeys_->Stop();
    }
}

void HotkeyRouter::Report(const std::string& message) {
    std::fprintf(stderr, "Quorvel: %s\n", message.c_str());
    AddReport(message);
    notice_ = hotkeys_ && hotkeys_->IsRunning() ? "Hotkeys limited" : "Menu keys only";
    noticeAt_ = ClockNow();
}

std::string_view HotkeyRouter::Notice() {
    if (notice_.empty()) {
        return {};
    }
    if (WrapSub(ClockNow(), noticeAt_) >= kHotkeyNoticeTime) {
        notice_.clear();
        return {};
    }
    return notice_;
}

const hotkeys::HotkeySpec* HotkeyRouter::GlobalHotkeySpec(HotkeyCommand command) const {
    const auto& hotkey = specs_.at(static_cast<std::size_t>(command));
    return hotkey ? &*hotkey : nullptr;
}

const std::string& HotkeyRouter::GlobalHotkeyName(HotkeyCommand command) const {
    return names_.at(static_cast<std::size_t>(command));
}

void HotkeyRouter::GlobalHotkeyPressed(HotkeyCommand command) {
    const hotkeys::HotkeySpec* key = GlobalHotkeySpec(command);
    if (key == nullptr || !engine_ || AnyOpen()) {
        return;
    }
    const std::int32_t now = ClockNow();
    if (lastMenuKey_.Set && lastMenuKey_.Key == *key &&
        WrapSub(now, lastMenuKey_.At) < kSameKeyWindow) {
        lastMenuKey_.Set = false;  // the same press, come the other way: taken already
        return;
    }
    lastGlobalKey_ = {*key, now, true};
    Run(command, "global");
}

void HotkeyRouter::TimerMenuCommand(HotkeyCommand command) {
    const tk::MenuItem* item = menuItems_.at(static_cast<std::size_t>(command));
    hotkeys::HotkeySpec key;
    if (item != nullptr && hotkeys::ParseHotkeyName(item->KeyEquivalent(), &key)) {
        const std::int32_t now = ClockNow();
        if (lastGlobalKey_.Set && lastGlobalKey_.Key == key &&
            WrapSub(now, lastGlobalKey_.At) < kSameKeyWindow) {
            lastGlobalKey_.Set = false;
            return;
        }
        lastMenuKey_ = {key, now, true};
    }
    Run(command, "menu");
}

void HotkeyRouter::Run(HotkeyCommand command, const char* route) {
    if (!traceSplits_ || command != kSplitHotkey || !engine_) {
        run_(command);
        return;
    }
    // The engine reads its clock for the split right at the start of the action.
    const QuorvelClass& engine = *engine_;
    const unsigned nextBefore = engine.GetNextSplitNumber();
    const bool runningBefore = engine.IsTimerRunning();
    const std::int64_t dispatchedNs = hotkeys::MonotonicNowNs();
    run_(command);
    const std::int64_t doneNs = hotkeys::MonotonicNowNs();
    if (engine.GetNextSplitNumber() == nextBefore && engine.IsTimerRunning() == runningBefore) {
        return;
    }
    const bool global = std::string_view(route) == "global";
    const hotkeys::HotkeyEvent& event = hotkeys_ ? hotkeys_->LastEvent() : hotkeys::HotkeyEvent{};
    std::fprintf(stderr,
                 "quorvel-trace split=%u route=%s dispatched_ns=%lld done_ns=%lld "
                 "press_server_ms=%u received_ns=%lld\n",
                 nextBefore, route, static_cast<long long>(dispatchedNs),
                 static_cast<long long>(doneNs), global ? event.ServerTimeMs : 0u,
                 static_cast<long long>(global ? event.ReceivedNs : 0));
}
