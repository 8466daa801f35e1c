// Options > Control Server...: what it shows and what it gives back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

#include "ControlServerDialog.h"
#include "QtEvents.h"

namespace {

TEST(ControlServerDialog, WarnsThatAnyoneOnTheNetworkCanControlTheTimerOnlyWhileThatIsAllowed) {
    EnsureTestApp();
    ControlServerDialog dialog({}, "Control Server: port 16834 is in use; it is off.");
    const auto warned = [&] { return !dialog.findChild<QLabel*>("warning")->isHidden(); };
    EXPECT_EQ(dialog.findChild<QLabel*>("problem")->text(),
              "Control Server: port 16834 is in use; it is off.");
    EXPECT_FALSE(warned());
    dialog.findChild<QCheckBox*>("allowOthers")->setChecked(true);
    EXPECT_FALSE(warned());  // not while the port is off
    dialog.findChild<QCheckBox*>("on")->setChecked(true);
    EXPECT_TRUE(warned());
    dialog.findChild<QSpinBox*>("port")->setValue(16835);
    EXPECT_EQ(dialog.Values(),
              (ControlServerValues{.On = true, .Port = 16835, .AllowOtherComputers = true}));
}

}  // namespace
