#include "SplitFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "FileIO.h"
#include "PathParts.h"

std::string SplitFileLock::LockPathFor(const std::string& path) {
    const std::string target = FollowLinks(path);
    return std::string(FolderOf(target, kPathSeparator)) + "." +
           std::string(NamePart(target, kPathSeparator)) + ".lock";
}

SplitFileLock::Result SplitFileLock::Acquire(const std::string& path) {
    Release();
    const std::string lockPath = LockPathFor(path);
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        return taken ? Result::HeldElsewhere : Result::Failed;
    }
    fd_ = fd;
    return Result::Locked;
}

void SplitFileLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the only descriptor drops the lock
        fd_ = -1;
    }
}
