#include "OutsideCommands.h"

#include <sys/stat.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "ControlServer.h"
#include "ControlSockets.h"
#include "Prompts.h"
#include "WrapTime.h"

OutsideCommands::OutsideCommands(const std::unique_ptr<QuorvelClass>& engine,
                                 std::function<void(HotkeyRouter::HotkeyCommand)> run,
                                 std::function<bool()> finishedRunKept)
    : engine_(engine), run_(std::move(run)), finishedRunKept_(std::move(finishedRunKept)) {}

OutsideCommands::~OutsideCommands() = default;

control::TcpSettings OutsideCommands::TcpOf(const Settings& settings) {
    control::TcpSettings tcp;
    tcp.On = settings.Get(kControlServer);
    const std::int32_t port = settings.Get(kControlPort);
    tcp.Port =
        port >= 1 && port <= 65535 ? static_cast<std::uint16_t>(port) : control::kDefaultPort;
    tcp.AllowOtherComputers = settings.Get(kControlAllowOthers);
    return tcp;
}

std::string OutsideCommands::Follow(const Settings& settings) {
    tcp_ = TcpOf(settings);
    if (QCoreApplication::instance() == nullptr) {
        return "";  // no event loop to carry a command out
    }
    if (!server_) {
        server_ = std::make_unique<control::ControlServer>(
            *this, [this](const std::string& message) { Report(message); });
    }
    if (ReadOnly()) {
        waiting_ = false;
        server_->Close();
        problem_ =
            "This window opened its split file read-only: outside commands go to the "
            "window that has it open.";
        return "";
    }
    Take();
    return waiting_ ? "" : problem_;
}

void OutsideCommands::Take() {
    waiting_ = false;
    problem_.clear();
    if (!server_->OpenLocal() && server_->LocalTakenElsewhere()) {
        server_->Close();
        waiting_ = true;
        lookedAt_ = ClockNow();
        problem_ =
            "Another Quorvel window takes the outside commands; it reads these settings "
            "when it starts.";
        return;
    }
    lastReport_.clear();
    if (!server_->SetTcp(tcp_)) {
        problem_ = lastReport_;
        notice_ = "Control Server off";
        noticeAt_ = ClockNow();
    }
}

void OutsideCommands::OnTick() {
    if (!waiting_ || WrapSub(ClockNow(), lookedAt_) < kRetakeInterval) {
        return;
    }
    lookedAt_ = ClockNow();
    // The window that had the socket removes it as it lets it go.
    struct stat st {};
    const std::string path = control::DefaultSocketPath();
    if (!path.empty() && ::lstat(path.c_str(), &st) != 0 && errno == ENOENT && !ReadOnly()) {
        Take();
    }
}

void OutsideCommands::Close() {
    waiting_ = false;
    server_.reset();
}

std::string_view OutsideCommands::Notice() const {
    if (notice_.empty() || WrapSub(ClockNow(), noticeAt_) >= kNoticeTime) {
        return {};
    }
    return notice_;
}

std::vector<std::string> OutsideCommands::Listening() const {
    return server_ ? server_->Listening() : std::vector<std::string>();
}

void OutsideCommands::RunMenuCommand(control::MenuCommand command) {
    switch (command) {
        case control::MenuCommand::kStartSplit:
            run_(HotkeyRouter::kSplitHotkey);
            break;
        case control::MenuCommand::kSkipSplit:
            run_(HotkeyRouter::kSkipHotkey);
            break;
        case control::MenuCommand::kUndoSplit:
            run_(HotkeyRouter::kUndoHotkey);
            break;
        case control::MenuCommand::kPauseResume:
            run_(HotkeyRouter::kPauseHotkey);
            break;
        case control::MenuCommand::kReset:
            run_(HotkeyRouter::kResetHotkey);
            break;
    }
}

bool OutsideCommands::RunCommandsPaused() const {
    return AnyOpen();
}

void OutsideCommands::Report(const std::string& message) {
    lastReport_ = message;
    if (reported_.insert(message).second) {
        std::fprintf(stderr, "Quorvel: %s\n", message.c_str());
    }
}
