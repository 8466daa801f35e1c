// A client of the control server for the tests, read without blocking the event loop the
// server runs in, and the TCP ports to reach it by.
//   support::Client client(control::ConnectLocal(path));
//   client.Ask("startorsplit\r\ngettimerphase\r\n", 1);      // "Running\r\n"
//   support::Client tcp(support::ConnectTcp(AF_INET, support::FreePort()));   // !Connected()
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "QtEvents.h"

namespace support {

// A client's end of a connection (-1: none).
class Client {
  public:
    explicit Client(int fd) : fd_(fd) {}
    ~Client() { Close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    bool Connected() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    void Send(const std::string& text) {
        ASSERT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(text.size()));
    }
    // Everything that has arrived; closed_ once the server has ended the connection.
    const std::string& Received() {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
            received_.append(buffer, static_cast<std::size_t>(got));
        }
        closed_ = closed_ || got == 0 || (got < 0 && errno != EAGAIN);
        return received_;
    }
    bool Closed() {
        Received();
        return closed_;
    }
    // The server's answers to lines, once all of them are in.
    std::string Ask(const std::string& lines, std::size_t replies) {
        Send(lines);
        ProcessEventsUntil([&] {
            return std::count(Received().begin(), Received().end(), '\n') >=
                       static_cast<long>(replies) ||
                   closed_;
        });
        return std::exchange(received_, "");
    }

  private:
    int fd_;
    std::string received_;
    bool closed_ = false;
};

inline int ConnectTcp(int family, std::uint16_t port) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(port);
    v6.sin6_addr = in6addr_loopback;
    const int result = family == AF_INET
                           ? ::connect(fd, reinterpret_cast<sockaddr*>(&v4), sizeof v4)
                           : ::connect(fd, reinterpret_cast<sockaddr*>(&v6), sizeof v6);
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A port no one listens on now, as the kernel hands them out.
inline std::uint16_t FreePort(int* keepBound = nullptr) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (keepBound != nullptr) {
        ::listen(fd, 1);
        *keepBound = fd;
    } else {
        ::close(fd);
    }
    return ntohs(address.sin_port);
}

}  // namespace support
