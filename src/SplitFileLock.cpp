#include "SplitFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "FileIO.h"
#include "PathParts.h"

namespace {

// FNV-1a: the same name gives the same number in every process and every build.
std::uint64_t NameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

// The lock file's name within the lock folder; "" when the split file's folder is not there.
std::string LockFileName(const std::string& path) {
    std::string target;
    if (!FollowLinks(path, &target)) {
        return "";
    }
    const std::string_view folder = FolderOf(target, kPathSeparator);
    struct stat info {};
    if (::stat(folder.empty() ? "." : std::string(folder).c_str(), &info) != 0) {
        return "";
    }
    char name[80];
    std::snprintf(
        name, sizeof name, "%jx-%jx-%016" PRIx64 ".lock", static_cast<std::uintmax_t>(info.st_dev),
        static_cast<std::uintmax_t>(info.st_ino), NameHash(NamePart(target, kPathSeparator)));
    return name;
}

// Opens the lock folder, making it when it is missing; -1 with *why when it is a link, not a
// folder, or another user's.
int OpenLockFolder(const std::string& folder, std::string* why) {
    const std::string plain = folder.substr(0, folder.size() - 1);  // a final '/' follows links
    if (::mkdir(plain.c_str(), 0700) != 0 && errno != EEXIST) {
        *why = "the lock folder " + plain + " cannot be made: " + std::strerror(errno);
        return -1;
    }
    const int fd = ::open(plain.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *why = "the lock folder " + plain +
               (errno == ELOOP || errno == ENOTDIR
                    ? " is a link or not a folder"
                    : std::string(" cannot be opened: ") + std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid()) {
        *why = "the lock folder " + plain + " belongs to another user";
        ::close(fd);
        return -1;
    }
    if ((info.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
        *why = "the lock folder " + plain + " is open to other users";
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string SplitFileLock::LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        std::string folder = runtime;
        if (folder.back() != '/') {
            folder += '/';
        }
        return folder + "quorvel/";
    }
    return "/tmp/quorvel-" + std::to_string(::geteuid()) + "/";
}

std::string SplitFileLock::LockPathFor(const std::string& path) {
    const std::string name = LockFileName(path);
    return name.empty() ? "" : LockFolder() + name;
}

SplitFileLock::Result SplitFileLock::Acquire(const std::string& path) {
    Release();
    failure_.clear();
    const std::string name = LockFileName(path);
    if (name.empty()) {
        failure_ = "the split file's folder cannot be found";
        return Result::Failed;
    }
    const std::string folder = LockFolder();
    const FileDescriptor folderFd(OpenLockFolder(folder, &failure_));
    if (!folderFd.IsOpen()) {
        return Result::Failed;
    }
    // A holder removes its lock file as it lets go: a file opened just before that is locked
    // in vain, so the lock counts only while the name still leads to the locked file.
    for (int attempt = 0; attempt < 8; ++attempt) {
        FileDescriptor fd(::openat(folderFd.Get(), name.c_str(),
                                   O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        struct stat opened {};
        if (!fd.IsOpen() || ::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
            failure_ = "the lock file " + folder + name + " cannot be opened";
            return Result::Failed;
        }
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                return Result::HeldElsewhere;
            }
            failure_ = std::string("the lock cannot be taken: ") + std::strerror(errno);
            return Result::Failed;
        }
        struct stat named {};
        if (::fstatat(folderFd.Get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            fd_ = fd.Release();
            lockPath_ = folder + name;
            return Result::Locked;
        }
    }
    failure_ = "the lock file " + folder + name + " keeps changing";
    return Result::Failed;
}

void SplitFileLock::Release() {
    if (fd_ >= 0) {
        ::unlink(lockPath_.c_str());  // while still held, so no one locks the name in vain
        ::close(fd_);                 // closing the only descriptor drops the lock
        fd_ = -1;
        lockPath_.clear();
    }
}
