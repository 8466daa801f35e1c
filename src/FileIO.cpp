#include "FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "PathParts.h"

namespace {

void SyncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) {
        ::fsync(fd.Get());  // best effort: some file systems refuse to sync a folder
    }
}

// Sets *reason, when asked for, to the text of errno.
bool FailWith(std::string* reason, int error) {
    if (reason != nullptr) {
        *reason = std::strerror(error);
    }
    return false;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = ::readlink(current.c_str(), target.data(), PATH_MAX);
        if (length <= 0) {
            return current;
        }
        std::string next(target.data(), static_cast<std::size_t>(length));
        if (next.front() != '/') {
            next = std::string(FolderOf(current, kPathSeparator)) + next;
        }
        current = std::move(next);
    }
    return current;
}

bool ModeAllowsWriting(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return true;
    }
    if (info.st_uid == ::geteuid()) {
        return (info.st_mode & S_IWUSR) != 0;
    }
    if (::geteuid() == 0) {
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    }
    if (info.st_gid == ::getegid()) {
        return (info.st_mode & S_IWGRP) != 0;
    }
    return (info.st_mode & S_IWOTH) != 0;
}

bool ReadFileIdentity(const std::string& path, FileIdentity* identity) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    identity->Path = path;
    identity->Regular = S_ISREG(info.st_mode);
    identity->Device = info.st_dev;
    identity->Inode = info.st_ino;
    identity->Size = info.st_size;
    identity->ModTime = info.st_mtim;
    return true;
}

std::string TemporaryPathFor(const std::string& path) {
    const std::size_t nameStart = NameStart(path, kPathSeparator);
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".saving";
}

bool ReadWholeFile(const std::string& path, std::string* out) {
    out->clear();
    // Opened without blocking, so a FIFO or a device at path is refused instead of waited on.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsOpen()) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK) != 0) {
        return false;
    }
    FileHandle file(::fdopen(fd.Get(), "rb"));
    if (!file) {
        return false;
    }
    fd.Release();  // the stream closes it now
    if (info.st_size > 0) {
        out->reserve(static_cast<std::size_t>(info.st_size));
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        out->append(buffer.data(), got);
        if (got < buffer.size()) {
            break;
        }
    }
    if (std::ferror(file.get()) != 0) {
        out->clear();
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& linkOrPath,
                         const std::function<bool(std::FILE*)>& writer, std::string* reason) {
    if (linkOrPath.empty()) {
        return FailWith(reason, ENOENT);
    }
    const std::string path = FollowLinks(linkOrPath);
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;
    if (hadOld && !S_ISREG(old.st_mode)) {
        return FailWith(reason, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);  // never replace a
                                                                          // folder or device
    }
    if (hadOld && !ModeAllowsWriting(path)) {
        if (reason != nullptr) {
            *reason = "the file is write-protected";
        }
        return false;
    }

    // One fixed temporary name per file: a save killed half way leaves it behind, and the
    // next save removes it before starting afresh, so temporaries never pile up.
    const std::string temp = TemporaryPathFor(path);
    ::unlink(temp.c_str());
    FileDescriptor fd(
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.IsOpen()) {
        return FailWith(reason, errno);
    }
    const mode_t mode = hadOld ? (old.st_mode & 07777) : static_cast<mode_t>(0644);
    bool ok = ::fchmod(fd.Get(), mode) == 0 || errno == EPERM;
    int error = ok ? 0 : errno;
    FileHandle file(::fdopen(fd.Get(), "wb"));
    if (!file) {
        error = errno;
        ::unlink(temp.c_str());
        return FailWith(reason, error);
    }
    fd.Release();  // the stream closes it now
    // Each step keeps the first errno that went wrong, for the message.
    const auto step = [&](bool passed) {
        if (!passed && error == 0) {
            error = errno != 0 ? errno : EIO;
        }
        ok = ok && passed;
    };
    errno = 0;
    if (ok) {
        step(writer(file.get()));
    }
    if (ok) {
        step(std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0);
    }
    if (ok) {
        step(::fsync(::fileno(file.get())) == 0);
    }
    step(std::fclose(file.release()) == 0);
    if (ok) {
        step(::rename(temp.c_str(), path.c_str()) == 0);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return FailWith(reason, error != 0 ? error : EIO);
    }
    // The folder the rename changed: "/a/b.txt" -> "/a/", "b.txt" -> ".".
    const std::string_view folder = FolderOf(path, kPathSeparator);
    SyncFolder(folder.empty() ? std::string(".") : std::string(folder));
    return true;
}
