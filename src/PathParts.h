// The folder and name parts of a path, as text. A split file and its split-state file name
// each other with any of '/', '\' or ':' as separators (kFileSeparators: the files may come
// from another system); a path of this system has only '/' (kPathSeparator).
//   NameStart("/x/y.txt") -> 3     FolderOf("/x/y.txt") -> "/x/"     NamePart("/x/y.txt") ->
//   "y.txt" FolderOf("C:\x\y.txt") -> "C:\x\"   NamePart("y.txt") -> "y.txt"   FolderOf("y.txt") ->
//   "" NamePart("/x/a:b.txt", kPathSeparator) -> "a:b.txt"
#pragma once

#include <cstddef>
#include <string_view>

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
