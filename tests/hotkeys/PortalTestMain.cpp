// The portal tests run against a fake desktop portal on a private session bus, started here
// before Qt first looks at the bus.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "Harness.h"

namespace support {
std::string PrivateBusAddress;  // "" when dbus-daemon is missing
}  // namespace support

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const support::SessionBus bus;
    support::PrivateBusAddress = bus.Running() ? bus.Address() : "";
    setenv("DBUS_SESSION_BUS_ADDRESS",
           bus.Running() ? bus.Address().c_str() : "unix:path=/nonexistent/quorvel-test-bus", 1);
    // A Wayland session as far as the hotkeys can tell, with no X server to fall back on.
    setenv("WAYLAND_DISPLAY", "wayland-quorvel-test", 1);
    unsetenv("DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
