// Where a route's history lives and how its file is reached safely. Standard library and
// POSIX only.
//
//   HistoryPathFor("/runs/route.txt")   -> "/runs/route.history.sqlite"
//   HistoryPathFor("/runs/any%")        -> "/runs/any%.history.sqlite"
//   HistoryPathFor("/runs/.hidden")     -> "/runs/.hidden.history.sqlite"
//
// The file is beside the split file, so it moves and is backed up with the route. Its last
// part is never followed as a symbolic link (a link planted in a shared folder must not
// lead the runner's writes elsewhere): a link there, or something that is not a regular
// file (a folder, a FIFO that would block the open), is refused before SQLite sees the
// path. Links in the folders above are the runner's own and are followed. SQLite opens its
// own -wal and -shm files with O_NOFOLLOW.
#pragma once

#include <string>

namespace history {

std::string HistoryPathFor(const std::string& splitFile);

// The file's name for messages: "route.history.sqlite".
std::string HistoryFileName(const std::string& historyPath);

struct HistoryPathCheck {
    enum class State { Missing, RegularFile, Refused };
    State What = State::Missing;
    std::string Reason;  // with Refused: "it is a symbolic link", "it is not a file"
};

// Looks at the history file and its -wal, -shm and -journal companions without following
// links.
HistoryPathCheck CheckHistoryPath(const std::string& historyPath);

// The path with every link in its folders resolved, the last part as it is: what SQLite is
// given, with SQLITE_OPEN_NOFOLLOW. "" when the folder does not exist.
std::string ResolvedHistoryPath(const std::string& historyPath);

// Creates an empty history file (an empty file is an empty SQLite database) with the read
// and write permission bits of the split file (0600 when they cannot be read), never
// through a link and never over an existing file. True when the file exists afterwards as a
// regular file, created now or by someone else a moment before; *reason says why not.
bool CreateHistoryFile(const std::string& historyPath, const std::string& splitFile,
                       std::string* reason);

}  // namespace history
