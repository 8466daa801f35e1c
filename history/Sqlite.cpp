#include "Sqlite.h"

#include "NumberText.h"

namespace sqlite {

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        Close();
        db_ = other.db_;
        other.db_ = nullptr;
    }
    return *this;
}

int Connection::Open(const std::string& path, int flags) {
    Close();
    const int result = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        return result;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_busy_timeout(db_, 1000);
    return SQLITE_OK;
}

void Connection::Close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int Connection::Execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

std::int64_t Connection::QueryInt64(const char* sql) {
    Statement query(*this, sql);
    if (!query.Ok() || query.Step() != SQLITE_ROW) {
        return -1;
    }
    return query.Int64(0);
}

std::string Connection::QueryText(const char* sql) {
    Statement query(*this, sql);
    if (!query.Ok() || query.Step() != SQLITE_ROW) {
        return "";
    }
    return query.Text(0);
}

std::string Connection::ErrorMessage() const {
    return db_ == nullptr ? "out of memory" : sqlite3_errmsg(db_);
}

int Connection::ErrorCode() const {
    return db_ == nullptr ? SQLITE_NOMEM : sqlite3_extended_errcode(db_);
}

Statement::Statement(const Connection& db, std::string_view sql) {
    if (db.Handle() != nullptr) {
        sqlite3_prepare_v3(db.Handle(), sql.data(), static_cast<int>(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    }
}

Statement& Statement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, std::optional<std::int64_t> value) {
    return value ? Bind(index, *value) : BindNull(index);
}

Statement& Statement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

int Statement::Step() {
    return statement_ == nullptr ? SQLITE_MISUSE : sqlite3_step(statement_);
}

void Statement::Reset() {
    if (statement_ == nullptr) {
        return;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t Statement::Int64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::int32_t Statement::Int32(int column) const {
    return SaturateToInt32(Int64(column));
}

std::optional<std::int64_t> Statement::OptionalInt64(int column) const {
    if (IsNull(column)) {
        return std::nullopt;
    }
    return Int64(column);
}

std::string Statement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (text == nullptr) {
        return "";
    }
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

Transaction::Transaction(Connection& db) : db_(db) {
    if (db_.Handle() != nullptr && sqlite3_get_autocommit(db_.Handle()) == 0) {
        began_ = true;
        nested_ = true;
        return;
    }
    began_ = db_.Execute("BEGIN IMMEDIATE") == SQLITE_OK;
}

Transaction::~Transaction() {
    if (began_ && !done_ && !nested_) {
        db_.Execute("ROLLBACK");
    }
}

bool Transaction::Commit() {
    if (!began_ || done_) {
        return false;
    }
    if (nested_) {
        done_ = true;
        return true;
    }
    if (db_.Execute("COMMIT") != SQLITE_OK) {
        return false;
    }
    done_ = true;
    return true;
}

}  // namespace sqlite
