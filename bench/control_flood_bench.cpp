// Outside commands under a flood: other processes send 100,000 commands as fast as they can
// (queries, and with the second argument one in a hundred Start / Split or Reset, every reset
// and start rewriting the split file: run commands are spaced by the server) to the
// control server of a window on the sample route, while a probe stands for the keyboard: every
// 2 ms another thread writes to a pipe the event loop watches, as the X server's connection
// brings a key press. Reported per run:
//   probe_p50_ms, probe_p99_ms, probe_max_ms  how long a "key press" waited for the loop
//   rss_growth_kib                            resident memory at its highest, over the start
//   commands_per_s                            how fast the flood was carried out
// Arguments: the number of flooding connections (1, or 16: the most there may be), and
// whether run commands are among the commands.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ControlServer.h"
#include "QuorvelEngine.h"

namespace {

constexpr std::size_t kCommands = 100'000;

std::int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

long RssKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// The window: the menu commands' engine calls, without the lockout (every one is carried out).
class Window : public control::ControlTarget {
  public:
    explicit Window(const std::string& route) {
        engine.LoadSplitData(route);
        engine.AutosaveBestSplits = true;
    }
    const QuorvelClass* Engine() const override { return &engine; }
    bool RunCommandsPaused() const override { return false; }
    bool ReadOnly() const override { return false; }
    void RunMenuCommand(control::MenuCommand command) override {
        ++ran;
        if (command == control::MenuCommand::kReset) {
            engine.ClearTimer();
        } else if (engine.GetNextSplitNumber() < engine.GetRowCount()) {
            engine.IsTimerRunning()        ? engine.DoSplit()
            : engine.GetCurrentTime() == 0 ? engine.StartTimer()
                                           : engine.ResumeTimer();
        }
    }
    QuorvelClass engine{"/nonexistent"};
    std::size_t ran = 0;
};

// A flooding process on the socket at path: its share of the commands, every reply read.
pid_t Flood(const std::string& path, std::size_t commands, bool runCommands) {
    std::string out;
    const char* lines[] = {"getcurrenttime\r\n", "startorsplit\r\n", "getdelta\r\n",
                           "getsplitindex\r\n", "reset\r\n"};
    std::size_t replies = 0;
    for (std::size_t i = 0; i < commands; ++i) {
        // One command in a hundred a run command, every other of them a reset.
        const std::size_t line =
            runCommands && i % 100 == 99 ? (i % 200 == 99 ? 1 : 4) : i % 4 / 2 * 2;
        out += lines[line];
        replies += line == 1 || line == 4 ? 0 : 1;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        _exit(2);
    }
    std::size_t sent = 0, got = 0;
    static char buffer[65536];
    while (sent < out.size() || got < replies) {
        pollfd wait{fd, static_cast<short>(POLLIN | (sent < out.size() ? POLLOUT : 0)), 0};
        poll(&wait, 1, -1);
        if ((wait.revents & POLLIN) != 0) {
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                _exit(1);
            }
            got += static_cast<std::size_t>(std::count(buffer, buffer + n, '\n'));
        }
        if ((wait.revents & POLLOUT) != 0) {
            const ssize_t n = send(fd, out.data() + sent, out.size() - sent, MSG_DONTWAIT);
            sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    }
    _exit(0);
}

double Percentile(std::vector<std::int64_t> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return static_cast<double>(values[at]) / 1e6;
}

void ControlFlood(benchmark::State& state) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("control_flood_bench"), nullptr};
    static QCoreApplication app(argc, argv);
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("quorvel-flood-" + std::to_string(getpid()));
    std::filesystem::create_directories(root);
    std::filesystem::permissions(root, std::filesystem::perms::owner_all);
    const std::string route = (root / "route.txt").string();
    std::filesystem::copy_file(QUORVEL_SAMPLE_ROUTE, route,
                               std::filesystem::copy_options::overwrite_existing);
    const auto connections = static_cast<std::size_t>(state.range(0));

    for (auto _ : state) {
        Window window(route);
        control::ControlServer server(window, [](const std::string&) {});
        const std::string path = (root / "quorvel/control").string();
        if (!server.OpenLocal(path)) {
            state.SkipWithError("no socket");
            return;
        }
        // The probe: a byte every 2 ms carrying the time it was written.
        int pipeFds[2];
        if (pipe(pipeFds) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        std::atomic<bool> probing = true;
        std::thread probe([&] {
            while (probing) {
                const std::int64_t sent = NowNs();
                if (write(pipeFds[1], &sent, sizeof sent) != sizeof sent) {
                    break;
                }
                timespec pause{0, 2'000'000};
                nanosleep(&pause, nullptr);
            }
        });
        std::vector<std::int64_t> waits;
        long peakRss = RssKib();
        const long startRss = peakRss;
        QSocketNotifier key(pipeFds[0], QSocketNotifier::Read);
        QObject::connect(&key, &QSocketNotifier::activated, [&] {
            std::int64_t sent = 0;
            while (read(pipeFds[0], &sent, sizeof sent) == sizeof sent) {
                waits.push_back(NowNs() - sent);
                if (waits.size() % 64 == 0) {
                    peakRss = std::max(peakRss, RssKib());
                }
            }
        });
        fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);

        const std::int64_t began = NowNs();
        std::vector<pid_t> flooders;
        for (std::size_t i = 0; i < connections; ++i) {
            flooders.push_back(Flood(path, kCommands / connections, state.range(1) != 0));
        }
        std::size_t running = flooders.size();
        while (running > 0) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            for (pid_t& child : flooders) {
                int status = 0;
                if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
                    child = -1;
                    --running;
                }
            }
        }
        const double seconds = static_cast<double>(NowNs() - began) / 1e9;
        probing = false;
        probe.join();
        close(pipeFds[0]);
        close(pipeFds[1]);
        state.counters["probe_p50_ms"] = Percentile(waits, 0.5);
        state.counters["probe_p99_ms"] = Percentile(waits, 0.99);
        state.counters["probe_max_ms"] = Percentile(waits, 1.0);
        state.counters["rss_growth_kib"] = static_cast<double>(peakRss - startRss);
        state.counters["commands_per_s"] = static_cast<double>(kCommands) / seconds;
        state.counters["run_commands"] = static_cast<double>(window.ran);
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(ControlFlood)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({16, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
