// Temporary folders, whole-file helpers and a lowered file size limit for every test.
//   TempDir dir;                                   // a fresh folder under /tmp, removed at exit
//   WriteFile(dir.File("runs.txt"), "5\t0\n");     // writes bytes exactly, no line-end changes
//   std::string text = ReadFile(dir.File("runs.txt"));  // "" when the file cannot be read
//   std::string sample = ReadFile(TestDataPath("sample.txt"));  // a file under tests/data
//   { FileSizeLimit limit(4096); ... }              // writes past 4 KiB fail with EFBIG
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A new empty folder, removed with everything in it when the object goes out of scope.
class TempDir {
  public:
    TempDir() : path_((std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string()) {
        if (::mkdtemp(path_.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary folder";
        }
    }
    ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Path(): "/tmp/quorvel-test-ab12cd/"; File("a.txt"): "/tmp/quorvel-test-ab12cd/a.txt".
    std::string Path() const { return path_ + "/"; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    std::error_code ignored_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
    if (!(std::ofstream(path, std::ios::binary) << text)) {
        ADD_FAILURE() << "cannot write " << path;
    }
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

inline std::string TestDataPath(const std::string& name) {
    return std::string(QUORVEL_TEST_DATA) + "/" + name;
}

// The names of the entries of a folder, sorted: {"runs.txt"} shows no temporary was left.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Lowers the largest file this process may write, SIGXFSZ ignored: a write past it fails (EFBIG).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit lowered{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*oldHandler_)(int) = std::signal(SIGXFSZ, SIG_IGN);
};
