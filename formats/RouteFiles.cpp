#include "RouteFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileIO.h"
#include "FormatLimits.h"
#include "LssReader.h"
#include "PathParts.h"
#include "QuorvelSplitFile.h"
#include "UrnJsonReader.h"

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lower;
}

}  // namespace

SplitFormat SplitFormatOfPath(const std::string& path) {
    const std::string_view name = NamePart(path, kPathSeparator);
    const std::size_t dot = name.rfind('.');
    const std::string extension =
        dot == std::string_view::npos || dot == 0 ? std::string() : Lower(name.substr(dot));
    if (extension == ".txt") {
        return SplitFormat::Quorvel;
    }
    if (extension == ".lss") {
        return SplitFormat::Lss;
    }
    if (extension == ".json") {
        return SplitFormat::UrnJson;
    }
    return SplitFormat::Unknown;
}

std::string ReadSplitFileBytes(const std::string& path) {
    // Opened without blocking, so a FIFO or a device is refused instead of waited on.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.Get(), &info) != 0) {
        throw FormatError(0, std::string("cannot be read: ") +
                                 (errno == ENOENT ? "no such file" : std::strerror(errno)));
    }
    if (!S_ISREG(info.st_mode)) {
        throw FormatError(0, S_ISDIR(info.st_mode) ? "cannot be read: a folder"
                                                   : "cannot be read: not a regular file");
    }
    CheckInputSize(static_cast<std::size_t>(info.st_size));
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            throw FormatError(0, std::string("cannot be read: ") + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
        if (got == bytes.size() && got <= kMaxInputBytes) {
            bytes.resize(std::min(bytes.size() * 2, kMaxInputBytes + 1));  // it grew meanwhile
        }
    }
    CheckInputSize(got);
    bytes.resize(got);
    return bytes;
}

RouteData ReadRouteText(std::string_view text, SplitFormat format, TimingMethod timing,
                        ConvertReport* report) {
    switch (format) {
        case SplitFormat::Quorvel:
            return ReadQuorvelSplitText(text);
        case SplitFormat::Lss:
            return ReadLss(text, timing, report);
        case SplitFormat::UrnJson:
            return ReadUrnJson(text, report);
        case SplitFormat::Unknown:
            break;
    }
    throw FormatError(0, "not a .txt, .lss or .json file");
}

RouteData ReadRouteFile(const std::string& path, SplitFormat format, TimingMethod timing,
                        ConvertReport* report) {
    return ReadRouteText(ReadSplitFileBytes(path), format, timing, report);
}
