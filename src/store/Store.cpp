#include "store/Store.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "core/LocalCalendar.h"

namespace kelm {

namespace {

constexpr int kLayoutVersion = 1;

constexpr std::string_view kLayout = R"sql(
CREATE TABLE titrant (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  concentration REAL NOT NULL,
  titer REAL NOT NULL DEFAULT 1
);
CREATE TABLE titer_history (
  id INTEGER PRIMARY KEY,
  titrant INTEGER NOT NULL REFERENCES titrant(id),
  date TEXT NOT NULL,
  titer REAL NOT NULL,
  file TEXT NOT NULL DEFAULT ''
);
CREATE INDEX titer_history_titrant ON titer_history(titrant, id);
CREATE TABLE result (
  id INTEGER PRIMARY KEY,
  date TEXT NOT NULL,
  file TEXT NOT NULL,
  sample TEXT NOT NULL,
  point INTEGER NOT NULL,
  volume REAL NOT NULL,
  result REAL NOT NULL,
  unit TEXT NOT NULL,
  titrant TEXT NOT NULL,
  titer REAL NOT NULL,
  method TEXT NOT NULL
);
PRAGMA user_version = 1;
)sql";

// The current titer and where it came from: the newest history entry.
constexpr std::string_view kTitrantColumns =
    "SELECT t.name, t.concentration, t.titer, "
    "coalesce((SELECT h.date FROM titer_history h WHERE h.titrant = t.id ORDER BY h.id DESC "
    "LIMIT 1), ''), "
    "coalesce((SELECT h.file FROM titer_history h WHERE h.titrant = t.id ORDER BY h.id DESC "
    "LIMIT 1), '') FROM titrant t";

Titrant ReadTitrant(const SqliteStatement& row) {
    return {row.ColumnText(0), row.ColumnDouble(1), row.ColumnDouble(2), row.ColumnText(3),
            row.ColumnText(4)};
}

}  // namespace

std::filesystem::path DefaultStorePath() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return std::filesystem::path(data) / "kelm" / "kelm.db";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".local" / "share" / "kelm" / "kelm.db";
    }
    return {};
}

StoreStatus Store::Status(const SqliteResult& result) const {
    switch (result.code) {
        case SQLITE_OK:
            return {};
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return {StoreProblem::Locked, result.message};
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_FORMAT:
            return {StoreProblem::Damaged, result.message};
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_READONLY:
        case SQLITE_AUTH:
            return {StoreProblem::CannotCreate, result.message};
        default:
            return {StoreProblem::Failed, result.message};
    }
}

StoreStatus Store::Open(const std::filesystem::path& path, int busyMilliseconds) {
    db_.Close();
    path_ = path;
    if (path.empty()) {
        return {StoreProblem::CannotCreate, "no data folder (neither XDG_DATA_HOME nor HOME)"};
    }
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        return {StoreProblem::CannotCreate, error.message()};
    }
    StoreStatus status = Status(db_.Open(path, true, busyMilliseconds));
    if (status.Ok()) {
        // WAL lets another Kelm read while this one writes; FULL makes every
        // commit durable before it is reported done.
        status = Status(db_.Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"));
    }
    if (status.Ok()) {
        status = CreateLayout();
    }
    if (!status.Ok()) {
        db_.Close();
    }
    return status;
}

StoreStatus Store::CreateLayout() {
    const auto version = [this](int& out) {
        SqliteStatement statement;
        SqliteResult result = db_.Prepare("PRAGMA user_version", statement);
        if (result.Ok() && statement.Step(result)) {
            out = static_cast<int>(statement.ColumnInt(0));
        }
        return result;
    };
    int found = 0;
    if (StoreStatus status = Status(version(found)); !status.Ok() || found == kLayoutVersion) {
        return status;
    }
    if (found > kLayoutVersion) {
        return {StoreProblem::Newer, "layout version " + std::to_string(found)};
    }
    // A new database: its tables come whole or not at all. Another Kelm may
    // have made them in the meantime, so the version is read again inside.
    SqliteTransaction transaction(db_);
    if (StoreStatus status = Status(transaction.Begin()); !status.Ok()) {
        return status;
    }
    if (StoreStatus status = Status(version(found)); !status.Ok() || found != 0) {
        return status;
    }
    if (StoreStatus status = Status(db_.Execute(kLayout)); !status.Ok()) {
        return status;
    }
    return Status(transaction.Commit());
}

StoreStatus Store::Titrants(std::vector<Titrant>& out) {
    out.clear();
    SqliteStatement statement;
    SqliteResult result = db_.Prepare(std::string(kTitrantColumns) + " ORDER BY t.name", statement);
    while (result.Ok() && statement.Step(result)) {
        out.push_back(ReadTitrant(statement));
    }
    return db_.IsOpen() ? Status(result) : StoreStatus{StoreProblem::NotOpen, {}};
}

StoreStatus Store::FindTitrant(std::string_view name, std::optional<Titrant>& out) {
    out.reset();
    if (!db_.IsOpen()) {
        return {StoreProblem::NotOpen, {}};
    }
    SqliteStatement statement;
    SqliteResult result =
        db_.Prepare(std::string(kTitrantColumns) + " WHERE t.name = ?1", statement);
    if (result.Ok()) {
        statement.Bind(1, name);
        if (statement.Step(result)) {
            out = ReadTitrant(statement);
        }
    }
    return Status(result);
}

StoreStatus Store::AddTitrant(const Titrant& titrant, std::string_view date) {
    if (!db_.IsOpen()) {
        return {StoreProblem::NotOpen, {}};
    }
    SqliteTransaction transaction(db_);
    SqliteResult result = transaction.Begin();
    SqliteStatement find;
    if (result.Ok()) {
        result = db_.Prepare("SELECT 1 FROM titrant WHERE name = ?1", find);
    }
    if (result.Ok()) {
        find.Bind(1, titrant.name);
        if (find.Step(result)) {
            return {StoreProblem::TitrantExists, {}};
        }
    }
    SqliteStatement insert;
    if (result.Ok()) {
        result = db_.Prepare("INSERT INTO titrant(name, concentration, titer) VALUES(?1, ?2, ?3)",
                             insert);
    }
    if (result.Ok()) {
        insert.Bind(1, titrant.name);
        insert.Bind(2, titrant.concentration);
        insert.Bind(3, titrant.titer);
        insert.Step(result);
    }
    SqliteStatement history;
    if (result.Ok()) {
        result = db_.Prepare(
            "INSERT INTO titer_history(titrant, date, titer, file) VALUES(?1, ?2, ?3, ?4)",
            history);
    }
    if (result.Ok()) {
        history.Bind(1, db_.LastInsertId());
        history.Bind(2, date);
        history.Bind(3, titrant.titer);
        history.Bind(4, titrant.titerFile);
        history.Step(result);
    }
    if (result.Ok()) {
        result = transaction.Commit();
    }
    return Status(result);
}

StoreStatus Store::SetTiter(std::string_view name, double titer, std::string_view date,
                            std::string_view file) {
    if (!db_.IsOpen()) {
        return {StoreProblem::NotOpen, {}};
    }
    SqliteTransaction transaction(db_);
    SqliteResult result = transaction.Begin();
    SqliteStatement update;
    if (result.Ok()) {
        result = db_.Prepare("UPDATE titrant SET titer = ?2 WHERE name = ?1", update);
    }
    if (result.Ok()) {
        update.Bind(1, name);
        update.Bind(2, titer);
        update.Step(result);
    }
    if (result.Ok() && db_.Changes() == 0) {
        return {StoreProblem::NoTitrant, {}};
    }
    SqliteStatement history;
    if (result.Ok()) {
        result = db_.Prepare(
            "INSERT INTO titer_history(titrant, date, titer, file) "
            "SELECT id, ?2, ?3, ?4 FROM titrant WHERE name = ?1",
            history);
    }
    if (result.Ok()) {
        history.Bind(1, name);
        history.Bind(2, date);
        history.Bind(3, titer);
        history.Bind(4, file);
        history.Step(result);
    }
    if (result.Ok()) {
        result = transaction.Commit();
    }
    return Status(result);
}

StoreStatus Store::TiterHistory(std::string_view name, std::vector<TiterEntry>& out) {
    out.clear();
    std::optional<Titrant> titrant;
    if (StoreStatus status = FindTitrant(name, titrant); !status.Ok()) {
        return status;
    }
    if (!titrant) {
        return {StoreProblem::NoTitrant, {}};
    }
    SqliteStatement statement;
    SqliteResult result = db_.Prepare(
        "SELECT h.date, h.titer, h.file FROM titer_history h JOIN titrant t ON t.id = h.titrant "
        "WHERE t.name = ?1 ORDER BY h.id",
        statement);
    if (result.Ok()) {
        statement.Bind(1, name);
        while (statement.Step(result)) {
            out.push_back(
                {statement.ColumnText(0), statement.ColumnDouble(1), statement.ColumnText(2)});
        }
    }
    return Status(result);
}

StoreStatus Store::AddResults(std::span<const HistoryEntry> entries) {
    if (!db_.IsOpen()) {
        return {StoreProblem::NotOpen, {}};
    }
    SqliteTransaction transaction(db_);
    SqliteResult result = transaction.Begin();
    bool repeated = false;
    if (result.Ok()) {
        repeated = RepeatsTheNewest(entries, result);
    }
    SqliteStatement insert;
    if (result.Ok() && !repeated) {
        result = db_.Prepare(
            "INSERT INTO result(date, file, sample, point, volume, result, unit, titrant, titer, "
            "method) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
            insert);
        for (const HistoryEntry& e : entries) {
            if (!result.Ok()) {
                break;
            }
            insert.Reset();
            insert.Bind(1, e.date);
            insert.Bind(2, e.file);
            insert.Bind(3, e.sample);
            insert.Bind(4, std::int64_t{e.point});
            insert.Bind(5, e.volume);
            insert.Bind(6, e.result);
            insert.Bind(7, e.unit);
            insert.Bind(8, e.titrant);
            insert.Bind(9, e.titer);
            insert.Bind(10, e.method);
            insert.Step(result);
        }
    }
    if (result.Ok()) {
        result = transaction.Commit();
    }
    return Status(result);
}

bool Store::RepeatsTheNewest(std::span<const HistoryEntry> entries, SqliteResult& result) {
    SqliteStatement newest;
    result = db_.Prepare(
        "SELECT sample, volume, result, unit, titrant, titer, method FROM result "
        "WHERE file = ?1 AND point = ?2 ORDER BY id DESC LIMIT 1",
        newest);
    for (const HistoryEntry& e : entries) {
        if (!result.Ok()) {
            return false;
        }
        newest.Reset();
        newest.Bind(1, e.file);
        newest.Bind(2, std::int64_t{e.point});
        // Equal to the bit: the same record processed the same way.
        const bool same = newest.Step(result) && newest.ColumnText(0) == e.sample &&
                          newest.ColumnDouble(1) == e.volume &&
                          newest.ColumnDouble(2) == e.result && newest.ColumnText(3) == e.unit &&
                          newest.ColumnText(4) == e.titrant && newest.ColumnDouble(5) == e.titer &&
                          newest.ColumnText(6) == e.method;
        if (!same) {
            return false;
        }
    }
    return !entries.empty();
}

StoreStatus Store::History(std::vector<HistoryEntry>& out) {
    out.clear();
    if (!db_.IsOpen()) {
        return {StoreProblem::NotOpen, {}};
    }
    SqliteStatement statement;
    SqliteResult result = db_.Prepare(
        "SELECT date, file, sample, point, volume, result, unit, titrant, titer, method "
        "FROM result ORDER BY id",
        statement);
    while (result.Ok() && statement.Step(result)) {
        out.push_back({statement.ColumnText(0), statement.ColumnText(1), statement.ColumnText(2),
                       static_cast<int>(statement.ColumnInt(3)), statement.ColumnDouble(4),
                       statement.ColumnDouble(5), statement.ColumnText(6), statement.ColumnText(7),
                       statement.ColumnDouble(8), statement.ColumnText(9)});
    }
    return Status(result);
}

std::string StoreMessage(const StoreStatus& status, const std::filesystem::path& path,
                         MessageStyle style) {
    const bool window = style == MessageStyle::Window;
    const std::string where = window ? "«" + path.string() + "»" : path.string();
    const std::string detail = status.detail.empty() ? "" : " (" + status.detail + ")";
    switch (status.problem) {
        case StoreProblem::None:
            return {};
        case StoreProblem::NotOpen:
            return window ? "База титрантов и истории не открыта."
                          : "the titrant and history database is not open";
        case StoreProblem::CannotCreate:
            return window ? "Не удалось открыть или создать базу титрантов и истории " + where +
                                detail + "."
                          : "cannot open or create the database " + where + detail;
        case StoreProblem::Locked:
            return window ? "База титрантов и истории " + where +
                                " занята другой программой; запись не выполнена."
                          : "the database " + where + " is locked by another program" + detail;
        case StoreProblem::Damaged:
            return window
                       ? "База титрантов и истории " + where +
                             " повреждена; она оставлена как есть, Kelm работает без неё."
                       : "the database " + where + " is damaged" + detail + "; it is left as it is";
        case StoreProblem::Newer:
            return window
                       ? "База титрантов и истории " + where + " создана более новой версией Kelm."
                       : "the database " + where + " was made by a newer Kelm" + detail;
        case StoreProblem::NoTitrant:
            return window ? "Такого титранта нет в библиотеке." : "no titrant of that name";
        case StoreProblem::TitrantExists:
            return window ? "Титрант с таким названием уже есть в библиотеке."
                          : "a titrant of that name exists already";
        case StoreProblem::Failed:
            break;
    }
    return window ? "Ошибка базы титрантов и истории " + where + detail + "."
                  : "the database " + where + " failed" + detail;
}

std::string StoreDateNow() {
    const std::tm t = LocalCalendar(std::time(nullptr));
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

}  // namespace kelm
