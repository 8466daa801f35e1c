// Whole-file reading and atomic writing, shared by the split file, the split-state file and
// the settings file. Standard library and POSIX only.
#pragma once

#include <sys/types.h>
#include <time.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

// Closes a FILE* when it goes out of scope.
struct FileCloser {
    void operator()(std::FILE* file) const noexcept {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Owns a POSIX file descriptor and closes it when it goes out of scope, unless Release() has
// handed it on (to fdopen). A descriptor below 0 (a failed open) is held as "none".
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const noexcept { return fd_; }
    bool IsOpen() const noexcept { return fd_ >= 0; }
    int Release() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

// Reads the whole file at path into *out, byte for byte. Returns false, with *out empty,
// when the path cannot be opened, is not a regular file (a folder), or a read fails.
bool ReadWholeFile(const std::string& path, std::string* out);

// The temporary file a save of path writes first: "/runs/any.txt" -> "/runs/.any.txt.saving".
std::string TemporaryPathFor(const std::string& path);

// Writes a file so that it is either the old file or the whole new one, whatever happens:
// writer fills a temporary file in the same folder, which is flushed, synced and renamed
// over path, and the folder is synced. The new file keeps the old file's permissions.
// A symbolic link is followed: the file it points at is replaced, in its own folder, and the
// link stays a link. A file whose mode bits forbid writing (0444) is not replaced, even for
// root, as a text editor would refuse it.
// Returns false when any step fails (writer returning false included); the old file is then
// untouched, the temporary file removed, and *reason (when given) says why in a few words:
// "the file is write-protected", "No space left on device".
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer,
                         std::string* reason = nullptr);

// The file a path names once every symbolic link on its last part is followed (a link's
// relative target is taken from the link's folder): "/runs/pb.txt" -> "/data/pb.txt" when
// /runs/pb.txt links to ../data/pb.txt; any other path unchanged. At most 40 links.
std::string FollowLinks(const std::string& path);

// True when the mode bits of the file at path let the caller write it, judged as for an
// ordinary user even when the caller is root: owner, group or other bit as they apply.
// A missing file counts as writable (a save creates it).
bool ModeAllowsWriting(const std::string& path);

// Who a file is, to notice a change made by another program: the same device, inode, size
// and modification time means the same content as far as can be told cheaply.
struct FileIdentity {
    std::string Path;      // the path it was read for; not part of the comparison
    bool Regular = false;  // a regular file (not a folder, FIFO or device)
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec ModTime{};

    bool operator==(const FileIdentity& other) const {
        return Device == other.Device && Inode == other.Inode && Size == other.Size &&
               ModTime.tv_sec == other.ModTime.tv_sec && ModTime.tv_nsec == other.ModTime.tv_nsec;
    }
};

// The identity of the file at path (links followed). False, with *identity untouched, when
// there is no such file.
bool ReadFileIdentity(const std::string& path, FileIdentity* identity);
