// The tests' session bus starts nothing that the machine has installed: a desktop portal
// whose service file lies in the data folders must not answer on it, or the portal tests
// would talk to the developer's desktop instead of the fake.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "Harness.h"
#include "TestFiles.h"

namespace {

std::string ActivatableNames(const std::string& address) {
    const std::string command = "dbus-send --bus='" + address +
                                "' --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
                                "org.freedesktop.DBus.ListActivatableNames 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            out += buffer;
        }
        pclose(pipe);
    }
    return out;
}

TEST(PrivateBus, ActivatesNoServiceInstalledInTheDataFolders) {
    if (!support::HasProgram("dbus-daemon") || !support::HasProgram("dbus-send")) {
        GTEST_SKIP() << "dbus-daemon is not installed";
    }
    const TempDir data;
    std::filesystem::create_directories(data.File("dbus-1/services"));
    WriteFile(data.File("dbus-1/services/org.freedesktop.portal.Desktop.service"),
              "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=/bin/false\n");
    const support::ScopedEnv dataDirs("XDG_DATA_DIRS", data.Path());
    const support::ScopedEnv dataHome("XDG_DATA_HOME", data.Path());
    const support::SessionBus bus;
    ASSERT_TRUE(bus.Running());
    const std::string names = ActivatableNames(bus.Address());
    EXPECT_NE(names.find("org.freedesktop.DBus"), std::string::npos) << names;
    EXPECT_EQ(names.find("org.freedesktop.portal.Desktop"), std::string::npos) << names;
}

}  // namespace
