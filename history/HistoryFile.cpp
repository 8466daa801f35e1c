#include "HistoryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "PathParts.h"

namespace history {

std::string HistoryPathFor(const std::string& splitFile) {
    const std::size_t nameStart = NameStart(splitFile, kPathSeparator);
    std::string stem = splitFile;
    const std::size_t dot = splitFile.rfind('.');
    if (dot != std::string::npos && dot > nameStart) {
        stem = splitFile.substr(0, dot);
    }
    return stem + ".history.sqlite";
}

std::string HistoryFileName(const std::string& historyPath) {
    return std::string(NamePart(historyPath, kPathSeparator));
}

namespace {

// Missing, a regular file, or refused with a reason; never follows a link.
HistoryPathCheck LookAt(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return {};
        }
        return {HistoryPathCheck::State::Refused, std::strerror(errno)};
    }
    if (S_ISLNK(info.st_mode)) {
        return {HistoryPathCheck::State::Refused, "it is a symbolic link"};
    }
    if (!S_ISREG(info.st_mode)) {
        return {HistoryPathCheck::State::Refused, "it is not a file"};
    }
    return {HistoryPathCheck::State::RegularFile, ""};
}

}  // namespace

HistoryPathCheck CheckHistoryPath(const std::string& historyPath) {
    const HistoryPathCheck main = LookAt(historyPath);
    if (main.What == HistoryPathCheck::State::Refused) {
        return main;
    }
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const HistoryPathCheck companion = LookAt(historyPath + suffix);
        if (companion.What == HistoryPathCheck::State::Refused) {
            return {HistoryPathCheck::State::Refused,
                    std::string("its ") + (suffix + 1) + " file: " + companion.Reason};
        }
    }
    return main;
}

std::string ResolvedHistoryPath(const std::string& historyPath) {
    std::string folder(FolderOf(historyPath, kPathSeparator));
    if (folder.empty()) {
        folder = ".";
    }
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) {
        return "";
    }
    std::string path = resolved;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + HistoryFileName(historyPath);
}

bool CreateHistoryFile(const std::string& historyPath, const std::string& splitFile,
                       std::string* reason) {
    mode_t mode = 0600;
    struct stat split {};
    if (::stat(splitFile.c_str(), &split) == 0) {
        mode = split.st_mode & 0666;
    }
    const int fd =
        ::open(historyPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        if (errno == EEXIST && LookAt(historyPath).What == HistoryPathCheck::State::RegularFile) {
            return true;
        }
        *reason = errno == EEXIST ? "it is not a file" : std::strerror(errno);
        return false;
    }
    // The umask may have taken bits away; the split file's bits are the ones meant.
    const int error = ::fchmod(fd, mode) == 0 ? 0 : errno;
    ::close(fd);
    if (error != 0) {
        *reason = std::strerror(error);
    }
    return error == 0;
}

}  // namespace history
