#include "QuitSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

constexpr std::array kSignals = {SIGTERM, SIGHUP};

// The socket pair's write end, for the handler: [0] is read by the main loop, [1] written.
int gWriteEnd = -1;

extern "C" void OnQuitSignal(int /*signal*/) {
    const int saved = errno;
    const char byte = 1;
    // A full socket already holds a wake-up: nothing is lost by a failed write.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = saved;
}

}  // namespace

struct QuitSignals::Impl {
    std::function<bool()> quit;
    std::array<int, 2> ends{-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer again;
};

QuitSignals::QuitSignals(std::function<bool()> quit) : impl_(std::make_unique<Impl>()) {
    impl_->quit = std::move(quit);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, impl_->ends.data()) !=
        0) {
        std::perror("Quorvel: no socket pair for SIGTERM and SIGHUP");
        return;
    }
    gWriteEnd = impl_->ends[1];
    impl_->again.setSingleShot(true);
    impl_->again.setInterval(10);
    QObject::connect(&impl_->again, &QTimer::timeout, [this] {
        if (!impl_->quit()) {
            impl_->again.start();
        }
    });
    impl_->notifier = std::make_unique<QSocketNotifier>(impl_->ends[0], QSocketNotifier::Read);
    QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, [this] {
        std::array<char, 16> bytes{};
        while (::read(impl_->ends[0], bytes.data(), bytes.size()) > 0) {
        }
        if (!impl_->again.isActive() && !impl_->quit()) {
            impl_->again.start();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

QuitSignals::~QuitSignals() {
    for (const int signal : kSignals) {
        std::signal(signal, SIG_DFL);
    }
    impl_->notifier.reset();
    gWriteEnd = -1;
    for (const int end : impl_->ends) {
        if (end >= 0) {
            ::close(end);
        }
    }
}
