// The folder and name parts of a path, as text. A split file and its split-state file name
// each other with any of '/', '\' or ':' as separators (kFileSeparators: the files may come
// from another system); a path of this system has only '/' (kPathSeparator).
//   NameStart("/x/y.txt") -> 3     FolderOf("/x/y.txt") -> "/x/"     NamePart("/x/y.txt") ->
//   "y.txt" FolderOf("C:\x\y.txt") -> "C:\x\"   NamePart("y.txt") -> "y.txt"   FolderOf("y.txt") ->
//   "" NamePart("/x/a:b.txt", kPathSeparator) -> "a:b.txt"
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

inline constexpr std::string_view kFileSeparators = "/\\:";
inline constexpr std::string_view kPathSeparator = "/";

// Where the name begins: just past the last separator, or 0.
inline std::size_t NameStart(std::string_view path, std::string_view separators = kFileSeparators) {
    const std::size_t last = path.find_last_of(separators);
    return last == std::string_view::npos ? 0 : last + 1;
}

// The folder part, up to and including the last separator; empty when there is none.
inline std::string_view FolderOf(std::string_view path,
                                 std::string_view separators = kFileSeparators) {
    return path.substr(0, NameStart(path, separators));
}

// The name part, after the last separator.
inline std::string_view NamePart(std::string_view path,
                                 std::string_view separators = kFileSeparators) {
    return path.substr(NameStart(path, separators));
}

// Every part between separators, in order, empty parts left out:
//   PathComponents("icons//boss.png") -> {"icons", "boss.png"}
//   PathComponents("/a/../b")          -> {"a", "..", "b"}
inline std::vector<std::string_view> PathComponents(std::string_view path,
                                                    std::string_view separators = kPathSeparator) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t end = std::min(path.find_first_of(separators), path.size());
        if (end > 0) {
            parts.push_back(path.substr(0, end));
        }
        path.remove_prefix(std::min(end + 1, path.size()));
    }
    return parts;
}
