// Options > Control Server...: whether programs may send outside commands (ControlServer.h)
// over a TCP port, which port, and whether other computers may. The local socket that
// quorvel-ctl uses is always open in the window that owns its split file; this is the TCP side.
//
//   [x] Listen on a TCP port
//   Port: [ 16834 ]
//   [x] Allow other computers
//   Anyone on the network can then control the timer.      (only while that is ticked)
//   Control Server: port 16834 is in use; it is off.       (the last trouble, when given)
//   Programs on this computer can always use quorvel-ctl.
//                                             [ Cancel ] [ OK ]
//
// Settings the shell keeps them in: [Control] Server=Y|N (N), Port=16834,
// AllowOtherComputers=Y|N (N). The dialog changes nothing itself: the shell runs it through
// its prompts (RunDialog) and reads Values() after OK. Its parts are named "on", "port",
// "allowOthers", "warning" and "problem", for tests.
//
//   ControlServerDialog dialog({.On = true}, "");
//   if (RunDialog(dialog)) { const ControlServerValues chosen = dialog.Values(); ... }
#pragma once

#include <QDialog>
#include <string>

struct ControlServerValues {
    bool On = false;
    int Port = 16834;  // 1..65535
    bool AllowOtherComputers = false;

    bool operator==(const ControlServerValues&) const = default;
};

class ControlServerDialog : public QDialog {
  public:
    // problem, when not empty, is shown as the server's last trouble. A port outside 1..65535
    // shows as 16834.
    ControlServerDialog(const ControlServerValues& values, const std::string& problem,
                        QWidget* parent = nullptr);

    // What the dialog holds now, as OK gives it.
    ControlServerValues Values() const;
};
