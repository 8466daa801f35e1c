// A small disk that tests can fill: a 256 KiB tmpfs mounted on a folder for the life of the
// object. Mounting needs root (or the right capability); where it is refused, Mounted() is
// false and Error() says why, so the test can skip.
//
//   SmallDisk disk(dir.Path());
//   if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
//   disk.Fill();   // not one more byte fits
//   disk.Free();   // room again
#pragma once

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "FileIO.h"

class SmallDisk {
  public:
    explicit SmallDisk(std::string folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        mounted_ =
            ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") == 0;
        error_ = mounted_ ? "" : std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }
    // Writes a filler file in blocks, then byte by byte, until not one more byte fits.
    void Fill() const {
        FileHandle filler(std::fopen(Filler().c_str(), "w"));
        ASSERT_TRUE(filler);
        const std::string block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler.get()) == block.size() &&
               std::fflush(filler.get()) == 0) {
        }
        std::clearerr(filler.get());
        while (std::fputc('f', filler.get()) != EOF && std::fflush(filler.get()) == 0) {
        }
    }
    void Free() const { std::filesystem::remove(Filler()); }

  private:
    std::string Filler() const { return folder_ + "/filler"; }
    std::string folder_;
    bool mounted_ = false;
    std::string error_;
};
