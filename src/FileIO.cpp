#include "FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "PathParts.h"

namespace {

void SyncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) {
        ::fsync(fd.Get());  // best effort: some file systems refuse to sync a folder
    }
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
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
    FileDescriptor fd(
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.IsOpen()) {
        return false;
    }
    const mode_t mode = hadOld ? (old.st_mode & 07777) : static_cast<mode_t>(0644);
    bool ok = ::fchmod(fd.Get(), mode) == 0 || errno == EPERM;
    FileHandle file(::fdopen(fd.Get(), "wb"));
    if (!file) {
        ::unlink(temp.c_str());
        return false;
    }
    fd.Release();  // the stream closes it now
    ok = ok && writer(file.get());
    ok = ok && std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
    ok = ok && ::fsync(::fileno(file.get())) == 0;
    ok = (std::fclose(file.release()) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The folder the rename changed: "/a/b.txt" -> "/a/", "b.txt" -> ".".
    const std::string_view folder = FolderOf(path, kPathSeparator);
    SyncFolder(folder.empty() ? std::string(".") : std::string(folder));
    return true;
}
