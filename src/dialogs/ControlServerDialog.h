// Options > Control Server...: whether programs may send outside commands (ControlServer.h)
// over a TCP port, which port, and whether other computers may. The local socket that
// quorvel-ctl uses is always open in the window that owns its split file; this is the TCP side.
//
//   [x] Listen on a TCP port
//   Port: [ 16834 ]
//   [x] Allow other computers
//   Anyone on the network can then control the timer.      (only while that is ticked)
//   Port 16834 is in use.                                   (the last trouble, when given)
//                                             [ Cancel ] [ OK ]
//
// Settings the shell keeps them in: [Control] Server=Y|N (N), Port=16834,
// AllowOtherComputers=Y|N (N). The dialog changes nothing itself: the caller gets the values.
// Qt-free header: the dialog itself lives in the .cpp.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QDialog;

struct ControlServerValues {
    bool On = false;
    int Port = 16834;  // 1..65535
    bool AllowOtherComputers = false;

    bool operator==(const ControlServerValues&) const = default;
};

// Shows the dialog over the active window; the values after OK, nullopt after Cancel. problem,
// when not empty, is shown as the server's last trouble ("Port 16834 is in use.").
std::optional<ControlServerValues> RunControlServerDialog(const ControlServerValues& values,
                                                          const std::string& problem = "");

// For tests: while set, RunControlServerDialog gives the dialog, built and not shown, to this
// hook and returns its answer. Its parts are named "on", "port", "allowOthers", "warning",
// "problem"; ControlServerDialogValues reads them as OK would.
using ControlServerDialogHook = std::function<std::optional<ControlServerValues>(QDialog&)>;
void SetControlServerDialogTestHook(ControlServerDialogHook hook);
ControlServerValues ControlServerDialogValues(const QDialog& dialog);
