// Shared by the fuzz targets: a private scratch folder for the files a target reads and
// writes, and a way to put the fuzz input there byte for byte.
//
//   const std::string path = ScratchFolder() + "run.txt";   //
//   "/dev/shm/quorvel-fuzz-Ab12Cd/run.txt" WriteInput(path, data, size);
//
// The folder lives in $TMPDIR when that is set, else on /dev/shm when that exists, so the
// many small writes (and the syncs of the atomic saves) stay in memory. It is removed when
// the process ends normally; after a crash, or when the fuzzer ends the process itself, it
// stays behind, which is why scripts/fuzz.sh points TMPDIR at a folder of its own.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "FileIO.h"

namespace fuzz {

class ScratchFolderHolder {
  public:
    ScratchFolderHolder() {
        const char* tmpdir = std::getenv("TMPDIR");
        std::string base;
        if (tmpdir != nullptr && *tmpdir != '\0') {
            base = tmpdir;
        } else if (::access("/dev/shm", W_OK) == 0) {
            base = "/dev/shm";
        } else {
            base = std::filesystem::temp_directory_path().string();
        }
        std::string pattern = base + "/quorvel-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern + "/";
    }
    ~ScratchFolderHolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolderHolder(const ScratchFolderHolder&) = delete;
    ScratchFolderHolder& operator=(const ScratchFolderHolder&) = delete;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// The scratch folder, with a trailing '/'.
inline const std::string& ScratchFolder() {
    static const ScratchFolderHolder holder;
    return holder.Path();
}

// Replaces the file at path with exactly size bytes of data; aborts when it cannot, since a
// target that silently reads a stale file would test nothing.
inline void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        std::perror(path.c_str());
        std::abort();
    }
    const bool ok = size == 0 || std::fwrite(data, 1, size, file.get()) == size;
    if (std::fclose(file.release()) != 0 || !ok) {
        std::perror(path.c_str());
        std::abort();
    }
}

// Stops the run with a message naming the invariant that broke.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds) {
        Fail(what);
    }
}

}  // namespace fuzz
