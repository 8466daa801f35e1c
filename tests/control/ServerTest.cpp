// The control server on a Qt event loop: its local socket (made safely, never taken from a live
// window), its limits under abuse, its TCP port, and quorvel-ctl against it.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "ControlClient.h"
#include "ControlServer.h"
#include "FakeWindow.h"
#include "Harness.h"
#include "LineReader.h"
#include "QtEvents.h"
#include "TestFiles.h"

namespace {

using control::ControlServer;
using support::Client;
using support::ConnectTcp;
using support::FreePort;

bool HasIpv6Loopback() {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class ControlSocket : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureTestApp();
        server = std::make_unique<ControlServer>(
            window, [this](const std::string& text) { reports.push_back(text); });
    }
    Client Connect() { return Client(control::ConnectLocal(path)); }

    TempDir runtime;  // 0700, the runner's: as $XDG_RUNTIME_DIR
    const std::string path = runtime.File("quorvel/control");
    FakeWindow window;
    std::vector<std::string> reports;
    std::unique_ptr<ControlServer> server;
};

TEST_F(ControlSocket, AnswersOnAPrivateSocketAndRunsRunCommandsAsTheirMenuCommands) {
    ASSERT_TRUE(server->OpenLocal(path)) << reports.front();
    EXPECT_EQ(std::tuple(ModeOf(runtime.File("quorvel")), ModeOf(path)),
              std::tuple(mode_t{0700}, mode_t{0600}));
    Client client = Connect();
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.Ask("getcurrenttime\r\nstartorsplit\nping\r\n", 2), "00:00:00\r\npong\r\n");
    EXPECT_EQ(window.ran, std::vector{control::MenuCommand::kStartSplit});
    server.reset();  // the socket file goes with the server
    EXPECT_FALSE(FileExists(path));
}

TEST_F(ControlSocket, AStaleSocketIsReplacedALiveOneIsNotTakenAndWhatIsNotOursIsLeftAlone) {
    // A socket left by a killed process: nothing listens on it.
    std::filesystem::create_directory(runtime.File("quorvel"));
    ::chmod(runtime.File("quorvel").c_str(), 0755);  // ours, and narrowed
    {
        const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(stale);
    }
    ASSERT_TRUE(server->OpenLocal(path)) << reports.front();
    EXPECT_EQ(ModeOf(runtime.File("quorvel")), mode_t{0700});
    // A second window finds it alive: it keeps working for the first, and the second's end
    // does not remove it.
    {
        FakeWindow other;
        ControlServer second(other, [this](const std::string& text) { reports.push_back(text); });
        EXPECT_FALSE(second.OpenLocal(path));
    }
    EXPECT_EQ(reports, std::vector<std::string>{"Outside commands: another Quorvel window has " +
                                                path + "."});
    EXPECT_EQ(Connect().Ask("ping\n", 1), "pong\r\n");
    // A link at the socket's place, or in place of its folder, is never followed.
    const TempDir elsewhere;
    const struct {
        const char* what;
        std::string link, target;
    } planted[] = {
        {"socket", "quorvel/control", elsewhere.File("control")},
        {"folder", "quorvel", elsewhere.Path()},
    };
    for (const auto& p : planted) {
        server.reset();
        std::filesystem::remove_all(runtime.File("quorvel"));
        std::filesystem::create_directory(runtime.File("quorvel"));
        if (p.link == "quorvel") {
            std::filesystem::remove(runtime.File("quorvel"));
        }
        std::filesystem::create_symlink(p.target, runtime.File(p.link));
        reports.clear();
        server = std::make_unique<ControlServer>(
            window, [this](const std::string& text) { reports.push_back(text); });
        EXPECT_FALSE(server->OpenLocal(path)) << p.what;
        EXPECT_EQ(reports.size(), 1u) << p.what;
        EXPECT_TRUE(std::filesystem::is_symlink(runtime.File(p.link))) << p.what;
        EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path())) << p.what;
    }
    // A runtime folder others may write to is not used.
    server.reset();
    std::filesystem::remove_all(runtime.File("quorvel"));
    ::chmod(runtime.Path().c_str(), 0777);
    server = std::make_unique<ControlServer>(window, [](const std::string&) {});
    EXPECT_FALSE(server->OpenLocal(path));
    EXPECT_FALSE(FileExists(runtime.File("quorvel")));
    ::chmod(runtime.Path().c_str(), 0700);
}

TEST_F(ControlSocket, ALineOverOneKibibyteClosesItsConnectionAndASeventeenthClientIsRefused) {
    ASSERT_TRUE(server->OpenLocal(path));
    std::vector<std::unique_ptr<Client>> clients;
    for (std::size_t i = 0; i < ControlServer::kMaxClients; ++i) {
        clients.push_back(std::make_unique<Client>(control::ConnectLocal(path)));
        ASSERT_EQ(clients.back()->Ask("ping\n", 1), "pong\r\n") << i;
    }
    Client seventeenth = Connect();
    EXPECT_TRUE(ProcessEventsUntil([&] { return seventeenth.Closed(); }));
    EXPECT_EQ(server->ClientCount(), ControlServer::kMaxClients);
    // The longest line is read; one byte more ends that connection only.
    const std::string longest = "get" + std::string(control::LineReader::kMaxLine - 3, 'x');
    EXPECT_EQ(clients[0]->Ask(longest + "\r\n", 1), "-\r\n");
    clients[0]->Send(longest + "x\r\nping\r\n");
    EXPECT_TRUE(ProcessEventsUntil([&] { return clients[0]->Closed(); }));
    EXPECT_EQ(clients[0]->Received(), "");
    EXPECT_EQ(clients[1]->Ask("ping\n", 1), "pong\r\n");
    // Its place is free again.
    EXPECT_EQ(Connect().Ask("ping\n", 1), "pong\r\n");
}

// Another process sends 100,000 commands as fast as it can, a run command among each thousand.
// Each turn of the event loop carries out a bounded part of them, run commands come at least
// kRunSpacingMs apart, and what waits stays in the socket.
TEST_F(ControlSocket, AFloodIsCarriedOutInBoundedTurnsWithoutHoldingMemory) {
    ASSERT_TRUE(server->OpenLocal(path));
    constexpr std::size_t kCommands = 100'000;
    constexpr std::size_t kRuns = kCommands / 1000, kReplies = kCommands - kRuns;
    std::string out;  // made before the fork: the child only makes system calls
    for (std::size_t i = 0; i < kCommands; ++i) {
        out += i % 1000 == 999 ? "startorsplit\r\n" : "getcurrenttime\r\n";
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    // readReplies: the flooder reads every reply; else it never reads one and ends blocked.
    const auto flood = [&](bool readReplies) {
        const pid_t child = ::fork();
        if (child != 0) {
            return child;
        }
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::_exit(2);
        }
        std::size_t sent = 0, replies = 0;
        static char buffer[65536];
        while (sent < out.size() || (readReplies && replies < kReplies)) {
            pollfd wait{
                fd,
                static_cast<short>((sent < out.size() ? POLLOUT : 0) | (readReplies ? POLLIN : 0)),
                0};
            ::poll(&wait, 1, -1);
            if ((wait.revents & POLLIN) != 0) {
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    ::_exit(1);
                }
                replies += static_cast<std::size_t>(std::count(buffer, buffer + got, '\n'));
            }
            if ((wait.revents & POLLOUT) != 0) {
                const ssize_t put = ::send(fd, out.data() + sent, out.size() - sent, MSG_DONTWAIT);
                sent += put > 0 ? static_cast<std::size_t>(put) : 0;
            }
        }
        ::_exit(replies == kReplies ? 0 : 1);
    };
    std::vector<qint64> runAt;  // ms
    QElapsedTimer clock;
    clock.start();
    window.onRun = [&](control::MenuCommand) { runAt.push_back(clock.elapsed()); };
    const std::size_t bound = ControlServer::kReadChunk + control::LineReader::kMaxLine +
                              ControlServer::kMaxPendingReply + 64;
    std::size_t peak = 0;

    QTimer wake;  // the loop turns to look at the flooder even once nothing else happens
    wake.start(10);
    const pid_t reader = flood(/*readReplies=*/true);
    int status = -1;
    while (::waitpid(reader, &status, WNOHANG) == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        peak = std::max(peak, server->BufferedBytes());
    }
    EXPECT_EQ(status, 0);  // every reply came
    // Paced: no faster than kLinesPerPace lines each kPaceMs.
    EXPECT_GE(clock.elapsed(), static_cast<qint64>(kCommands / ControlServer::kLinesPerPace - 1) *
                                   ControlServer::kPaceMs);
    EXPECT_TRUE(ProcessEventsUntil([&] { return server->ClientCount() == 0; }));  // the rest
    ASSERT_EQ(runAt.size(), kRuns);
    std::adjacent_difference(runAt.begin(), runAt.end(), runAt.begin());
    EXPECT_GE(*std::min_element(runAt.begin() + 1, runAt.end()), ControlServer::kRunSpacingMs - 1);
    EXPECT_LE(peak, bound);

    const pid_t blocked = flood(/*readReplies=*/false);
    wake.start(0);  // the loop keeps turning while the flooder waits on its full socket
    for (int turn = 0; turn < 20'000; ++turn) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        peak = std::max(peak, server->BufferedBytes());
    }
    EXPECT_EQ(::waitpid(blocked, &status, WNOHANG), 0);  // still sending: held in its socket
    EXPECT_LE(peak, bound);
    ::kill(blocked, SIGKILL);
    ::waitpid(blocked, &status, 0);
}

// Reset asks a question in the window: the event loop runs inside the command, other clients
// are answered, and the connection that sent it may be gone when the question ends.
TEST_F(ControlSocket, AConnectionDroppedWhileItsCommandAsksAQuestionIsNotTouchedAfterwards) {
    const std::uint16_t port = FreePort();
    ASSERT_TRUE(server->SetTcp({.On = true, .Port = port}));
    Client asking(ConnectTcp(AF_INET, port));
    Client other(ConnectTcp(AF_INET, port));
    std::string answeredMeanwhile;
    window.onRun = [&](control::MenuCommand) {
        answeredMeanwhile = other.Ask("getcurrenttime\n", 1);
        server->SetTcp({});  // the runner turned the server off while the question was up
    };
    asking.Send("reset\r\nping\r\n");
    EXPECT_TRUE(ProcessEventsUntil([&] { return asking.Closed(); }));
    EXPECT_EQ(answeredMeanwhile, "00:00:00\r\n");
    EXPECT_EQ(asking.Received(), "");
    EXPECT_EQ(window.ran, std::vector{control::MenuCommand::kReset});
}

TEST_F(ControlSocket, TcpListensOnLoopbackOnlyUnlessOtherComputersAreAllowedAndNotWhenOff) {
    ASSERT_TRUE(server->OpenLocal(path));
    const std::uint16_t port = FreePort();
    const std::string p = std::to_string(port);
    const bool v6 = HasIpv6Loopback();
    const auto listening = [&](const char* v4Address, const char* v6Address) {
        std::vector<std::string> where{path, v4Address + (":" + p)};
        if (v6) {
            where.push_back(std::string(v6Address) + ":" + p);
        }
        return where;
    };
    EXPECT_EQ(server->Listening(), std::vector{path});  // off unless turned on
    EXPECT_EQ(ConnectTcp(AF_INET, port), -1);

    ASSERT_TRUE(server->SetTcp({.On = true, .Port = port}));
    EXPECT_EQ(server->Listening(), listening("127.0.0.1", "[::1]"));
    Client tcp(ConnectTcp(AF_INET, port));
    EXPECT_EQ(tcp.Ask("ping\r\n", 1), "pong\r\n");
    if (v6) {
        EXPECT_EQ(Client(ConnectTcp(AF_INET6, port)).Ask("ping\r\n", 1), "pong\r\n");
    }

    ASSERT_TRUE(server->SetTcp({.On = true, .Port = port, .AllowOtherComputers = true}));
    EXPECT_EQ(server->Listening(), listening("0.0.0.0", "[::]"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return tcp.Closed(); }));  // reconnects to the new one

    ASSERT_TRUE(server->SetTcp({}));
    EXPECT_EQ(server->Listening(), std::vector{path});
    EXPECT_EQ(ConnectTcp(AF_INET, port), -1);

    int taken = -1;
    const std::uint16_t busy = FreePort(&taken);
    EXPECT_FALSE(server->SetTcp({.On = true, .Port = busy}));
    EXPECT_EQ(reports, std::vector<std::string>{"Control Server: port " + std::to_string(busy) +
                                                " is in use; it is off."});
    ::close(taken);
}

// quorvel-ctl as a desktop's key binding runs it: its exit status and output.
TEST_F(ControlSocket, QuorvelCtlExitsZeroWhenDoneOneWithoutQuorvelAndTwoForBadUsage) {
    const support::ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.Path());
    const auto ctl = [](const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(QUORVEL_CTL), arguments);
        ProcessEventsUntil([&] { return process.state() == QProcess::NotRunning; });
        return std::tuple(process.exitCode(), process.readAllStandardOutput().toStdString(),
                          process.readAllStandardError().toStdString());
    };
    const auto notRunning = ctl({"startorsplit"});
    EXPECT_EQ(std::tuple(std::get<0>(notRunning), std::get<2>(notRunning)),
              std::tuple(1, "Quorvel is not running\n"));
    for (const QStringList& bad : {QStringList{}, QStringList{"bogus"}, QStringList{"ping", "x"},
                                   QStringList{"getdelta", "a\nb"}, QStringList{"a", "b", "c"}}) {
        EXPECT_EQ(std::get<0>(ctl(bad)), 2) << bad.join(' ').toStdString();
    }
    const auto help = ctl({"--help"});
    EXPECT_EQ(std::get<0>(help), 0);
    EXPECT_NE(std::get<1>(help).find("getcurrenttimerphase"), std::string::npos);

    ASSERT_TRUE(server->OpenLocal(runtime.File("quorvel/control")));
    EXPECT_EQ(ctl({"startorsplit"}), std::tuple(0, "", ""));
    EXPECT_EQ(window.ran, std::vector{control::MenuCommand::kStartSplit});
    EXPECT_EQ(ctl({"getcurrenttime"}), std::tuple(0, "00:00:00\n", ""));
    EXPECT_EQ(ctl({"getdelta", "World Record"}), std::tuple(0, "-\n", ""));
}

}  // namespace
