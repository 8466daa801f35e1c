// One window per split file: an advisory lock (flock) on a lock file beside the split file,
// "/runs/.any.txt.lock" for "/runs/any.txt". The kernel releases it when the process ends,
// however it ends, so a crash never leaves a stale lock; the lock file itself stays, empty.
// A second instance that finds the lock taken opens the file read-only or not at all.
// Standard library and POSIX only.
//
//   SplitFileLock lock;
//   switch (lock.Acquire("/runs/any.txt")) {
//       case SplitFileLock::Result::Locked: ...        // ours until Release() or exit
//       case SplitFileLock::Result::HeldElsewhere: ... // another instance has it open
//       case SplitFileLock::Result::Failed: ...        // no lock file possible (read-only
//   }                                                  // folder): open without a lock
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
    // A symbolic link is followed, so two names of one file share one lock.
    Result Acquire(const std::string& path);
    void Release();
    bool Held() const { return fd_ >= 0; }

    // The lock file of a split file: "/runs/any.txt" -> "/runs/.any.txt.lock".
    static std::string LockPathFor(const std::string& path);

  private:
    int fd_ = -1;
};
