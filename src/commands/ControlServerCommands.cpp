// Options ▸ Control Server…: outside commands over TCP (OutsideCommands).
#include "AppDelegate.h"
#include "ControlServerDialog.h"
#include "Prompts.h"

void AppDelegate::ControlServerMenuClick() {
    const control::TcpSettings tcp = OutsideCommands::TcpOf(*IniFile);
    ControlServerDialog dialog({tcp.On, tcp.Port, tcp.AllowOtherComputers}, outside_.Problem());
    if (!RunDialog(dialog)) {
        return;
    }
    const ControlServerValues chosen = dialog.Values();
    IniFile->Put(kControlServer, chosen.On);
    IniFile->Put(kControlPort, chosen.Port);
    IniFile->Put(kControlAllowOthers, chosen.AllowOtherComputers);
    IniFile->Write();
    if (const std::string trouble = outside_.Follow(*IniFile); !trouble.empty()) {
        Ask(Notice("The Control Server is off.", trouble));
    }
}
