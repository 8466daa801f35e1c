// The pictures of the splits, read from the route's folder, scaled to the row and kept for
// the rows that come round again. A picture file is untrusted: it must lie inside the split
// file's folder ("../x.png" and absolute names are refused), a link to it must be the
// runner's own, and its size and pixel count are checked before it is decoded. A refused or
// unreadable picture is a row without one.
#pragma once

#include <QPixmap>
#include <list>
#include <string>
#include <unordered_map>

// True when picture (a full path, as the engine keeps it) lies inside the folder of
// splitFile, named without "..":
//   ("/runs/a.txt", "/runs/icons/1.png") -> true
//   ("/runs/a.txt", "/runs/../etc/x.png") -> false   ("/runs/a.txt", "/elsewhere/x.png") -> false
bool PictureInRouteFolder(const std::string& splitFile, const std::string& picture);

class PictureCache {
  public:
    static constexpr long long kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr int kMaxSide = 4096;  // pixels, either side, before scaling
    static constexpr std::size_t kCapacity = 64;

    // The picture scaled to fit side x side pixels, or a null pixmap.
    QPixmap Get(const std::string& splitFile, const std::string& picture, int side);
    void Clear();
    std::size_t Size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string key;
        QPixmap pixmap;
    };
    std::list<Entry> entries_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};
