// A small RAII layer over SQLite's C interface: a connection, a prepared
// statement and a transaction. Failures are SQLite's result codes with its
// message; nothing throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kelm {

// What a call came to: SQLite's primary result code (SQLITE_OK = 0) and its message.
struct SqliteResult {
    int code = 0;
    std::string message;
    bool Ok() const { return code == 0; }
};

class SqliteStatement;

class SqliteDatabase {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens, creating the file when `create` is set; waits up to `busyMilliseconds`
    // for a lock another connection holds before a statement reports it busy.
    SqliteResult Open(const std::filesystem::path& path, bool create, int busyMilliseconds);
    bool IsOpen() const { return db_ != nullptr; }
    void Close();

    // Runs one or more statements that return no rows.
    SqliteResult Execute(std::string_view sql);
    SqliteResult Prepare(std::string_view sql, SqliteStatement& statement);
    std::int64_t LastInsertId() const;
    int Changes() const;

    SqliteResult Failure(int code) const;

private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters are numbered from 1, as in SQL's "?1".
    void Bind(int index, double value);
    void Bind(int index, std::int64_t value);
    void Bind(int index, std::string_view utf8);

    // True while a row is there; `result` says why it ended when not done.
    bool Step(SqliteResult& result);
    void Reset();

    double ColumnDouble(int column) const;
    std::int64_t ColumnInt(int column) const;
    std::string ColumnText(int column) const;

private:
    friend class SqliteDatabase;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

// BEGIN IMMEDIATE on Begin, so the write lock is taken before anything is
// read; rolled back when it goes out of scope uncommitted.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db) : db_(db) {}
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    SqliteResult Begin();
    SqliteResult Commit();

private:
    SqliteDatabase& db_;
    bool open_ = false;
};

}  // namespace kelm
