// The titrant library and the history of results in their database: made
// when missing, kept across runs, written while another Kelm holds it,
// reported and left alone when damaged, and whole after a kill mid-write.
#include "store/Store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "support/TempDir.h"

namespace kelm {
namespace {

namespace fs = std::filesystem;

HistoryEntry Entry(int point, double result) {
    return {"2026-12-09 10:00:00",
            "/data/a.kel",
            "Проба 1",
            point,
            20.0 + point,
            result,
            "моль/л",
            "NaOH",
            1.0012,
            "criterion=extremum"};
}

TEST(Store, AMissingDatabaseIsCreatedWithItsFolder) {
    test::TempDir dir;
    const fs::path path = dir / "data" / "kelm" / "kelm.db";
    Store store;
    ASSERT_TRUE(store.Open(path).Ok());
    EXPECT_TRUE(fs::exists(path));
    std::vector<Titrant> titrants;
    EXPECT_TRUE(store.Titrants(titrants).Ok());
    EXPECT_TRUE(titrants.empty());
    // Write-ahead logging: the log stands beside the open database.
    ASSERT_TRUE(store.AddResults(std::vector{Entry(1, 0.1)}).Ok());
    EXPECT_TRUE(fs::exists(path.string() + "-wal"));
}

// Where the database lies: the user's data folder by the base directory rules.
TEST(Store, LiesInTheUsersDataFolder) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string savedData = data ? data : "";
    const struct {
        const char* xdg;  // nullptr: unset
        const char* home;
        fs::path expected;
    } table[] = {
        {"/srv/data", "/home/a", "/srv/data/kelm/kelm.db"},
        {nullptr, "/home/a", "/home/a/.local/share/kelm/kelm.db"},
        {"", "/home/a", "/home/a/.local/share/kelm/kelm.db"},
        {"relative/data", "/home/a", "/home/a/.local/share/kelm/kelm.db"},
        {nullptr, "", ""},
    };
    for (const auto& row : table) {
        if (row.xdg) {
            ::setenv("XDG_DATA_HOME", row.xdg, 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
        ::setenv("HOME", row.home, 1);
        EXPECT_EQ(DefaultStorePath(), row.expected) << (row.xdg ? row.xdg : "unset");
    }
    ::setenv("HOME", home.c_str(), 1);
    if (data) {
        ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

TEST(Store, EverythingWrittenIsThereAfterReopening) {
    test::TempDir dir;
    const fs::path path = dir / "kelm.db";
    {
        Store store;
        ASSERT_TRUE(store.Open(path).Ok());
        ASSERT_TRUE(store.AddTitrant({"NaOH 0,1 М", 0.1, 1.0, {}, {}}, "2026-12-01 09:00:00").Ok());
        ASSERT_TRUE(store.SetTiter("NaOH 0,1 М", 0.9954, "2026-12-02 09:00:00", "/d/t1.kel").Ok());
        ASSERT_TRUE(store.SetTiter("NaOH 0,1 М", 0.9961, "2026-12-09 09:00:00", "/d/t2.kel").Ok());
        ASSERT_TRUE(store.AddTitrant({"HCl", 0.05, 1.002, {}, "/d/h.kel"}, "2026-12-03").Ok());
        ASSERT_TRUE(store.AddResults(std::vector{Entry(1, 0.1), Entry(2, 0.2)}).Ok());
    }
    Store store;
    ASSERT_TRUE(store.Open(path).Ok());
    std::vector<Titrant> titrants;
    ASSERT_TRUE(store.Titrants(titrants).Ok());
    ASSERT_EQ(titrants.size(), 2u);
    EXPECT_EQ(titrants[0].name, "HCl");  // by name
    EXPECT_EQ(titrants[0].titerFile, "/d/h.kel");
    EXPECT_EQ(titrants[1].name, "NaOH 0,1 М");
    EXPECT_EQ(titrants[1].concentration, 0.1);
    EXPECT_EQ(titrants[1].titer, 0.9961);
    EXPECT_EQ(titrants[1].titerDate, "2026-12-09 09:00:00");
    EXPECT_EQ(titrants[1].titerFile, "/d/t2.kel");

    std::vector<TiterEntry> titers;
    ASSERT_TRUE(store.TiterHistory("NaOH 0,1 М", titers).Ok());
    ASSERT_EQ(titers.size(), 3u);  // every earlier titer stays, oldest first
    EXPECT_EQ(titers[0].titer, 1.0);
    EXPECT_EQ(titers[1].titer, 0.9954);
    EXPECT_EQ(titers[1].file, "/d/t1.kel");
    EXPECT_EQ(titers[2].titer, 0.9961);

    std::vector<HistoryEntry> history;
    ASSERT_TRUE(store.History(history).Ok());
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[1].point, 2);
    EXPECT_EQ(history[1].result, 0.2);
    EXPECT_EQ(history[1].sample, "Проба 1");
    EXPECT_EQ(history[1].method, "criterion=extremum");
}

// Saving twice unchanged is one result; any change, or the same figures of
// another file, enter the history.
TEST(Store, ARecordSavedAgainUnchangedIsEnteredOnce) {
    test::TempDir dir;
    Store store;
    ASSERT_TRUE(store.Open(dir / "kelm.db").Ok());
    const auto changed = [](HistoryEntry e, auto change) {
        change(e);
        return e;
    };
    const std::vector<HistoryEntry> first{Entry(1, 0.1), Entry(2, 0.2)};
    const struct {
        const char* what;
        std::vector<HistoryEntry> entries;
        size_t added;
    } table[] = {
        {"the first save", first, 2},
        {"saved again", first, 0},
        {"saved again later",
         {changed(Entry(1, 0.1), [](HistoryEntry& e) { e.date = "2026-12-10 08:00:00"; }),
          Entry(2, 0.2)},
         0},
        {"one point of them", {Entry(2, 0.2)}, 0},
        {"one result changed", {Entry(1, 0.1), Entry(2, 0.25)}, 2},
        {"back to the earlier one", first, 2},
        {"another method",
         {changed(Entry(1, 0.1), [](HistoryEntry& e) { e.method += " select=greatest"; })},
         1},
        {"another titer", {changed(Entry(1, 0.1), [](HistoryEntry& e) { e.titer = 1.0013; })}, 1},
        {"another sample",
         {changed(Entry(1, 0.1), [](HistoryEntry& e) { e.sample = "Проба 2"; })},
         1},
        {"the same figures in another file",
         {changed(Entry(1, 0.1), [](HistoryEntry& e) { e.file = "/data/b.kel"; })},
         1},
        {"a point not entered before", {Entry(3, 0.3)}, 1},
    };
    size_t count = 0;
    for (const auto& row : table) {
        ASSERT_TRUE(store.AddResults(row.entries).Ok()) << row.what;
        std::vector<HistoryEntry> history;
        ASSERT_TRUE(store.History(history).Ok());
        EXPECT_EQ(history.size(), count + row.added) << row.what;
        count = history.size();
    }
}

TEST(Store, NamesThatDoNotFitAreRefused) {
    test::TempDir dir;
    Store store;
    ASSERT_TRUE(store.Open(dir / "kelm.db").Ok());
    ASSERT_TRUE(store.AddTitrant({"NaOH", 0.1, 1.0, {}, {}}, "d").Ok());
    const struct {
        StoreStatus status;
        StoreProblem problem;
    } table[] = {
        {store.AddTitrant({"NaOH", 0.2, 1.0, {}, {}}, "d"), StoreProblem::TitrantExists},
        {store.SetTiter("KOH", 1.0, "d", ""), StoreProblem::NoTitrant},
        {[&] {
             std::vector<TiterEntry> out;
             return store.TiterHistory("KOH", out);
         }(),
         StoreProblem::NoTitrant},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.status.problem, row.problem);
    }
    std::vector<Titrant> titrants;
    ASSERT_TRUE(store.Titrants(titrants).Ok());
    ASSERT_EQ(titrants.size(), 1u);
    EXPECT_EQ(titrants[0].concentration, 0.1);  // the refused add changed nothing
}

TEST(Store, ADamagedDatabaseIsReportedAndLeftAsItIs) {
    test::TempDir dir;
    const fs::path good = dir / "good.db";
    {
        Store store;
        ASSERT_TRUE(store.Open(good).Ok());
        std::vector<HistoryEntry> many;
        for (int i = 0; i < 400; ++i) {
            many.push_back(Entry(i, i * 0.001));
        }
        ASSERT_TRUE(store.AddResults(many).Ok());
    }
    const std::string bytes = test::ReadBytes(good);
    ASSERT_GT(bytes.size(), 8192u);
    std::string pagesGarbled = bytes;
    for (std::size_t i = 4096; i < pagesGarbled.size(); ++i) {
        pagesGarbled[i] = static_cast<char>(i * 7);
    }
    std::string headerGarbled = bytes;
    headerGarbled.replace(0, 16, "Not a database!!");
    const struct {
        const char* what;
        std::string bytes;
    } table[] = {
        {"text", "Титранты: NaOH 0,1\n"},
        {"header", headerGarbled},
        {"pages", pagesGarbled},
        {"cut short", bytes.substr(0, bytes.size() / 2)},
    };
    for (const auto& row : table) {
        const fs::path path = dir / (std::string(row.what) + ".db");
        test::WriteBytes(path, row.bytes);
        Store store;
        StoreStatus status = store.Open(path);
        std::vector<HistoryEntry> history;
        if (status.Ok()) {
            status = store.History(history);
        }
        EXPECT_EQ(status.problem, StoreProblem::Damaged) << row.what << ": " << status.detail;
        EXPECT_NE(StoreMessage(status, path, MessageStyle::Tool).find("damaged"),
                  std::string::npos);
        EXPECT_EQ(test::ReadBytes(path), row.bytes) << row.what;
    }
}

TEST(Store, AFolderThatCannotBeMadeIsReported) {
    test::TempDir dir;
    test::WriteBytes(dir / "file", "x");
    Store store;
    const StoreStatus status = store.Open(dir / "file" / "kelm.db");
    EXPECT_EQ(status.problem, StoreProblem::CannotCreate);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.AddResults(std::vector{Entry(1, 0.1)}).problem, StoreProblem::NotOpen);
    EXPECT_EQ(Store().Open({}).problem, StoreProblem::CannotCreate);
}

// Another Kelm: a child process holding a write transaction on the
// database for `holdMilliseconds`, with one entry written in it.
pid_t HoldInChild(const fs::path& path, int holdMilliseconds, int readyPipe) {
    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    Store store;
    if (!store.Open(path).Ok()) {
        ::_exit(2);
    }
    SqliteDatabase db;
    if (!db.Open(path, false, 1000).Ok() || !db.Execute("BEGIN IMMEDIATE").Ok() ||
        !db.Execute("INSERT INTO result(date, file, sample, point, volume, result, unit, "
                    "titrant, titer, method) VALUES('d', 'other', '', 9, 1, 1, '', '', 1, '')")
             .Ok()) {
        ::_exit(3);
    }
    const char ready = 'r';
    if (::write(readyPipe, &ready, 1) != 1) {
        ::_exit(4);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(holdMilliseconds));
    ::_exit(db.Execute("COMMIT").Ok() ? 0 : 5);
}

TEST(Store, WritesWhileAnotherKelmHoldsTheDatabase) {
    test::TempDir dir;
    const fs::path path = dir / "kelm.db";
    Store store;
    ASSERT_TRUE(store.Open(path).Ok());
    const struct {
        int holdMilliseconds;
        int waitMilliseconds;
        StoreProblem problem;
    } table[] = {
        {300, 3000, StoreProblem::None},    // our write waits for theirs
        {1500, 200, StoreProblem::Locked},  // it gives up, writing nothing
    };
    std::size_t expected = 0;
    for (const auto& row : table) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = HoldInChild(path, row.holdMilliseconds, pipeEnds[1]);
        char ready = 0;
        ASSERT_EQ(::read(pipeEnds[0], &ready, 1), 1);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);

        Store mine;
        ASSERT_TRUE(mine.Open(path, row.waitMilliseconds).Ok());  // reading is never blocked
        std::vector<Titrant> titrants;
        EXPECT_TRUE(mine.Titrants(titrants).Ok());
        const StoreStatus status = mine.AddResults(std::vector{Entry(1, 0.1), Entry(2, 0.2)});
        EXPECT_EQ(status.problem, row.problem) << status.detail;
        int childStatus = 0;
        ASSERT_EQ(::waitpid(child, &childStatus, 0), child);
        EXPECT_TRUE(WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0);
        expected += 1 + (status.Ok() ? 2 : 0);
        std::vector<HistoryEntry> history;
        ASSERT_TRUE(mine.History(history).Ok());
        EXPECT_EQ(history.size(), expected);
    }
    EXPECT_NE(StoreMessage({StoreProblem::Locked, {}}, path, MessageStyle::Window).find("занята"),
              std::string::npos);
}

TEST(Store, AKillDuringAWriteLosesNoCommittedEntry) {
    test::TempDir dir;
    const fs::path path = dir / "kelm.db";
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> wait(0, 40);
    int reported = 0;  // entries the children said were committed
    for (int run = 0; run < 12; ++run) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            Store store;
            if (!store.Open(path).Ok()) {
                ::_exit(2);
            }
            // Batches of 50 in one transaction each, said once committed.
            for (int batch = 0;; ++batch) {
                std::vector<HistoryEntry> entries;
                for (int i = 0; i < 50; ++i) {
                    entries.push_back(Entry(i, run * 1000 + batch));  // never a repeat
                }
                if (!store.AddResults(entries).Ok()) {
                    ::_exit(3);
                }
                const char done = 'c';
                if (::write(pipeEnds[1], &done, 1) != 1) {
                    ::_exit(4);
                }
            }
        }
        ::close(pipeEnds[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + wait(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "run " << run;
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
            reported += static_cast<int>(n) * 50;
        }
        ::close(pipeEnds[0]);

        Store store;
        ASSERT_TRUE(store.Open(path).Ok()) << "run " << run;
        std::vector<HistoryEntry> history;
        ASSERT_TRUE(store.History(history).Ok());
        // Every committed batch is there, and whole batches only.
        EXPECT_GE(static_cast<int>(history.size()), reported) << "run " << run;
        EXPECT_EQ(history.size() % 50, 0u) << "run " << run;
        reported = static_cast<int>(history.size());
        SqliteDatabase db;
        ASSERT_TRUE(db.Open(path, false, 1000).Ok());
        SqliteStatement check;
        ASSERT_TRUE(db.Prepare("PRAGMA integrity_check", check).Ok());
        SqliteResult result;
        ASSERT_TRUE(check.Step(result));
        EXPECT_EQ(check.ColumnText(0), "ok") << "run " << run;
    }
    EXPECT_GT(reported, 0);
}

}  // namespace
}  // namespace kelm
