// One window per split file: an advisory lock (flock) on a lock file in the runner's own
// lock folder, never beside the split file: "$XDG_RUNTIME_DIR/quorvel/", or "/tmp/quorvel-UID/"
// without XDG_RUNTIME_DIR. The folder is made 0700 and used only when it is a real folder
// (not a link) that belongs to the runner and no one else may enter, so another user can
// plant neither a folder nor a link in the lock's place. The lock file is named after the
// split file's folder (its device and inode, which a save does not change) and the split
// file's name, links followed: every name of the file through a link shares one lock, and a
// save, which renames a new file into place, keeps it.
//   "/runs/any.txt", /runs being inode 0x1a2b on device 0x803
//     -> "/run/user/1000/quorvel/803-1a2b-<the name any.txt in 16 hex digits>.lock"
// The kernel releases the lock when the process ends, however it ends, so a crash never
// leaves a stale lock; Release() removes the lock file, so a clean quit leaves nothing. A
// second instance that finds the lock taken opens the file read-only or not at all.
// Standard library and POSIX only.
//
//   SplitFileLock lock;
//   switch (lock.Acquire("/runs/any.txt")) {
//       case SplitFileLock::Result::Locked: ...        // ours until Release() or exit
//       case SplitFileLock::Result::HeldElsewhere: ... // another instance has it open
//       case SplitFileLock::Result::Failed: ...        // no lock possible: FailureReason()
//   }                                                  // says why
#pragma once

#include <string>

class SplitFileLock {
  public:
    enum class Result { Locked, HeldElsewhere, Failed };

    SplitFileLock() = default;
    ~SplitFileLock() { Release(); }
    SplitFileLock(const SplitFileLock&) = delete;
    SplitFileLock& operator=(const SplitFileLock&) = delete;

    // Releases any lock held, then takes the one of the split file at path without waiting.
    Result Acquire(const std::string& path);
    // Removes the lock file and drops the lock.
    void Release();
    bool Held() const { return fd_ >= 0; }
    // Why the last Acquire failed: "the lock folder /tmp/quorvel-1000 belongs to another user".
    const std::string& FailureReason() const { return failure_; }

    // The runner's lock folder, whether or not it exists yet: "$XDG_RUNTIME_DIR/quorvel/"
    // when XDG_RUNTIME_DIR is an absolute path, else "/tmp/quorvel-UID/".
    static std::string LockFolder();
    // The lock file of a split file, or "" when the split file's folder cannot be found (or a
    // link on the way is refused).
    static std::string LockPathFor(const std::string& path);

  private:
    int fd_ = -1;
    std::string lockPath_;
    std::string failure_;
};
