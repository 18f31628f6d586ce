#include "store/Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace kelm {

SqliteDatabase::~SqliteDatabase() {
    Close();
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)) {}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        Close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

SqliteResult SqliteDatabase::Open(const std::filesystem::path& path, bool create,
                                  int busyMilliseconds) {
    Close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int code = sqlite3_open_v2(path.string().c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        SqliteResult result{code & 0xFF,
                            db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code)};
        Close();
        return result;
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, busyMilliseconds);
    return {};
}

void SqliteDatabase::Close() {
    if (db_ != nullptr) {
        // Statements are finalised by their owners first; v2 keeps the
        // connection until the last one is, so an order mistake leaks nothing.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

SqliteResult SqliteDatabase::Failure(int code) const {
    return {code & 0xFF, db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code)};
}

SqliteResult SqliteDatabase::Execute(std::string_view sql) {
    if (db_ == nullptr) {
        return {SQLITE_MISUSE, "the database is not open"};
    }
    const std::string text(sql);
    char* message = nullptr;
    const int code = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    SqliteResult result;
    if (code != SQLITE_OK) {
        result = {code & 0xFF, message != nullptr ? message : sqlite3_errstr(code)};
    }
    sqlite3_free(message);
    return result;
}

SqliteResult SqliteDatabase::Prepare(std::string_view sql, SqliteStatement& statement) {
    sqlite3_finalize(statement.statement_);
    statement.statement_ = nullptr;
    statement.db_ = db_;
    if (db_ == nullptr) {
        return {SQLITE_MISUSE, "the database is not open"};
    }
    const int code = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()),
                                        &statement.statement_, nullptr);
    return code == SQLITE_OK ? SqliteResult{} : Failure(code);
}

std::int64_t SqliteDatabase::LastInsertId() const {
    return db_ != nullptr ? sqlite3_last_insert_rowid(db_) : 0;
}

int SqliteDatabase::Changes() const {
    return db_ != nullptr ? sqlite3_changes(db_) : 0;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::Bind(int index, double value) {
    sqlite3_bind_double(statement_, index, value);
}

void SqliteStatement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
}

void SqliteStatement::Bind(int index, std::string_view utf8) {
    sqlite3_bind_text(statement_, index, utf8.data(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

bool SqliteStatement::Step(SqliteResult& result) {
    if (statement_ == nullptr) {
        result = {SQLITE_MISUSE, "no statement"};
        return false;
    }
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    result = code == SQLITE_DONE ? SqliteResult{} : SqliteResult{code & 0xFF, sqlite3_errmsg(db_)};
    return false;
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

double SqliteStatement::ColumnDouble(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::int64_t SqliteStatement::ColumnInt(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::ColumnText(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), std::size_t(size))
                           : std::string();
}

SqliteTransaction::~SqliteTransaction() {
    if (open_) {
        db_.Execute("ROLLBACK");
    }
}

SqliteResult SqliteTransaction::Begin() {
    SqliteResult result = db_.Execute("BEGIN IMMEDIATE");
    open_ = result.Ok();
    return result;
}

SqliteResult SqliteTransaction::Commit() {
    SqliteResult result = db_.Execute("COMMIT");
    // A commit that failed busy leaves the transaction open; the destructor
    // then rolls it back, so nothing is left half written.
    open_ = !result.Ok();
    return result;
}

}  // namespace kelm
