#include "ControlSockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace control {

namespace {

constexpr int kBacklog = 16;
constexpr char kSocketName[] = "control";
constexpr char kLockName[] = "control.lock";

std::string Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A descriptor closed at the end of the scope.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

bool Address(const std::string& path, sockaddr_un* address) {
    *address = {};
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Opens the socket's folder, after checking it and its parent (see the header); -1 with
// problem set. With make, a missing folder is made and a wider one of the runner's is narrowed.
int OpenFolder(const std::string& folder, bool make, std::string* problem) {
    const std::string runtime = Parent(folder);
    struct stat st {};
    errno = 0;
    if (::stat(runtime.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        errno = errno == ENOENT ? ENOENT : EPERM;
        *problem = runtime + " is not a folder of the runner's own";
        return -1;
    }
    if (make && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *problem = "cannot make " + folder + ": " + std::strerror(errno);
        return -1;
    }
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || st.st_uid != ::getuid()) {
        errno = fd.Get() < 0 && errno == ENOENT ? ENOENT : EPERM;
        *problem = folder + " is not a folder of the runner's own";
        return -1;
    }
    if ((st.st_mode & 077) != 0 && (!make || ::fchmod(fd.Get(), 0700) != 0)) {
        *problem = folder + " is open to other users";
        errno = EPERM;
        return -1;
    }
    return fd.Release();
}

// Whether something listens on the socket at path.
bool Answers(const std::string& path) {
    sockaddr_un address;
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0 || !Address(path, &address)) {
        return false;
    }
    const int result =
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return result == 0 || errno == EAGAIN;  // a full backlog is a live server too
}

int ListenOn(const sockaddr* address, socklen_t length) {
    Fd fd(::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int on = 1;
    if (fd.Get() < 0 || ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        (address->sa_family == AF_INET6 &&
         ::setsockopt(fd.Get(), IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0) ||
        ::bind(fd.Get(), address, length) != 0 || ::listen(fd.Get(), kBacklog) != 0) {
        return -1;
    }
    return fd.Release();
}

}  // namespace

std::string DefaultSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] != '/') {
        return "";
    }
    return std::string(runtime) + "/quorvel/" + kSocketName;
}

LocalListener ListenLocal(const std::string& path) {
    LocalListener listener;
    listener.Path = path;
    sockaddr_un address;
    if (path.empty() || !Address(path, &address)) {
        listener.Problem = path.empty() ? "XDG_RUNTIME_DIR is not set" : path + " is too long";
        return listener;
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    Fd folder(OpenFolder(Parent(path), /*make=*/true, &listener.Problem));
    if (folder.Get() < 0) {
        return listener;
    }
    Fd lock(::openat(folder.Get(), kLockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (lock.Get() < 0 || ::flock(lock.Get(), LOCK_EX) != 0) {
        listener.Problem = "cannot lock " + Parent(path) + "/" + kLockName;
        return listener;
    }
    struct stat st {};
    if (::fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) {
            listener.Problem = path + " is not Quorvel's socket; it is left alone";
            return listener;
        }
        if (Answers(path)) {
            listener.Problem = "another Quorvel window has " + path;
            listener.Taken = true;
            return listener;
        }
        ::unlinkat(folder.Get(), name.c_str(), 0);  // left by a process that was killed
    }
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0 ||
        ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::fchmodat(folder.Get(), name.c_str(), 0600, 0) != 0 ||
        ::fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::listen(fd.Get(), kBacklog) != 0) {
        listener.Problem = "cannot listen on " + path + ": " + std::strerror(errno);
        return listener;
    }
    listener.Device = st.st_dev;
    listener.Inode = st.st_ino;
    listener.Fd = fd.Release();
    return listener;
}

void CloseLocal(LocalListener& listener) {
    if (listener.Fd < 0) {
        return;
    }
    ::close(listener.Fd);
    listener.Fd = -1;
    std::string problem;
    Fd folder(OpenFolder(Parent(listener.Path), /*make=*/false, &problem));
    if (folder.Get() < 0) {
        return;
    }
    Fd lock(::openat(folder.Get(), kLockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (lock.Get() >= 0) {
        ::flock(lock.Get(), LOCK_EX);
    }
    const std::string name = listener.Path.substr(listener.Path.find_last_of('/') + 1);
    struct stat st {};
    if (::fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        st.st_dev == listener.Device && st.st_ino == listener.Inode) {
        ::unlinkat(folder.Get(), name.c_str(), 0);
    }
}

int ConnectLocal(const std::string& path) {
    sockaddr_un address;
    if (path.empty() || !Address(path, &address)) {
        errno = ENOENT;
        return -1;
    }
    std::string problem;
    Fd folder(OpenFolder(Parent(path), /*make=*/false, &problem));
    if (folder.Get() < 0) {
        return -1;
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    struct stat st {};
    if (::fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return -1;
    }
    if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) {
        errno = EPERM;
        return -1;
    }
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0 ||
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return -1;
    }
    return fd.Release();
}

std::vector<int> ListenTcp(std::uint16_t port, bool allowOthers, std::string* problem) {
    std::vector<int> fds;
    if (port == 0) {
        *problem = "0 is not a port";
        return fds;
    }
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    v4.sin_addr.s_addr = htonl(allowOthers ? INADDR_ANY : INADDR_LOOPBACK);
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(port);
    v6.sin6_addr = allowOthers ? in6addr_any : in6addr_loopback;
    const std::pair<const sockaddr*, socklen_t> addresses[] = {
        {reinterpret_cast<const sockaddr*>(&v4), sizeof v4},
        {reinterpret_cast<const sockaddr*>(&v6), sizeof v6},
    };
    for (const auto& [address, length] : addresses) {
        const int fd = ListenOn(address, length);
        if (fd >= 0) {
            fds.push_back(fd);
        } else if (errno != EAFNOSUPPORT && errno != EADDRNOTAVAIL) {
            *problem = errno == EADDRINUSE ? "port " + std::to_string(port) + " is in use"
                                           : "cannot listen on port " + std::to_string(port) +
                                                 ": " + std::strerror(errno);
            for (const int open : fds) {
                ::close(open);
            }
            return {};
        }
    }
    if (fds.empty()) {
        *problem = "this machine has no network to listen on";
    }
    return fds;
}

std::string LocalAddress(int fd) {
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
        return "";
    }
    char text[INET6_ADDRSTRLEN] = {};
    if (storage.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&storage);
        ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        return std::string(text) + ":" + std::to_string(ntohs(v4->sin_port));
    }
    if (storage.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&storage);
        ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        return "[" + std::string(text) + "]:" + std::to_string(ntohs(v6->sin6_port));
    }
    return "";
}

}  // namespace control
