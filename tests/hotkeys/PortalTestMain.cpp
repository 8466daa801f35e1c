// The portal tests run against a fake desktop portal on a private session bus, started here
// before Qt first looks at the bus.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

#include "Harness.h"

namespace support {
// The address of the private bus, "" when dbus-daemon is missing.
std::string PrivateBusAddress;
}  // namespace support

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    auto bus = std::make_unique<support::SessionBus>();
    if (bus->Running()) {
        support::PrivateBusAddress = bus->Address();
        setenv("DBUS_SESSION_BUS_ADDRESS", bus->Address().c_str(), 1);
    } else {
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus", 1);
    }
    // A Wayland session as far as the hotkeys can tell, with no X server to fall back on.
    setenv("WAYLAND_DISPLAY", "wayland-quorvel-test", 1);
    unsetenv("DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
