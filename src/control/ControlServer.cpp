#include "ControlServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

#include "ControlProtocol.h"
#include "LineReader.h"

namespace control {

struct ControlServer::Listener {
    int Fd = -1;
    bool Local = false;
    std::unique_ptr<QSocketNotifier> Notifier;
};

struct ControlServer::Client {
    std::uint64_t Id = 0;
    int Fd = -1;
    bool Tcp = false;
    LineReader Reader;
    std::optional<Command> Held;  // read, waiting for the next turn's run command
    std::string Out;              // replies not yet taken by the client
    std::unique_ptr<QSocketNotifier> Read, Write;
    bool Busy = false;        // its run command is being carried out (a question may be open)
    bool Continuing = false;  // a turn is asked for
    bool Broken = false;      // a reply could not be sent
};

namespace {

// A notifier goes once the event it may be delivering is done.
void Retire(std::unique_ptr<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier.release()->deleteLater();
    }
}

}  // namespace

ControlServer::ControlServer(ControlTarget& target, std::function<void(const std::string&)> report)
    : target_(target), report_(std::move(report)) {
    runSpacing_.setSingleShot(true);
    runSpacing_.setInterval(kRunSpacingMs);
    runSpacing_.setTimerType(Qt::PreciseTimer);
    connect(&runSpacing_, &QTimer::timeout, this, [this] {
        for (const std::uint64_t id : std::exchange(waitingToRun_, {})) {
            const auto found = clients_.find(id);
            if (found != clients_.end()) {
                Continue(*found->second);
            }
        }
    });
}

ControlServer::~ControlServer() {
    *alive_ = false;
    Close();
}

bool ControlServer::OpenLocal(const std::string& path) {
    if (local_.Fd >= 0) {
        return true;
    }
    local_ = ListenLocal(path);
    if (local_.Fd < 0) {
        report_("Outside commands: " + local_.Problem + ".");
        return false;
    }
    auto listener = std::make_unique<Listener>();
    listener->Fd = local_.Fd;
    listener->Local = true;
    listeners_.insert(listeners_.begin(), std::move(listener));
    AddListener(local_.Fd);
    return true;
}

bool ControlServer::SetTcp(const TcpSettings& settings) {
    const bool listening = listeners_.size() > (local_.Fd >= 0 ? 1u : 0u);
    if (settings == tcp_ && listening == settings.On) {
        return true;
    }
    CloseTcp();
    tcp_ = settings;
    if (!settings.On) {
        return true;
    }
    std::string problem;
    const std::vector<int> fds = ListenTcp(settings.Port, settings.AllowOtherComputers, &problem);
    if (fds.empty()) {
        report_("Control Server: " + problem + "; it is off.");
        return false;
    }
    for (const int fd : fds) {
        auto listener = std::make_unique<Listener>();
        listener->Fd = fd;
        listeners_.push_back(std::move(listener));
        AddListener(fd);
    }
    return true;
}

void ControlServer::AddListener(int fd) {
    for (auto& listener : listeners_) {
        if (listener->Fd == fd) {
            listener->Notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            connect(listener->Notifier.get(), &QSocketNotifier::activated, this,
                    [this, fd] { Accept(fd); });
        }
    }
}

void ControlServer::CloseTcp() {
    for (auto it = clients_.begin(); it != clients_.end();) {
        const std::uint64_t id = it->first;
        const bool tcp = it->second->Tcp;
        ++it;
        if (tcp) {
            Drop(id);
        }
    }
    std::erase_if(listeners_, [](std::unique_ptr<Listener>& listener) {
        if (listener->Local) {
            return false;
        }
        Retire(listener->Notifier);
        ::close(listener->Fd);
        return true;
    });
}

void ControlServer::Close() {
    CloseTcp();
    while (!clients_.empty()) {
        Drop(clients_.begin()->first);
    }
    for (auto& listener : listeners_) {
        Retire(listener->Notifier);
    }
    listeners_.clear();
    CloseLocal(local_);
}

std::vector<std::string> ControlServer::Listening() const {
    std::vector<std::string> where;
    for (const auto& listener : listeners_) {
        where.push_back(listener->Local ? local_.Path : LocalAddress(listener->Fd));
    }
    return where;
}

std::size_t ControlServer::BufferedBytes() const {
    std::size_t bytes = 0;
    for (const auto& [id, client] : clients_) {
        bytes += client->Reader.Buffered() + client->Out.size();
    }
    return bytes;
}

void ControlServer::Accept(int listenFd) {
    const bool tcp = listenFd != local_.Fd;
    // At most one more than may stay, so that a flood of connections ends the event.
    for (std::size_t i = 0; i <= kMaxClients; ++i) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        if (clients_.size() >= kMaxClients) {
            ::close(fd);  // refused: the client reads the end of the stream
            continue;
        }
        const std::uint64_t id = nextId_++;
        auto client = std::make_unique<Client>();
        client->Id = id;
        client->Fd = fd;
        client->Tcp = tcp;
        client->Read = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        client->Write = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        client->Write->setEnabled(false);
        connect(client->Read.get(), &QSocketNotifier::activated, this, [this, id] { Pump(id); });
        connect(client->Write.get(), &QSocketNotifier::activated, this, [this, id] { Flush(id); });
        clients_.emplace(id, std::move(client));
    }
}

void ControlServer::Pump(std::uint64_t id) {
    auto found = clients_.find(id);
    if (found == clients_.end() || found->second->Busy) {
        return;
    }
    Client& client = *found->second;
    client.Continuing = false;
    bool readThisTurn = false;
    for (int lines = 0; lines < kLinesPerTurn;) {
        if (client.Out.size() >= kMaxPendingReply) {
            client.Read->setEnabled(false);  // Flush takes it up again
            return;
        }
        if (!client.Held) {
            if (!WithinPace()) {
                WaitForPace(client);
                return;
            }
            const LineReader::Result next = client.Reader.Next();
            if (next.What == LineReader::Status::kTooLong) {
                Drop(id);
                return;
            }
            if (next.What == LineReader::Status::kNone) {
                if (readThisTurn) {
                    client.Read->setEnabled(true);  // the socket still has bytes: next turn
                    return;
                }
                char buffer[kReadChunk];
                const ssize_t got = ::recv(client.Fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                    client.Read->setEnabled(true);
                    return;
                }
                if (got <= 0) {
                    Drop(id);  // the end of the stream or an error
                    return;
                }
                client.Reader.Append({buffer, static_cast<std::size_t>(got)});
                readThisTurn = true;
                continue;
            }
            ++lines;
            ++paceLines_;
            client.Held = ReadCommand(next.Line);
            if (!client.Held) {
                continue;
            }
        }
        const CommandInfo* info = FindCommand(client.Held->Name);
        if (info != nullptr && !info->Replies && runSpacing_.isActive()) {
            // One run command per kRunSpacingMs of all connections together; this connection
            // reads nothing more until it is its turn.
            client.Read->setEnabled(false);
            waitingToRun_.push_back(id);
            return;
        }
        const Command command = std::move(*client.Held);
        client.Held.reset();
        client.Busy = true;
        client.Read->setEnabled(false);
        bool ran = false;
        const std::shared_ptr<bool> alive = alive_;
        const std::optional<std::string> reply = Perform(command, target_, &ran);
        if (!*alive || clients_.find(id) == clients_.end()) {
            return;  // the window closed the server or the connection while a question was up
        }
        client.Busy = false;
        if (ran) {
            runSpacing_.start();
        }
        if (reply) {
            Send(client, *reply + "\r\n");
            if (client.Broken) {
                Drop(id);
                return;
            }
        }
    }
    Continue(client);
}

bool ControlServer::WithinPace() {
    if (!paceClock_.isValid() || paceClock_.elapsed() >= kPaceMs) {
        paceClock_.start();
        paceLines_ = 0;
    }
    return paceLines_ < kLinesPerPace;
}

void ControlServer::WaitForPace(Client& client) {
    client.Read->setEnabled(false);
    if (client.Continuing) {
        return;
    }
    client.Continuing = true;
    const auto left =
        std::chrono::milliseconds(std::max<qint64>(1, kPaceMs - paceClock_.elapsed()));
    QTimer::singleShot(left, Qt::PreciseTimer, this, [this, id = client.Id] { Pump(id); });
}

void ControlServer::Continue(Client& client) {
    client.Read->setEnabled(false);
    if (client.Continuing) {
        return;
    }
    client.Continuing = true;
    QTimer::singleShot(0, this, [this, id = client.Id] { Pump(id); });
}

void ControlServer::Send(Client& client, const std::string& reply) {
    client.Out += reply;
    if (client.Write->isEnabled()) {
        return;  // Flush sends it once the client reads
    }
    const ssize_t sent =
        ::send(client.Fd, client.Out.data(), client.Out.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        client.Broken = true;
        client.Out.clear();
        return;
    }
    client.Out.erase(0, sent > 0 ? static_cast<std::size_t>(sent) : 0);
    client.Write->setEnabled(!client.Out.empty());
}

void ControlServer::Flush(std::uint64_t id) {
    const auto found = clients_.find(id);
    if (found == clients_.end()) {
        return;
    }
    Client& client = *found->second;
    const bool wasFull = client.Out.size() >= kMaxPendingReply;
    client.Write->setEnabled(false);
    Send(client, "");
    if (client.Broken) {
        Drop(id);
    } else if (wasFull && client.Out.size() < kMaxPendingReply && !client.Busy) {
        Continue(client);
    }
}

void ControlServer::Drop(std::uint64_t id) {
    const auto found = clients_.find(id);
    if (found == clients_.end()) {
        return;
    }
    Client& client = *found->second;
    Retire(client.Read);
    Retire(client.Write);
    ::close(client.Fd);
    clients_.erase(found);
}

}  // namespace control
