#include "PictureCache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <string_view>

#include "FileIO.h"

namespace {

QPixmap Load(const std::string& path, int side) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        return {};
    }
    if (S_ISLNK(link.st_mode) && link.st_uid != ::geteuid()) {
        return {};  // a link someone else planted
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > PictureCache::kMaxFileBytes) {
        return {};
    }
    std::string bytes;
    if (!ReadWholeFile(path, &bytes) ||
        static_cast<long long>(bytes.size()) > PictureCache::kMaxFileBytes) {
        return {};
    }
    QByteArray data = QByteArray::fromStdString(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > PictureCache::kMaxSide ||
        size.height() > PictureCache::kMaxSide) {
        return {};
    }
    reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace

bool PictureInRouteFolder(const std::string& splitFile, const std::string& picture) {
    const auto slash = splitFile.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : splitFile.substr(0, slash + 1);
    if (folder.empty() || picture.size() <= folder.size() ||
        picture.compare(0, folder.size(), folder) != 0) {
        return false;
    }
    std::string_view rest = std::string_view(picture).substr(folder.size());
    if (rest.starts_with('/')) {
        return false;
    }
    while (!rest.empty()) {
        const auto end = rest.find('/');
        if (rest.substr(0, end) == "..") {
            return false;
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return true;
}

QPixmap PictureCache::Get(const std::string& splitFile, const std::string& picture, int side) {
    if (picture.empty() || side <= 0 || !PictureInRouteFolder(splitFile, picture)) {
        return {};
    }
    const std::string key = std::to_string(side) + ":" + picture;
    if (const auto found = index_.find(key); found != index_.end()) {
        entries_.splice(entries_.begin(), entries_, found->second);
        return found->second->pixmap;
    }
    entries_.push_front({key, Load(picture, side)});
    index_[key] = entries_.begin();
    if (entries_.size() > kCapacity) {
        index_.erase(entries_.back().key);
        entries_.pop_back();
    }
    return entries_.front().pixmap;
}

void PictureCache::Clear() {
    entries_.clear();
    index_.clear();
}
