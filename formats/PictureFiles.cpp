#include "PictureFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>

#include "FileIO.h"
#include "FormatLimits.h"
#include "PathParts.h"

namespace {

constexpr const char* kOutside = "not inside the route's folder";

// The path with every link and "." resolved, or "" when it cannot be.
std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

}  // namespace

std::string PictureNameFault(std::string_view name) {
    if (name.empty() || name.front() == '/') {
        return kOutside;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return "not a plain file name";
        }
    }
    for (const std::string_view part : PathComponents(name)) {
        if (part == "..") {
            return kOutside;
        }
    }
    return "";
}

std::string ReadPictureFile(const std::string& folder, const std::string& name,
                            std::string* bytes) {
    bytes->clear();
    if (std::string fault = PictureNameFault(name); !fault.empty()) {
        return fault;
    }
    std::optional<FileDescriptor> at;
    at.emplace(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!at->IsOpen()) {
        return "its folder cannot be read";
    }
    // Each folder on the way is opened without following a link.
    const std::vector<std::string_view> parts = PathComponents(name);
    for (std::size_t p = 0; p + 1 < parts.size(); ++p) {
        const int next = ::openat(at->Get(), std::string(parts[p]).c_str(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            return errno == ENOENT ? "missing" : "not a file inside the route's folder";
        }
        at.emplace(next);
    }
    const std::string last(parts.empty() ? "" : parts.back());
    struct stat info {};
    if (last.empty() || ::fstatat(at->Get(), last.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return "missing";
    }
    int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW;
    if (S_ISLNK(info.st_mode)) {
        if (info.st_uid != ::geteuid()) {
            return "a link another user made";
        }
        const std::string inside = RealPath(folder.empty() ? "." : folder);
        const std::string target = RealPath((folder.empty() ? "./" : folder) + name);
        if (inside.empty() || !target.starts_with(inside == "/" ? inside : inside + "/")) {
            return "a link out of the route's folder";
        }
        flags &= ~O_NOFOLLOW;
    }
    FileDescriptor fd(::openat(at->Get(), last.c_str(), flags));
    if (!fd.IsOpen() || ::fstat(fd.Get(), &info) != 0) {
        return "cannot be read";
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    if (static_cast<std::size_t>(info.st_size) > kMaxPictureBytes) {
        return "larger than " + MegabyteText(kMaxPictureBytes);
    }
    bytes->resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t got = 0;
    while (got < bytes->size()) {
        const ssize_t n = ::read(fd.Get(), bytes->data() + got, bytes->size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            bytes->clear();
            return "cannot be read";
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > static_cast<std::size_t>(info.st_size) && got > kMaxPictureBytes) {
        bytes->clear();
        return "larger than " + MegabyteText(kMaxPictureBytes);
    }
    bytes->resize(got);
    return "";
}
