// A small owner of SQLite's C handles: a connection, its prepared statements and a
// transaction, each closed or finished when it goes out of scope. Errors come back as
// result codes with SQLite's own message, never as exceptions; the history code turns them
// into the window's sentences.
//
//   sqlite::Connection db;
//   if (db.Open("/runs/route.history.sqlite", SQLITE_OPEN_READWRITE) != SQLITE_OK) {
//       db.ErrorMessage();                            // "unable to open database file"
//   }
//   sqlite::Statement add(db, "INSERT INTO attempt(number, clock) VALUES(?, ?)");
//   add.Bind(1, 12).Bind(2, 0);
//   add.Step();                                       // SQLITE_DONE
//   sqlite::Statement count(db, "SELECT count(*) FROM attempt");
//   if (count.Step() == SQLITE_ROW) count.Int64(0);   // 1
//   std::int64_t n = db.QueryInt64("PRAGMA user_version");   // -1 on failure
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sqlite {

class Connection {
  public:
    Connection() = default;
    ~Connection() { Close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
    Connection& operator=(Connection&& other) noexcept;

    // Opens path with sqlite3_open_v2 flags (SQLITE_OPEN_READONLY, ...). The connection is
    // made defensive (no writes to the schema tables, no untrusted functions in the schema,
    // no triggers or views: a planted file cannot make our statements do more than they say)
    // and waits up to a second for another connection's lock.
    int Open(const std::string& path, int flags);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* Handle() const { return db_; }

    // Runs statements that return no rows; SQLITE_OK or the first failure.
    int Execute(const char* sql);
    // The first column of the first row of a query, or -1 when it fails or returns nothing.
    std::int64_t QueryInt64(const char* sql);
    // The first column of the first row as text, or "" when it fails or returns nothing.
    std::string QueryText(const char* sql);
    // SQLite's message for the last failure: "database disk image is malformed".
    std::string ErrorMessage() const;
    // The extended result code of the last failure (SQLITE_CORRUPT, SQLITE_NOTADB, ...).
    int ErrorCode() const;

  private:
    sqlite3* db_ = nullptr;
};

class Statement {
  public:
    // Prepares sql on db; Ok() tells whether it succeeded.
    Statement(const Connection& db, std::string_view sql);
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return statement_ != nullptr; }
    // Parameters count from 1, as in SQLite. A std::nullopt binds NULL.
    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, std::optional<std::int64_t> value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindNull(int index);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Steps to the end; true when it ended in SQLITE_DONE.
    bool Run() { return Step() == SQLITE_DONE; }
    // Ready to run again with new bindings (the old ones are cleared).
    void Reset();

    // Columns count from 0. Whole numbers are read as 64-bit and held to the 32-bit range
    // where the caller asks for a time, so a planted huge value cannot wrap.
    bool IsNull(int column) const;
    std::int64_t Int64(int column) const;
    std::int32_t Int32(int column) const;
    std::optional<std::int64_t> OptionalInt64(int column) const;
    std::string Text(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
};

// BEGIN IMMEDIATE at construction; ROLLBACK at destruction unless Commit() succeeded.
// Inside a transaction already begun it is part of that one: its Commit() commits nothing
// and a failure is rolled back by the outer one.
class Transaction {
  public:
    explicit Transaction(Connection& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Began() const { return began_; }
    bool Commit();

  private:
    Connection& db_;
    bool began_ = false;
    bool nested_ = false;
    bool done_ = false;
};

}  // namespace sqlite
