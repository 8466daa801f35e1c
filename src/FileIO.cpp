#include "FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

// The folder part of a path, for syncing after the rename: "/a/b.txt" -> "/a", "b.txt" -> ".".
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: some file systems refuse to sync a folder
        ::close(fd);
    }
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".saving";
}

bool ReadWholeFile(const std::string& path, std::string* out) {
    out->clear();
    // Opened without blocking, so a FIFO or a device at path is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    FileHandle file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return false;
    }
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

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer) {
    if (path.empty()) {
        return false;
    }
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;
    if (hadOld && !S_ISREG(old.st_mode)) {
        return false;  // never replace a folder or a device with a file
    }

    // One fixed temporary name per file: a save killed half way leaves it behind, and the
    // next save removes it before starting afresh, so temporaries never pile up.
    const std::string temp = TemporaryPathFor(path);
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const mode_t mode = hadOld ? (old.st_mode & 07777) : static_cast<mode_t>(0644);
    bool ok = ::fchmod(fd, mode) == 0 || errno == EPERM;
    FileHandle file(::fdopen(fd, "wb"));
    if (!file) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    ok = ok && writer(file.get());
    ok = ok && std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
    ok = ok && ::fsync(::fileno(file.get())) == 0;
    ok = (std::fclose(file.release()) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}
