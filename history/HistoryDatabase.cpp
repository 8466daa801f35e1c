#include "HistoryDatabase.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <unordered_map>

#include "HistoryFile.h"
#include "HistoryImport.h"

namespace history {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE route_split(
    id INTEGER PRIMARY KEY,
    position INTEGER,
    name TEXT NOT NULL
);
CREATE TABLE attempt(
    id INTEGER PRIMARY KEY,
    number INTEGER NOT NULL,
    clock INTEGER NOT NULL,
    started_utc INTEGER,
    ended_utc INTEGER,
    ending INTEGER NOT NULL,
    final_time INTEGER,
    pause_time INTEGER,
    resumed INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE split_time(
    attempt INTEGER NOT NULL,
    split INTEGER NOT NULL,
    running INTEGER,
    segment INTEGER,
    PRIMARY KEY (attempt, split)
) WITHOUT ROWID;
CREATE TABLE route_setting(
    name TEXT PRIMARY KEY,
    value
) WITHOUT ROWID;
PRAGMA application_id = 1364610120;
PRAGMA user_version = 1;
)sql";

// What every version of the layout must answer; a file that cannot is not ours.
constexpr const char* kShapeQueries[] = {
    "SELECT id, position, name FROM route_split LIMIT 0",
    "SELECT id, number, clock, started_utc, ended_utc, ending, final_time, pause_time, resumed "
    "FROM attempt LIMIT 0",
    "SELECT attempt, split, running, segment FROM split_time LIMIT 0",
};

Ending EndingFrom(std::int64_t value) {
    // A value this version does not know can only come from a damaged or planted file.
    return value >= 0 && value <= kLastEnding ? static_cast<Ending>(value) : Ending::ProcessDied;
}

TimeClock ClockFrom(std::int64_t value) {
    return value == 1 ? TimeClock::Game : TimeClock::Real;
}

std::optional<std::int64_t> Widen(std::optional<std::int32_t> value) {
    return value ? std::optional<std::int64_t>(*value) : std::nullopt;
}

std::optional<std::int32_t> Narrow(const sqlite::Statement& row, int column) {
    return row.IsNull(column) ? std::nullopt : std::optional<std::int32_t>(row.Int32(column));
}

// A read-only connection cannot put back a transaction a killed writer left half done.
bool NeedsRecovery(int code) {
    return code == SQLITE_READONLY_ROLLBACK || code == SQLITE_READONLY_RECOVERY ||
           code == SQLITE_READONLY_CANTINIT || code == SQLITE_READONLY_DBMOVED;
}

// What the file's first page says, read before SQLite touches the file, so that a file
// that is plainly not ours is refused without a -wal or -shm file made beside it.
struct FileHeader {
    bool Empty = false;   // 0 bytes: a file this Quorvel was making
    bool Sqlite = false;  // begins with SQLite's own mark
    std::int64_t ApplicationId = 0;
    std::int64_t Version = 0;
};

FileHeader ReadHeader(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char bytes[100] = {};
    file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    FileHeader header;
    header.Empty = file.gcount() == 0;
    if (file.gcount() < static_cast<std::streamsize>(sizeof bytes)) {
        return header;
    }
    const auto bigEndian = [&](int at) {
        return std::int64_t{bytes[at]} << 24 | std::int64_t{bytes[at + 1]} << 16 |
               std::int64_t{bytes[at + 2]} << 8 | std::int64_t{bytes[at + 3]};
    };
    header.Sqlite = std::memcmp(bytes, "SQLite format 3", 16) == 0;
    header.ApplicationId = bigEndian(68);
    header.Version = bigEndian(60);
    return header;
}

// Writes split_time rows many to a statement: for a bulk write, running the statement
// costs more than the row does.
class EntryWriter {
  public:
    explicit EntryWriter(const sqlite::Connection& db) : one_(db, Sql(1)), many_(db, Sql(kRows)) {}

    bool Add(std::int64_t attempt, std::int64_t split, const SplitEntry& entry) {
        pending_.push_back({attempt, split, entry});
        return pending_.size() < kRows || Write(many_, kRows);
    }
    // Writes what is left.
    bool Finish() {
        while (!pending_.empty()) {
            if (!Write(one_, 1)) {
                return false;
            }
        }
        return true;
    }

  private:
    static constexpr std::size_t kRows = 64;
    struct Row {
        std::int64_t Attempt, Split;
        SplitEntry Entry;
    };

    static std::string Sql(std::size_t rows) {
        std::string sql = "INSERT INTO split_time(attempt, split, running, segment) VALUES";
        for (std::size_t row = 0; row < rows; ++row) {
            sql += row == 0 ? "(?,?,?,?)" : ",(?,?,?,?)";
        }
        return sql;
    }

    // The first `rows` pending rows through statement.
    bool Write(sqlite::Statement& statement, std::size_t rows) {
        statement.Reset();
        for (std::size_t row = 0; row < rows; ++row) {
            const Row& r = pending_[pending_.size() - rows + row];
            const int at = static_cast<int>(row * 4);
            statement.Bind(at + 1, r.Attempt).Bind(at + 2, r.Split);
            if (r.Entry.Kind == EntryKind::Timed) {
                statement
                    .Bind(at + 3, r.Entry.HasRunning ? std::optional<std::int64_t>(r.Entry.Running)
                                                     : std::nullopt)
                    .Bind(at + 4, std::int64_t{r.Entry.Segment});
            }
        }
        pending_.resize(pending_.size() - rows);
        return statement.Run();
    }

    sqlite::Statement one_, many_;
    std::vector<Row> pending_;
};

}  // namespace

// The statements recording uses, prepared once per open.
struct HistoryDatabase::Statements {
    explicit Statements(const sqlite::Connection& db)
        : addAttempt(db,
                     "INSERT INTO attempt(number, clock, started_utc, ending) "
                     "VALUES(?1, ?2, ?3, 0)"),
          putEntry(db,
                   "INSERT OR REPLACE INTO split_time(attempt, split, running, segment) "
                   "VALUES(?1, ?2, ?3, ?4)"),
          removeEntry(db, "DELETE FROM split_time WHERE attempt = ?1 AND split = ?2"),
          setEnding(db,
                    "UPDATE attempt SET ending = ?2, ended_utc = ?3, final_time = ?4, "
                    "pause_time = ?5 WHERE id = ?1") {}

    sqlite::Statement addAttempt, putEntry, removeEntry, setEnding;
};

HistoryDatabase::HistoryDatabase() = default;

HistoryDatabase::~HistoryDatabase() {
    Close();
}

void HistoryDatabase::Close() {
    statements_.reset();
    db_.Close();
    refused_ = false;
    splitIds_.clear();
}

bool HistoryDatabase::Fail(const char* what) {
    lastError_ = what != nullptr ? what : db_.ErrorMessage();
    return false;
}

OpenResult HistoryDatabase::Open(const std::string& splitFile, Access access,
                                 const std::vector<std::string>& splitNames) {
    Close();
    access_ = access;
    splitFile_ = splitFile;
    path_ = HistoryPathFor(splitFile);
    names_ = splitNames;
    splitIds_.assign(names_.size(), -1);
    OpenResult result;
    const HistoryPathCheck check = CheckHistoryPath(path_);
    if (check.What == HistoryPathCheck::State::Missing) {
        result.What = OpenResult::Status::NoHistoryYet;
        return result;
    }
    if (check.What == HistoryPathCheck::State::Refused) {
        refused_ = true;
        result.What = OpenResult::Status::Refused;
        result.Message = HistoryFileName(path_) + " was not opened: " + check.Reason + ".";
        lastError_ = result.Message;
        return result;
    }
    OpenExisting(&result);
    return result;
}

bool HistoryDatabase::EnsureCreated() {
    if (db_.IsOpen()) {
        return true;
    }
    if (refused_ || access_ != Access::Writable || path_.empty()) {
        return Fail("the history is not open for recording");
    }
    std::string reason;
    if (!CreateHistoryFile(path_, splitFile_, &reason)) {
        return Fail(reason.c_str());
    }
    OpenResult result;
    if (!OpenExisting(&result)) {
        return Fail(result.Message.c_str());
    }
    return true;
}

bool HistoryDatabase::OpenExisting(OpenResult* result) {
    const std::string name = HistoryFileName(path_);
    const auto refuse = [&](const std::string& why) {
        Close();
        refused_ = true;
        result->What = OpenResult::Status::Refused;
        result->Message = name + " was not opened: " + why + ".";
        lastError_ = result->Message;
        return false;
    };
    const std::string resolved = ResolvedHistoryPath(path_);
    if (resolved.empty()) {
        return refuse("its folder cannot be reached");
    }
    const FileHeader header = ReadHeader(resolved);
    if (!header.Empty) {
        // A file of ours made with no table yet has an application id of 0.
        if (!header.Sqlite ||
            (header.ApplicationId != kApplicationId && header.ApplicationId != 0)) {
            return refuse("it is not a history file");
        }
        if (header.ApplicationId == kApplicationId && header.Version > kSchemaVersion) {
            return refuse("it was written by a newer Quorvel");
        }
    }
    // First a look through a read-only connection, which never writes the file (not even a
    // checkpoint when it closes).
    if (db_.Open(resolved, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW) != SQLITE_OK) {
        return refuse(db_.ErrorMessage());
    }
    std::int64_t objects = db_.QueryInt64("SELECT count(*) FROM sqlite_schema");
    if (objects < 0 && NeedsRecovery(db_.ErrorCode()) && access_ == Access::Writable) {
        // A process of ours died in the middle of a write: SQLite's own recovery puts back
        // the last commit, and needs a connection that may write.
        db_.Close();
        if (db_.Open(resolved, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW) != SQLITE_OK) {
            return refuse(db_.ErrorMessage());
        }
        objects = db_.QueryInt64("SELECT count(*) FROM sqlite_schema");
    }
    if (objects < 0) {
        const int code = db_.ErrorCode() & 0xff;
        if (code == SQLITE_NOTADB) {
            return refuse("it is not a history file");
        }
        return refuse(code == SQLITE_CORRUPT ? "it is damaged" : db_.ErrorMessage());
    }
    const std::int64_t application = db_.QueryInt64("PRAGMA application_id");
    const std::int64_t version = db_.QueryInt64("PRAGMA user_version");
    const bool empty = objects == 0 && application == 0 && version == 0;
    if (!empty) {
        if (application != kApplicationId) {
            return refuse("it is not a history file");
        }
        if (version > kSchemaVersion) {
            return refuse("it was written by a newer Quorvel");
        }
        const std::string check = db_.QueryText("PRAGMA quick_check");
        if (check != "ok") {
            return refuse("it is damaged");
        }
        for (const char* query : kShapeQueries) {
            if (!sqlite::Statement(db_, query).Ok()) {
                return refuse("it is not a history file");
            }
        }
    }
    // The file is ours. Reading goes on through a connection that may write but is told
    // not to: when it is the last one on the file it tidies the -wal and -shm files away.
    db_.Close();
    if (db_.Open(resolved, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW) != SQLITE_OK) {
        return refuse(db_.ErrorMessage());
    }
    if (access_ == Access::Writable) {
        if (db_.QueryText("PRAGMA journal_mode = WAL") != "wal" ||
            db_.Execute("PRAGMA synchronous = FULL") != SQLITE_OK) {
            return refuse(db_.ErrorMessage());
        }
        // Whatever opening changes is one transaction: one write to the disk at most.
        sqlite::Transaction opening(db_);
        if (!opening.Began()) {
            return refuse(db_.ErrorMessage());
        }
        // Another window may have made it a moment ago; then it is there already.
        if (empty && db_.QueryInt64("PRAGMA user_version") == 0 &&
            db_.Execute(kSchema) != SQLITE_OK) {
            return refuse(db_.ErrorMessage());
        }
        if (!Realign(result) || !CloseLeftOpenAttempts(result)) {
            return refuse(lastError_);
        }
        if (!opening.Commit()) {
            return refuse(db_.ErrorMessage());
        }
        statements_ = std::make_unique<Statements>(db_);
    } else {
        if (db_.Execute("PRAGMA query_only = 1") != SQLITE_OK) {
            return refuse(db_.ErrorMessage());
        }
        if (!empty && !Realign(result)) {
            return refuse(lastError_);
        }
    }
    if (!empty || access_ == Access::Writable) {
        // The clock an import chose holds even before the first attempt on it.
        sqlite::Statement chosen(db_, "SELECT value FROM route_setting WHERE name = 'clock'");
        sqlite::Statement latest(db_,
                                 "SELECT clock FROM attempt WHERE ending <> 6 "
                                 "ORDER BY id DESC LIMIT 1");
        if (chosen.Ok() && chosen.Step() == SQLITE_ROW) {
            result->Clock = ClockFrom(chosen.Int64(0));
        } else if (latest.Step() == SQLITE_ROW) {
            result->Clock = ClockFrom(latest.Int64(0));
        }
    }
    result->What = OpenResult::Status::Opened;
    return true;
}

bool HistoryDatabase::Realign(OpenResult* result) {
    std::vector<std::int64_t> inUseIds, asideIds;
    std::vector<std::string> inUse, aside;
    sqlite::Statement splits(db_,
                             "SELECT id, position, name FROM route_split "
                             "ORDER BY position IS NULL, position, id");
    int step = 0;
    while ((step = splits.Step()) == SQLITE_ROW) {
        if (inUse.size() + aside.size() >= 4 * kMostSplits) {
            return Fail("it holds too many splits");
        }
        (splits.IsNull(1) ? asideIds : inUseIds).push_back(splits.Int64(0));
        (splits.IsNull(1) ? aside : inUse).push_back(splits.Text(2));
    }
    if (step != SQLITE_DONE) {
        return Fail();
    }
    result->Alignment = AlignByNames(inUse, aside, names_);
    const Realignment& alignment = result->Alignment;
    for (std::size_t row = 0; row < names_.size(); ++row) {
        const auto& source = alignment.Source[row];
        if (source) {
            splitIds_[row] =
                *source < inUseIds.size() ? inUseIds[*source] : asideIds[*source - inUseIds.size()];
        }
    }
    if (access_ != Access::Writable || alignment.Unchanged(inUse.size())) {
        return true;
    }
    sqlite::Transaction transaction(db_);
    if (!transaction.Began() ||
        db_.Execute("UPDATE route_split SET position = NULL") != SQLITE_OK) {
        return Fail();
    }
    sqlite::Statement place(db_, "UPDATE route_split SET position = ?2, name = ?3 WHERE id = ?1");
    sqlite::Statement add(db_, "INSERT INTO route_split(position, name) VALUES(?1, ?2)");
    for (std::size_t row = 0; row < names_.size(); ++row) {
        const auto position = static_cast<std::int64_t>(row);
        if (splitIds_[row] >= 0) {
            place.Reset();
            if (!place.Bind(1, splitIds_[row]).Bind(2, position).Bind(3, names_[row]).Run()) {
                return Fail();
            }
        } else {
            add.Reset();
            if (!add.Bind(1, position).Bind(2, names_[row]).Run()) {
                return Fail();
            }
            splitIds_[row] = sqlite3_last_insert_rowid(db_.Handle());
        }
    }
    return transaction.Commit() || Fail();
}

bool HistoryDatabase::CloseLeftOpenAttempts(OpenResult* result) {
    sqlite::Transaction transaction(db_);
    if (!transaction.Began()) {
        return Fail();
    }
    if (!names_.empty()) {
        // Those whose last split is in finished: only the end record was lost.
        sqlite::Statement finish(db_,
                                 "UPDATE attempt SET ending = 1, final_time = "
                                 "(SELECT running FROM split_time WHERE attempt = attempt.id "
                                 "AND split = ?1) WHERE ending = 0 AND EXISTS (SELECT 1 FROM "
                                 "split_time WHERE attempt = attempt.id AND split = ?1 AND "
                                 "segment IS NOT NULL)");
        if (!finish.Bind(1, splitIds_.back()).Run()) {
            return Fail();
        }
    }
    if (db_.Execute("UPDATE attempt SET ending = 3 WHERE ending = 0") != SQLITE_OK) {
        return Fail();
    }
    if (!transaction.Commit()) {
        return Fail();
    }
    sqlite::Statement last(db_,
                           "SELECT id, number, clock, started_utc, ended_utc, ending, "
                           "final_time, pause_time, resumed FROM attempt "
                           "WHERE ending <> 6 ORDER BY id DESC LIMIT 1");
    if (last.Step() == SQLITE_ROW && (last.Int64(5) == 3 || last.Int64(5) == 4)) {
        Attempt attempt;
        attempt.Id = last.Int64(0);
        attempt.Number = last.Int32(1);
        attempt.Clock = ClockFrom(last.Int64(2));
        attempt.StartedUtc = last.OptionalInt64(3);
        attempt.EndedUtc = last.OptionalInt64(4);
        attempt.End = EndingFrom(last.Int64(5));
        attempt.FinalTime = Narrow(last, 6);
        attempt.PauseTime = Narrow(last, 7);
        attempt.Resumed = last.Int32(8);
        sqlite::Statement entries(db_,
                                  "SELECT split, running, segment FROM split_time "
                                  "WHERE attempt = ?1");
        entries.Bind(1, attempt.Id);
        while (entries.Step() == SQLITE_ROW) {
            const auto at = std::find(splitIds_.begin(), splitIds_.end(), entries.Int64(0));
            if (at == splitIds_.end()) {
                continue;
            }
            const auto index = static_cast<std::size_t>(at - splitIds_.begin());
            if (attempt.Splits.size() <= index) {
                attempt.Splits.resize(index + 1);
            }
            SplitEntry& entry = attempt.Splits[index];
            entry.Kind = entries.IsNull(2) ? EntryKind::Skipped : EntryKind::Timed;
            entry.Segment = entries.IsNull(2) ? 0 : entries.Int32(2);
            entry.HasRunning = !entries.IsNull(1);
            entry.Running = entries.IsNull(1) ? 0 : entries.Int32(1);
        }
        result->Unfinished = std::move(attempt);
    }
    return true;
}

std::optional<std::size_t> HistoryDatabase::CheckSize(std::string* problem) {
    const std::int64_t attempts = db_.QueryInt64("SELECT count(*) FROM attempt");
    if (attempts < 0) {
        *problem = db_.ErrorMessage();
        return std::nullopt;
    }
    if (attempts > kMostAttempts) {
        *problem = "it holds more than " + CountText(kMostAttempts) + " attempts";
        return std::nullopt;
    }
    // Each attempt's entries are held up to its last one: at most attempts x splits.
    if (attempts * static_cast<std::int64_t>(names_.size()) > kMostEntries) {
        sqlite::Statement cells(db_,
                                "SELECT count(*) FROM split_time JOIN route_split "
                                "ON route_split.id = split_time.split "
                                "WHERE route_split.position IS NOT NULL");
        if (cells.Step() != SQLITE_ROW || cells.Int64(0) > kMostEntries / 4) {
            *problem = "it holds more than " + CountText(kMostEntries / 4) + " split times";
            return std::nullopt;
        }
    }
    return static_cast<std::size_t>(attempts);
}

bool HistoryDatabase::Load(History* out, std::string* problem) {
    *out = History{};
    out->SplitNames = names_;
    if (!db_.IsOpen()) {
        if (refused_) {
            *problem = lastError_;
            return false;
        }
        return true;
    }
    const auto attemptCount = CheckSize(problem);
    if (!attemptCount) {
        return false;
    }
    std::unordered_map<std::int64_t, std::size_t> positionOf;
    for (std::size_t row = 0; row < splitIds_.size(); ++row) {
        if (splitIds_[row] >= 0) {
            positionOf.emplace(splitIds_[row], row);
        }
    }
    sqlite::Statement attempts(db_,
                               "SELECT id, number, clock, started_utc, ended_utc, ending, "
                               "final_time, pause_time, resumed FROM attempt ORDER BY id");
    out->Attempts.reserve(*attemptCount);
    int step = 0;
    while ((step = attempts.Step()) == SQLITE_ROW && out->Attempts.size() < *attemptCount) {
        Attempt attempt;
        attempt.Id = attempts.Int64(0);
        attempt.Number = attempts.Int32(1);
        attempt.Clock = ClockFrom(attempts.Int64(2));
        attempt.StartedUtc = attempts.OptionalInt64(3);
        attempt.EndedUtc = attempts.OptionalInt64(4);
        attempt.End = EndingFrom(attempts.Int64(5));
        attempt.FinalTime = Narrow(attempts, 6);
        attempt.PauseTime = Narrow(attempts, 7);
        attempt.Resumed = attempts.Int32(8);
        out->Attempts.push_back(std::move(attempt));
    }
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        *problem = db_.ErrorMessage();
        return false;
    }
    // Entries come in the order of their key, attempt by attempt, as the attempts do.
    sqlite::Statement entries(db_,
                              "SELECT attempt, split, running, segment FROM split_time "
                              "ORDER BY attempt");
    std::size_t at = 0;
    std::int64_t held = 0;
    while ((step = entries.Step()) == SQLITE_ROW) {
        const std::int64_t attemptId = entries.Int64(0);
        while (at < out->Attempts.size() && out->Attempts[at].Id < attemptId) {
            ++at;
        }
        const auto position = positionOf.find(entries.Int64(1));
        if (at == out->Attempts.size() || out->Attempts[at].Id != attemptId ||
            position == positionOf.end()) {
            continue;  // a split set aside, or an entry of no attempt
        }
        Attempt& attempt = out->Attempts[at];
        const std::size_t index = position->second;
        if (attempt.Splits.size() <= index) {
            held += static_cast<std::int64_t>(index + 1 - attempt.Splits.size());
            if (held > kMostEntries) {
                *problem = "it holds more than " + CountText(kMostEntries / 4) + " split times";
                return false;
            }
            attempt.Splits.resize(index + 1);
        }
        SplitEntry& entry = attempt.Splits[index];
        entry.Kind = entries.IsNull(3) ? EntryKind::Skipped : EntryKind::Timed;
        entry.Segment = entries.IsNull(3) ? 0 : entries.Int32(3);
        entry.HasRunning = !entries.IsNull(2) && entry.Kind == EntryKind::Timed;
        entry.Running = entry.HasRunning ? entries.Int32(2) : 0;
    }
    if (step != SQLITE_DONE) {
        *problem = db_.ErrorMessage();
        return false;
    }
    return true;
}

bool HistoryDatabase::Begin() {
    return db_.Execute("BEGIN IMMEDIATE") == SQLITE_OK || Fail();
}

bool HistoryDatabase::Commit() {
    return db_.Execute("COMMIT") == SQLITE_OK || Fail();
}

void HistoryDatabase::Rollback() {
    if (!sqlite3_get_autocommit(db_.Handle())) {
        db_.Execute("ROLLBACK");
    }
}

std::optional<std::int64_t> HistoryDatabase::AddAttempt(std::int32_t number, TimeClock clock,
                                                        std::optional<std::int64_t> startedUtc) {
    if (!statements_) {
        Fail("the history is not open for recording");
        return std::nullopt;
    }
    sqlite::Statement& add = statements_->addAttempt;
    add.Reset();
    if (!add.Bind(1, number).Bind(2, static_cast<std::int64_t>(clock)).Bind(3, startedUtc).Run()) {
        Fail();
        return std::nullopt;
    }
    return sqlite3_last_insert_rowid(db_.Handle());
}

bool HistoryDatabase::PutEntry(std::int64_t attemptId, std::size_t index, const SplitEntry& entry) {
    if (!statements_ || index >= splitIds_.size()) {
        return Fail("no such split");
    }
    sqlite::Statement& put = statements_->putEntry;
    put.Reset();
    put.Bind(1, attemptId).Bind(2, splitIds_[index]);
    if (entry.Kind == EntryKind::Timed) {
        put.Bind(3, entry.HasRunning ? std::optional<std::int64_t>(entry.Running) : std::nullopt)
            .Bind(4, std::int64_t{entry.Segment});
    }
    return put.Run() || Fail();
}

bool HistoryDatabase::RemoveEntry(std::int64_t attemptId, std::size_t index) {
    if (!statements_ || index >= splitIds_.size()) {
        return Fail("no such split");
    }
    sqlite::Statement& remove = statements_->removeEntry;
    remove.Reset();
    return remove.Bind(1, attemptId).Bind(2, splitIds_[index]).Run() || Fail();
}

bool HistoryDatabase::SetEnding(std::int64_t attemptId, Ending ending,
                                std::optional<std::int64_t> endedUtc,
                                std::optional<std::int32_t> finalTime,
                                std::optional<std::int32_t> pauseTime) {
    if (!statements_) {
        return Fail("the history is not open for recording");
    }
    sqlite::Statement& set = statements_->setEnding;
    set.Reset();
    return set.Bind(1, attemptId)
               .Bind(2, static_cast<std::int64_t>(ending))
               .Bind(3, endedUtc)
               .Bind(4, Widen(finalTime))
               .Bind(5, Widen(pauseTime))
               .Run() ||
           Fail();
}

bool HistoryDatabase::Reopen(std::int64_t attemptId) {
    return SetEnding(attemptId, Ending::InProgress, std::nullopt, std::nullopt, std::nullopt);
}

bool HistoryDatabase::Resume(std::int64_t attemptId, const std::vector<SplitEntry>& entries) {
    sqlite::Statement resume(db_,
                             "UPDATE attempt SET ending = 0, ended_utc = NULL, final_time = "
                             "NULL, resumed = resumed + 1 WHERE id = ?1");
    sqlite::Statement clear(db_, "DELETE FROM split_time WHERE attempt = ?1");
    if (!resume.Bind(1, attemptId).Run() || !clear.Bind(1, attemptId).Run()) {
        return Fail();
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Kind != EntryKind::NotReached && !PutEntry(attemptId, i, entries[i])) {
            return false;
        }
    }
    return true;
}

bool HistoryDatabase::Drop(std::int64_t attemptId) {
    sqlite::Statement drop(db_, "UPDATE attempt SET ending = 5 WHERE id = ?1 AND ending IN (3, 4)");
    return drop.Bind(1, attemptId).Run() || Fail();
}

// The table came after the first files of version 1: it is made when first written, and a
// file without it records real time.
constexpr const char* kRouteSettings =
    "CREATE TABLE IF NOT EXISTS route_setting(name TEXT PRIMARY KEY, value) WITHOUT ROWID";

TimeClock HistoryDatabase::RouteClock() {
    if (!db_.IsOpen()) {
        return TimeClock::Real;
    }
    sqlite::Statement clock(db_, "SELECT value FROM route_setting WHERE name = 'clock'");
    return clock.Ok() && clock.Step() == SQLITE_ROW ? ClockFrom(clock.Int64(0)) : TimeClock::Real;
}

bool HistoryDatabase::SetRouteClock(TimeClock clock) {
    if (!EnsureCreated()) {
        return false;
    }
    if (db_.Execute(kRouteSettings) != SQLITE_OK) {
        return Fail();
    }
    sqlite::Statement set(db_,
                          "INSERT OR REPLACE INTO route_setting(name, value) VALUES('clock', ?1)");
    return set.Bind(1, static_cast<std::int64_t>(clock)).Run() || Fail();
}

bool HistoryDatabase::ReplaceAll(const History& history) {
    if (!EnsureCreated()) {
        return false;
    }
    if (history.SplitNames.size() > kMostSplits) {
        return Fail("too many splits");
    }
    sqlite::Transaction transaction(db_);
    if (!transaction.Began() ||
        db_.Execute("DELETE FROM split_time; DELETE FROM attempt; DELETE FROM route_split") !=
            SQLITE_OK) {
        return Fail();
    }
    std::vector<std::int64_t> ids;
    sqlite::Statement add(db_, "INSERT INTO route_split(position, name) VALUES(?1, ?2)");
    for (std::size_t row = 0; row < history.SplitNames.size(); ++row) {
        add.Reset();
        if (!add.Bind(1, static_cast<std::int64_t>(row)).Bind(2, history.SplitNames[row]).Run()) {
            return Fail();
        }
        ids.push_back(sqlite3_last_insert_rowid(db_.Handle()));
    }
    sqlite::Statement attempt(db_,
                              "INSERT INTO attempt(number, clock, started_utc, ended_utc, ending, "
                              "final_time, pause_time, resumed) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                              "?8)");
    EntryWriter entries(db_);
    for (const Attempt& a : history.Attempts) {
        attempt.Reset();
        attempt.Bind(1, a.Number)
            .Bind(2, static_cast<std::int64_t>(a.Clock))
            .Bind(3, a.StartedUtc)
            .Bind(4, a.EndedUtc)
            .Bind(5, static_cast<std::int64_t>(a.End))
            .Bind(6, Widen(a.FinalTime))
            .Bind(7, Widen(a.PauseTime))
            .Bind(8, a.Resumed);
        if (!attempt.Run()) {
            return Fail();
        }
        const std::int64_t id = sqlite3_last_insert_rowid(db_.Handle());
        for (std::size_t i = 0; i < a.Splits.size() && i < ids.size(); ++i) {
            if (a.Splits[i].Kind != EntryKind::NotReached &&
                !entries.Add(id, ids[i], a.Splits[i])) {
                return Fail();
            }
        }
    }
    if (!entries.Finish() || !transaction.Commit()) {
        return Fail();
    }
    names_ = history.SplitNames;
    splitIds_ = std::move(ids);
    return true;
}

bool HistoryDatabase::ApplyRouteEdit(const RouteEdit& edit) {
    if (!IsValidRouteEdit(edit, names_.size()) || edit.Names.size() > kMostSplits) {
        return Fail("the edit does not fit the route");
    }
    if (!db_.IsOpen()) {
        // No history yet: the next attempt starts one with the new names.
        if (refused_ || access_ != Access::Writable) {
            return Fail("the history is not open for recording");
        }
        names_ = edit.Names;
        splitIds_.assign(names_.size(), -1);
        return true;
    }
    if (access_ != Access::Writable) {
        return Fail("the history is not open for recording");
    }
    History before;
    std::string problem;
    if (!Load(&before, &problem)) {
        return Fail(problem.c_str());
    }
    sqlite::Transaction transaction(db_);
    if (!transaction.Began()) {
        return Fail();
    }
    // Entries whose times change: a segment taken over from a removed split, running times
    // summed again after a move.
    sqlite::Statement update(db_,
                             "UPDATE split_time SET running = ?3, segment = ?4 "
                             "WHERE attempt = ?1 AND split = ?2");
    for (const Attempt& attempt : before.Attempts) {
        const std::vector<SplitEntry> after =
            RearrangeEntries(attempt.Splits, edit, IsListed(attempt));
        for (std::size_t row = 0; row < edit.OldIndex.size(); ++row) {
            if (!edit.OldIndex[row]) {
                continue;
            }
            const SplitEntry old = EntryAt(attempt, *edit.OldIndex[row]);
            const SplitEntry now = row < after.size() ? after[row] : SplitEntry{};
            if (old.Kind != EntryKind::Timed || old == now) {
                continue;
            }
            update.Reset();
            update.Bind(1, attempt.Id)
                .Bind(2, splitIds_[*edit.OldIndex[row]])
                .Bind(3, now.HasRunning ? std::optional<std::int64_t>(now.Running) : std::nullopt)
                .Bind(4, std::int64_t{now.Segment});
            if (!update.Run()) {
                return Fail();
            }
        }
    }
    std::vector<bool> kept(names_.size(), false);
    std::vector<std::int64_t> ids(edit.Names.size(), -1);
    for (std::size_t row = 0; row < edit.OldIndex.size(); ++row) {
        if (edit.OldIndex[row]) {
            kept[*edit.OldIndex[row]] = true;
            ids[row] = splitIds_[*edit.OldIndex[row]];
        }
    }
    sqlite::Statement removeTimes(db_, "DELETE FROM split_time WHERE split = ?1");
    sqlite::Statement removeSplit(db_, "DELETE FROM route_split WHERE id = ?1");
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (kept[i] || splitIds_[i] < 0) {
            continue;
        }
        removeTimes.Reset();
        removeSplit.Reset();
        if (!removeTimes.Bind(1, splitIds_[i]).Run() || !removeSplit.Bind(1, splitIds_[i]).Run()) {
            return Fail();
        }
    }
    sqlite::Statement place(db_, "UPDATE route_split SET position = ?2, name = ?3 WHERE id = ?1");
    sqlite::Statement add(db_, "INSERT INTO route_split(position, name) VALUES(?1, ?2)");
    for (std::size_t row = 0; row < edit.Names.size(); ++row) {
        const auto position = static_cast<std::int64_t>(row);
        if (ids[row] >= 0) {
            place.Reset();
            if (!place.Bind(1, ids[row]).Bind(2, position).Bind(3, edit.Names[row]).Run()) {
                return Fail();
            }
        } else {
            add.Reset();
            if (!add.Bind(1, position).Bind(2, edit.Names[row]).Run()) {
                return Fail();
            }
            ids[row] = sqlite3_last_insert_rowid(db_.Handle());
        }
    }
    if (!transaction.Commit()) {
        return Fail();
    }
    names_ = edit.Names;
    splitIds_ = std::move(ids);
    return true;
}

std::vector<std::size_t> HistoryDatabase::TimesPerSplit() {
    std::vector<std::size_t> times(names_.size(), 0);
    if (!db_.IsOpen()) {
        return times;
    }
    std::unordered_map<std::int64_t, std::size_t> positionOf;
    for (std::size_t row = 0; row < splitIds_.size(); ++row) {
        positionOf.emplace(splitIds_[row], row);
    }
    sqlite::Statement count(db_,
                            "SELECT split, count(*) FROM split_time WHERE segment IS NOT NULL "
                            "GROUP BY split");
    while (count.Step() == SQLITE_ROW) {
        const auto position = positionOf.find(count.Int64(0));
        if (position != positionOf.end()) {
            times[position->second] = static_cast<std::size_t>(count.Int64(1));
        }
    }
    return times;
}

}  // namespace history
