#include "ConversionOutput.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "FileIO.h"
#include "PathParts.h"

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr int kNameTries = 1000;

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// "route-1.png", 2 -> "route-1-2.png"; "notes", 3 -> "notes-3".
std::string NumberedName(const std::string& name, int number) {
    const std::size_t dot = name.rfind('.');
    const std::size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, cut) + "-" + std::to_string(number) + name.substr(cut);
}

// A new file in the folder with a name only this call can have: "folder/.name.Ab12Cd".
int MakeTemporary(const std::string& folder, const std::string& name, std::string* temp) {
    std::string path = folder + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    *temp = fd >= 0 ? std::string(NamePart(path, kPathSeparator)) : std::string();
    return fd;
}

}  // namespace

ConversionOutput::ConversionOutput(std::string path, bool replace)
    : path_(std::move(path)),
      folder_(FolderOf(path_, kPathSeparator)),
      name_(NamePart(path_, kPathSeparator)),
      replace_(replace) {
    folderFd_ = ::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    folderError_ = folderFd_ < 0 ? errno : 0;
}

ConversionOutput::~ConversionOutput() {
    if (!committed_) {
        if (!mainTemp_.empty()) {
            ::unlinkat(folderFd_, mainTemp_.c_str(), 0);
        }
        for (const Created& file : reserved_) {
            RemoveIfOurs(file);
        }
    }
    if (folderFd_ >= 0) {
        ::close(folderFd_);
    }
}

bool ConversionOutput::StillOurs(const Created& file) const {
    struct stat info {};
    return ::fstatat(folderFd_, file.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           info.st_dev == file.Device && info.st_ino == file.Inode;
}

void ConversionOutput::RemoveIfOurs(const Created& file) const {
    if (StillOurs(file)) {
        ::unlinkat(folderFd_, file.Name.c_str(), 0);
    }
}

bool ConversionOutput::Fill(const Created& file) const {
    const FileDescriptor fd(
        ::openat(folderFd_, file.Name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    return fd.IsOpen() && ::fstat(fd.Get(), &info) == 0 && info.st_dev == file.Device &&
           info.st_ino == file.Inode && info.st_size == 0 && WriteAll(fd.Get(), file.Bytes);
}

std::string ConversionOutput::ReservePicture(const std::string& wanted, std::string bytes) {
    if (folderFd_ < 0 || wanted.empty() || NameStart(wanted, kPathSeparator) != 0) {
        return "";
    }
    for (int number = 1; number <= kNameTries; ++number) {
        const std::string name = number == 1 ? wanted : NumberedName(wanted, number);
        const FileDescriptor fd(::openat(folderFd_, name.c_str(),
                                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                         kNewFileMode));
        struct stat info {};
        if (fd.IsOpen() && ::fstat(fd.Get(), &info) == 0) {
            reserved_.push_back({name, info.st_dev, info.st_ino, std::move(bytes)});
            return name;
        }
        if (fd.IsOpen()) {
            ::unlinkat(folderFd_, name.c_str(), 0);
            return "";
        }
        if (errno != EEXIST) {
            return "";
        }
    }
    return "";
}

bool ConversionOutput::StageMain(std::string_view bytes, std::string* reason) {
    if (folderFd_ < 0) {
        *reason = std::string("its folder cannot be opened: ") + std::strerror(folderError_);
        return false;
    }
    if (!mainTemp_.empty()) {
        ::unlinkat(folderFd_, mainTemp_.c_str(), 0);
    }
    struct stat old {};
    const bool hasOld =
        ::fstatat(folderFd_, name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode);
    const FileDescriptor fd(MakeTemporary(folder_, name_, &mainTemp_));
    errno = 0;
    if (fd.IsOpen() && WriteAll(fd.Get(), bytes) &&
        ::fchmod(fd.Get(), hasOld ? old.st_mode & 07777 : kNewFileMode) == 0 &&
        ::fsync(fd.Get()) == 0) {
        return true;
    }
    *reason = std::strerror(errno != 0 ? errno : EIO);
    return false;
}

bool ConversionOutput::Commit(std::string* reason, std::vector<std::string>* lostPictures) {
    if (mainTemp_.empty()) {
        *reason = "nothing to write";
        return false;
    }
    struct stat old {};
    const bool hasOld = ::fstatat(folderFd_, name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    int placed = -1;
    if (replace_ && hasOld && S_ISDIR(old.st_mode)) {
        errno = EISDIR;
    } else if (replace_ && hasOld && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) {
        errno = EINVAL;
    } else if (replace_ && hasOld && S_ISREG(old.st_mode) && !ModeAllowsWriting(path_)) {
        *reason = "the file is write-protected";
        return false;
    } else if (replace_) {
        placed = ::renameat(folderFd_, mainTemp_.c_str(), folderFd_, name_.c_str());
    } else {
        placed =
            ::renameat2(folderFd_, mainTemp_.c_str(), folderFd_, name_.c_str(), RENAME_NOREPLACE);
        // A file system without the no-replace rename: a new link refuses an existing name.
        if (placed != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
            placed = ::linkat(folderFd_, mainTemp_.c_str(), folderFd_, name_.c_str(), 0);
            if (placed == 0) {
                ::unlinkat(folderFd_, mainTemp_.c_str(), 0);
            }
        }
    }
    if (placed != 0) {
        *reason = errno == EEXIST ? "a file of that name is there" : std::strerror(errno);
        return false;
    }
    mainTemp_.clear();
    committed_ = true;
    for (Created& file : reserved_) {
        if (!Fill(file)) {
            RemoveIfOurs(file);  // an empty or half-written picture is no use to anyone
            if (lostPictures != nullptr) {
                lostPictures->push_back(file.Name);
            }
        }
        file.Bytes = std::string();  // the memory goes as soon as the bytes are out
    }
    ::fsync(folderFd_);  // best effort: some file systems refuse to sync a folder
    return true;
}
