// Options > Control Server...: what it shows and what it gives back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QSpinBox>

#include "ControlServerDialog.h"
#include "QtEvents.h"

namespace {

TEST(ControlServerDialog, WarnsThatAnyoneOnTheNetworkCanControlTheTimerOnlyWhileThatIsAllowed) {
    EnsureTestApp();
    std::vector<bool> warned;
    QString problem;
    SetControlServerDialogTestHook([&](QDialog& dialog) {
        const auto warning = [&] { return !dialog.findChild<QLabel*>("warning")->isHidden(); };
        problem = dialog.findChild<QLabel*>("problem")->text();
        warned.push_back(warning());
        dialog.findChild<QCheckBox*>("allowOthers")->setChecked(true);
        warned.push_back(warning());  // not while the port is off
        dialog.findChild<QCheckBox*>("on")->setChecked(true);
        warned.push_back(warning());
        dialog.findChild<QSpinBox*>("port")->setValue(16835);
        return std::optional(ControlServerDialogValues(dialog));
    });
    const auto chosen = RunControlServerDialog({}, "Port 16834 is in use.");
    SetControlServerDialogTestHook(nullptr);
    EXPECT_EQ(warned, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(problem, "Port 16834 is in use.");
    EXPECT_EQ(chosen,
              (ControlServerValues{.On = true, .Port = 16835, .AllowOtherComputers = true}));
}

}  // namespace
