// Outside commands in the window: the control server (src/control/) carried out on the same
// command path as the Timer menu's items, with their lockout and their questions. A window
// takes outside commands while it may write its split file:
//
//   writable, the local socket free     -> $XDG_RUNTIME_DIR/quorvel/control, and the TCP port
//                                          when [Control] Server=Y (127.0.0.1 and ::1 only
//                                          unless AllowOtherComputers=Y)
//   writable, another window has it    -> nothing; looked at again every kRetakeInterval, and
//                                          taken (with the port) once that window lets it go
//   read-only (another window has the  -> nothing, and what it had is let go
//   split file)
//
// Without a runtime folder (no XDG_RUNTIME_DIR) there is no local socket; the TCP port still
// follows the settings.
//
// A run command is refused while a prompt is open (AnyOpen) or in a read-only window; queries
// are always answered. A finished run kept in place of the kept run reads as Ended, and
// Start / Split then begins a new attempt, as the menu's does.
//
// A port that cannot be bound is said on the status line for a while at launch ("Control
// Server off"), in full on standard error, in the Control Server dialog, and in a notice
// after the dialog's OK.
//
// Owned by the shell. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ControlSockets.h"
#include "ControlTarget.h"
#include "HotkeyRouter.h"
#include "QuorvelEngine.h"
#include "Settings.h"

namespace control {
class ControlServer;
}

class OutsideCommands : public control::ControlTarget {
  public:
    static constexpr std::int32_t kRetakeInterval = 200;  // hundredths
    static constexpr std::int32_t kNoticeTime = 500;      // hundredths

    // run: a run command's menu action. finishedRunKept: the window's run is over, kept in
    // place of the kept run. engine: the shell's engine holder.
    OutsideCommands(const std::unique_ptr<QuorvelClass>& engine,
                    std::function<void(HotkeyRouter::HotkeyCommand)> run,
                    std::function<bool()> finishedRunKept);
    OutsideCommands(const OutsideCommands&) = delete;
    OutsideCommands& operator=(const OutsideCommands&) = delete;
    ~OutsideCommands() override;

    // The TCP side as the settings give it; a port outside 1..65535 reads as 16834.
    static control::TcpSettings TcpOf(const Settings& settings);

    // At launch, after each split file opened and after the Control Server dialog's OK: takes
    // or lets go of the outside commands for the window as it is now (see above), with the
    // TCP side of settings. Returns the trouble of the TCP port, "" when there is none.
    std::string Follow(const Settings& settings);
    // The tick: a window that another one kept from the local socket takes it once it is free.
    void OnTick();
    // Stops listening for good: no command reaches the window after this.
    void Close();

    // Why the TCP port does not listen as set, or why this window takes no outside commands;
    // "" when all is well. For the Control Server dialog.
    const std::string& Problem() const { return problem_; }
    // The status line's notice while it lasts; empty otherwise.
    std::string_view Notice() const;
    // Where it listens: the local socket's path, then "127.0.0.1:16834", ...
    std::vector<std::string> Listening() const;

    // ---- control::ControlTarget ----
    const QuorvelClass* Engine() const override { return engine_.get(); }
    void RunMenuCommand(control::MenuCommand command) override;
    bool RunCommandsPaused() const override;
    bool ReadOnly() const override { return engine_ && engine_->ReadOnly; }
    bool FinishedRunKept() const override { return finishedRunKept_(); }

  private:
    // The local socket and the TCP port, for a writable window.
    void Take();
    void Report(const std::string& message);

    const std::unique_ptr<QuorvelClass>& engine_;
    std::function<void(HotkeyRouter::HotkeyCommand)> run_;
    std::function<bool()> finishedRunKept_;
    std::unique_ptr<control::ControlServer> server_;
    control::TcpSettings tcp_;
    bool waiting_ = false;  // writable, and another window has the local socket
    std::int32_t lookedAt_ = 0;
    std::string problem_;
    std::string lastReport_;
    std::set<std::string> reported_;
    std::string notice_;
    std::int32_t noticeAt_ = 0;
};
