// Whole-file reading and atomic writing, shared by the split file, the split-state file and
// the settings file. Standard library and POSIX only.
#pragma once

#include <sys/types.h>
#include <time.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

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

// Reads the whole file at path into *out, byte for byte, following links as FollowLinks
// allows. Returns false, with *out empty and errno set, when the path cannot be opened, is
// not a regular file (a folder), leads through a link FollowLinks refuses (EACCES), holds
// more than maxBytes bytes (EFBIG; nothing is read then), or a read fails.
bool ReadWholeFile(const std::string& path, std::string* out,
                   std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// The temporary file a save of path writes first: "/runs/any.txt" -> "/runs/.any.txt.saving".
std::string TemporaryPathFor(const std::string& path);

// Writes a file so that it is either the old file or the whole new one, whatever happens:
// writer fills a temporary file in the same folder, which is flushed, synced and renamed
// over path, and the folder is synced. The new file keeps the old file's permissions.
// A symbolic link is followed where FollowLinks allows: the file it points at is replaced,
// in its own folder, and the link stays a link. Not replaced, even for root: a file whose
// mode bits forbid writing (0444), as a text editor would refuse it; a file with more than
// one name (hard links), which the rename would split into two files; anything reached
// through a link FollowLinks refuses.
// Returns false when any step fails (writer returning false included); the old file is then
// untouched, the temporary file removed, and *reason (when given) says why in a few words:
// "the file is write-protected", "No space left on device".
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer,
                         std::string* reason = nullptr);

// The file a path names once every symbolic link on its last part is followed (a link's
// relative target is taken from the link's folder), as the kernel's rule for shared folders
// (protected_symlinks) would follow it, whether or not the machine has that rule on: a link
// in a sticky folder that every user may write (/tmp, mode 1777) is followed only when it
// belongs to the folder's owner or to the runner, so a link another user planted there
// never takes a read or a write of the runner's file elsewhere.
//   "/runs/pb.txt" -> "/data/pb.txt" when /runs/pb.txt links to ../data/pb.txt
//   "/tmp/pb.txt", a link of another user's -> false, "the file is a link another user made
//   in a shared folder"
//   any other path -> itself. More than 40 links -> false, "Too many levels of symbolic links".
// False leaves *target untouched; *reason (when given) says why.
bool FollowLinks(const std::string& path, std::string* target, std::string* reason = nullptr);

// True when the mode bits of the file at path let the caller write it, judged as for an
// ordinary user even when the caller is root: owner, group or other bit as they apply.
// A missing file counts as writable (a save creates it).
bool ModeAllowsWriting(const std::string& path);

// A fast fingerprint of a file's bytes (std::hash), kept in memory only: with the identity
// below it tells an outside edit that kept the size and the modification time.
//   ContentHash("12\t0.00\n") != ContentHash("13\t0.00\n")
std::size_t ContentHash(std::string_view bytes);

// Who a file is, to notice a change made by another program: the same device, inode, size
// and modification time means the same file as far as can be told without reading it.
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

// The identity of the file at path (links followed as FollowLinks allows). False, with
// *identity untouched, when there is no such file or a link on the way is refused.
bool ReadFileIdentity(const std::string& path, FileIdentity* identity);
