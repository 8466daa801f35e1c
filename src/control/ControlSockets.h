// The sockets outside commands come in through, in plain POSIX (the server watches them with
// Qt; quorvel-ctl connects with these alone).
//
// The local socket lives at $XDG_RUNTIME_DIR/quorvel/control. The runtime folder must belong to
// the runner and be writable by nobody else; the quorvel folder in it is made 0700 (or made so,
// when it is the runner's own) and is never reached through a link; the socket is made 0600.
// What is already at the socket's place decides:
//   nothing                                -> the socket is made
//   a socket of the runner's that answers  -> another window has it: this one does not take it
//   a socket of the runner's that refuses  -> left by a killed process: replaced
//   anything else                          -> not ours: left alone, and no socket
// Two windows starting at once take turns through a lock file beside the socket.
//
// The TCP port listens on 127.0.0.1 and ::1 only, or on every interface when other computers
// are allowed; a family the machine lacks is left out.
//
// Every descriptor is non-blocking and closed on exec.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace control {

inline constexpr std::uint16_t kDefaultPort = 16834;

// The TCP side, as the Control Server dialog sets it and the settings keep it:
//   [Control]  Server=N  Port=16834  AllowOtherComputers=N
struct TcpSettings {
    bool On = false;
    std::uint16_t Port = kDefaultPort;
    bool AllowOtherComputers = false;

    bool operator==(const TcpSettings&) const = default;
};

// "$XDG_RUNTIME_DIR/quorvel/control"; "" when XDG_RUNTIME_DIR is not set.
std::string DefaultSocketPath();

// A listening local socket and what it takes to remove it later.
struct LocalListener {
    int Fd = -1;
    std::string Path;
    dev_t Device = 0;  // of the socket file, so that only ours is removed
    ino_t Inode = 0;
    std::string Problem;  // why there is none: "another Quorvel window has ..."
    bool Taken = false;   // there is none because another window listens there
};

// Makes the socket at path (see above); Fd is -1, with Problem set, when it cannot.
LocalListener ListenLocal(const std::string& path);
// Closes the socket and removes its file, when the file is still the one it made.
void CloseLocal(LocalListener& listener);

// Connects to the local socket at path after the same checks of its folder; -1 with errno set
// (ENOENT, ECONNREFUSED: nothing listens; EPERM: the folder or the socket is not the runner's).
int ConnectLocal(const std::string& path);

// Listening TCP sockets on port: loopback only, or every interface with allowOthers. Empty,
// with problem set ("port 16834 is in use"), when none could be made.
std::vector<int> ListenTcp(std::uint16_t port, bool allowOthers, std::string* problem);

// "127.0.0.1:16834", "[::1]:16834", "0.0.0.0:16834", "[::]:16834": where a socket listens.
std::string LocalAddress(int fd);

}  // namespace control
