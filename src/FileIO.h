// Whole-file reading and atomic writing, shared by the split file, the split-state file and
// the settings file. Standard library and POSIX only.
#pragma once

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
// Returns false when any step fails (writer returning false included); the old file is then
// untouched and the temporary file removed.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& writer);
