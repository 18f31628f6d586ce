// The user's titrant library and history of results: one SQLite database in
// the user's data folder, a cache of the user's work beside the result files
// (each file keeps its own data). Every write is one transaction of the
// database's own, so a crash or a kill never leaves it half written; a
// database that is locked or damaged is reported and never touched further.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileMessages.h"
#include "store/Sqlite.h"

namespace kelm {

enum class StoreProblem {
    None,
    NotOpen,       // no database: none could be opened, or none was asked for
    CannotCreate,  // the folder or the file could not be made or opened
    Locked,        // another program holds it longer than we wait
    Damaged,       // not a database, or a damaged one
    Newer,         // made by a later Kelm with a layout this one does not know
    NoTitrant,     // no titrant of that name
    TitrantExists,
    Failed,  // anything else SQLite reports (a full disk, an I/O error)
};

struct StoreStatus {
    StoreProblem problem = StoreProblem::None;
    std::string detail;  // SQLite's own words, when it said any
    bool Ok() const { return problem == StoreProblem::None; }
};

// Texts are UTF-8; dates "YYYY-MM-DD HH:MM:SS" in local time.
struct Titrant {
    std::string name;
    double concentration = 0.0;  // nominal, mol/L
    double titer = 1.0;          // the current one
    std::string titerDate;       // when the current titer was set
    std::string titerFile;       // the result file it came from, if any
};

struct TiterEntry {
    std::string date;
    double titer = 1.0;
    std::string file;
};

struct HistoryEntry {
    std::string date;
    std::string file;
    std::string sample;
    int point = 0;
    double volume = 0.0;
    double result = 0.0;
    std::string unit;
    std::string titrant;
    double titer = 1.0;
    std::string method;
};

// $XDG_DATA_HOME/kelm/kelm.db when that is an absolute path, else
// ~/.local/share/kelm/kelm.db; empty when neither is set.
std::filesystem::path DefaultStorePath();

class Store {
public:
    // How long a write waits for another Kelm's transaction to end.
    static constexpr int kBusyMilliseconds = 2000;

    // Opens the database, creating the folder and a new database when there is
    // none. A damaged or locked database stays as it is.
    StoreStatus Open(const std::filesystem::path& path, int busyMilliseconds = kBusyMilliseconds);
    bool IsOpen() const { return db_.IsOpen(); }
    const std::filesystem::path& Path() const { return path_; }

    StoreStatus Titrants(std::vector<Titrant>& out);
    StoreStatus FindTitrant(std::string_view name, std::optional<Titrant>& out);
    // A new entry whose first titer enters its history.
    StoreStatus AddTitrant(const Titrant& titrant, std::string_view date);
    // The titrant's current titer; the earlier ones stay in its history.
    StoreStatus SetTiter(std::string_view name, double titer, std::string_view date,
                         std::string_view file);
    // Oldest first.
    StoreStatus TiterHistory(std::string_view name, std::vector<TiterEntry>& out);

    // All of them or none. Entries that repeat, date apart, the newest entry
    // of their file and point, every one of them, are not entered again: a
    // record saved twice unchanged is one result in the history.
    StoreStatus AddResults(std::span<const HistoryEntry> entries);
    // Oldest first.
    StoreStatus History(std::vector<HistoryEntry>& out);

private:
    StoreStatus CreateLayout();
    // Whether every entry equals the newest one of its file and point; false
    // for none, and when `result` reports a failure.
    bool RepeatsTheNewest(std::span<const HistoryEntry> entries, SqliteResult& result);
    StoreStatus Status(const SqliteResult& result) const;

    SqliteDatabase db_;
    std::filesystem::path path_;
};

// What the user is told, the database's path included: a Russian sentence for
// the window, an English line for kelmtool.
std::string StoreMessage(const StoreStatus& status, const std::filesystem::path& path,
                         MessageStyle style);

// Now in local time, as the store keeps dates.
std::string StoreDateNow();

}  // namespace kelm
