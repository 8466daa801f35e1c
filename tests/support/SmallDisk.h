// A small disk that tests can fill: a 256 KiB tmpfs mounted on a folder for the life of the
// object. Mounting needs root (or the right capability); Error() says why it was refused.
//   SmallDisk disk(dir.Path());
//   if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
//   disk.Fill();   // not one more byte fits
//   disk.Free();   // room again
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

class SmallDisk {
  public:
    explicit SmallDisk(std::string folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") != 0) {
            error_ = std::strerror(errno);
        }
    }
    ~SmallDisk() {
        if (Mounted()) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // Writes a filler file in blocks, then in ever smaller ones, until not one more byte fits.
    void Fill() const {
        const int fd = ::open(Filler().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        for (std::size_t size = block.size(); size > 0;) {
            size = ::write(fd, block.data(), size) > 0 ? size : size / 2;
        }
        ::close(fd);
    }
    void Free() const { std::filesystem::remove(Filler()); }

  private:
    std::string Filler() const { return folder_ + "/filler"; }
    std::string folder_;
    std::string error_;  // why the mount was refused
};
