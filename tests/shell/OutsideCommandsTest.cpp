// Outside commands in the window: the same road as the menu's commands, nothing while a dialog
// is open or in a read-only window (nor a desktop portal session), and the TCP port only as the
// settings and the Control Server dialog say.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDialog>
#include <QSpinBox>

#include <string>
#include <vector>

#include "ControlClient.h"
#include "ControlSockets.h"
#include "Harness.h"
#include "ShellFixture.h"

namespace {

class OutsideCommands : public ShellTest {
  protected:
    void SetUp() override {
        EnsureTestApp();
        ShellTest::SetUp();
    }
    // Opens route.txt read-only, as a file with two names is offered.
    void OpenReadOnly() {
        WriteFile(Root() + "route.txt", kThreeSplits);
        ASSERT_EQ(::link((Root() + "route.txt").c_str(), (Root() + "copy.txt").c_str()), 0);
        answer_ = Answer::ReadOnly;
        Open(Root() + "route.txt");
        ASSERT_TRUE(TimerData->ReadOnly);
    }
    std::string SocketPath() const { return Runtime() + "/quorvel/control"; }
    support::Client Connect() const { return support::Client(control::ConnectLocal(SocketPath())); }
    // The window's answer to a query sent after lines, so that the lines are all carried out.
    std::string AfterLines(support::Client& client, const std::string& lines,
                           const std::string& query) {
        return client.Ask(lines + query + "\r\n", 1);
    }
};

TEST_F(OutsideCommands, RunCommandsTakeTheMenusLockoutAndQuestions) {
    Launch(std::string("[Misc]\nAutoSaveBestRun=N\nAutoSaveBestSplits=N\n"));
    OpenRoute();
    support::Client client = Connect();
    ASSERT_TRUE(client.Connected());
    // A split within a third of a second of the start is ignored, as the menu's is.
    EXPECT_EQ(AfterLines(client, "startorsplit\r\nsplit\r\n", "getsplitindex"), "0\r\n");
    for (const std::int32_t segment : {1100, 1100, 800}) {
        FakeClock::Advance(segment);
        EXPECT_EQ(AfterLines(client, "split\r\n", "ping"), "pong\r\n");
    }
    // A new personal best: reset asks first, and Cancel keeps it.
    asked_.clear();
    EXPECT_EQ(AfterLines(client, "reset\r\n", "gettimerphase"), "Ended\r\n");
    EXPECT_EQ(asked_, std::vector<std::string>{"Save your new personal best before resetting?"});
}

TEST_F(OutsideCommands, WhileADialogIsOpenRunCommandsAreRefusedAndQueriesAnswered) {
    Launch(kNoAutosaveNoQuestions);
    OpenRoute();
    support::Client client = Connect();
    std::string phase;
    onDialog_ = [&](QDialog&) {
        phase = AfterLines(client, "startorsplit\r\n", "gettimerphase");
        return false;
    };
    app->HotkeysMenuClick();
    EXPECT_EQ(phase, "NotRunning\r\n");
    EXPECT_EQ(AfterLines(client, "startorsplit\r\n", "gettimerphase"), "Running\r\n");
}

TEST_F(OutsideCommands, AReadOnlyWindowLetsTheLocalSocketGo) {
    Launch(kNoAutosaveNoQuestions);
    EXPECT_EQ(app->Outside().Listening(), std::vector<std::string>{SocketPath()});
    OpenReadOnly();
    EXPECT_EQ(app->Outside().Listening(), std::vector<std::string>{});
    EXPECT_FALSE(Connect().Connected());
}

// The desktop keeps one group of shortcuts for the application and drops its keys when any
// session of it closes: a read-only window opens none. (No session bus here: the portal itself
// cannot answer, so what the window tried shows in its report.)
TEST_F(OutsideCommands, AReadOnlyWindowLeavesTheDesktopPortalToTheWindowThatHasTheFile) {
    const support::ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-quorvel-test");
    const support::ScopedEnv noDisplay("DISPLAY", std::nullopt);
    Launch(kNoAutosaveNoQuestions + "[Hotkeys]\nGlobalHotkeys=Y\n");
    testing::internal::CaptureStderr();
    OpenReadOnly();
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "Global hotkeys are with the window that has this split file open"),
              std::string::npos);
}

TEST_F(OutsideCommands, TheTcpPortListensOnlyWhileTheControlServerIsOn) {
    const std::uint16_t port = support::FreePort();
    const std::string loopback = "127.0.0.1:" + std::to_string(port);
    Launch(kNoAutosaveNoQuestions + "[Control]\nServer=N\nPort=" + std::to_string(port) + "\n");
    EXPECT_FALSE(support::Client(support::ConnectTcp(AF_INET, port)).Connected());
    // Turned on in the dialog: it listens on this computer only, and the settings keep it.
    for (const bool on : {true, false}) {
        onDialog_ = [on](QDialog& dialog) {
            dialog.findChild<QCheckBox*>("on")->setChecked(on);
            return true;
        };
        app->ControlServerMenuClick();
        const std::vector<std::string> listening = app->Outside().Listening();
        EXPECT_EQ(std::count(listening.begin(), listening.end(), loopback), on ? 1 : 0);
        EXPECT_EQ(std::count(listening.begin(), listening.end(), "0.0.0.0:" + std::to_string(port)),
                  0);
        support::Client tcp(support::ConnectTcp(AF_INET, port));
        EXPECT_EQ(tcp.Connected(), on);
        if (on) {
            EXPECT_EQ(tcp.Ask("ping\r\n", 1), "pong\r\n");
        }
        EXPECT_EQ(Ini("Control", "Server"), on ? "Y" : "N");
    }
}

}  // namespace
