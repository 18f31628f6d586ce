// The journal of unsaved titrations: an entry follows every change of the
// record, a save ends it, New and Open leave it for recovery, and nothing a
// damaged folder holds can make it fail or lose another entry.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Journal.h"
#include "core/RecordKeeper.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<SharedState> Record(int points, std::string_view description = "HCl 0,1 M") {
    auto state = std::make_unique<SharedState>();
    NewRecord(*state);
    state->record.pointCount = points;
    for (int i = 0; i < points; ++i) {
        state->record.points[i] = {0.5 * i, 100.0 + i};
    }
    std::copy(description.begin(), description.end(), state->record.description.begin());
    state->record.startTimeKnown = 1;
    state->record.startTime = {2026, 12, 8, 10, 15};
    return state;
}

void SetWritten(const fs::path& file, std::time_t when) {
    fs::last_write_time(
        file, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(when)));
}

int KelFiles(const fs::path& folder) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        n += e.path().extension() == ".kel";
    }
    return n;
}

class JournalTest : public ::testing::Test {
protected:
    test::TempDir dir_;
    fs::path folder_ = dir_ / "journal";
};

TEST_F(JournalTest, EachChangeRewritesOneEntryWhichASaveEnds) {
    Journal journal(folder_);
    auto state = Record(0);
    EXPECT_EQ(journal.Keep(*state), Journal::Write::Skipped);
    EXPECT_FALSE(fs::exists(folder_));

    state->record.pointCount = 1;
    ASSERT_EQ(journal.Keep(*state), Journal::Write::Written);
    const fs::path entry = journal.CurrentEntry();
    EXPECT_EQ(entry.parent_path(), folder_);
    state->record.pointCount = 2;
    ASSERT_EQ(journal.Keep(*state), Journal::Write::Written);
    EXPECT_EQ(journal.CurrentEntry(), entry);
    EXPECT_EQ(test::ReadBytes(entry), SaveRecord(*state));
    EXPECT_EQ(KelFiles(folder_), 1);

    journal.EndSaved();
    EXPECT_FALSE(journal.HasCurrentEntry());
    EXPECT_EQ(KelFiles(folder_), 0);
}

TEST_F(JournalTest, ARecordReplacedStaysForRecoveryAndTheNextOneGetsItsOwnEntry) {
    Journal journal(folder_);
    ASSERT_EQ(journal.Keep(*Record(3, "первая")), Journal::Write::Written);
    const fs::path first = journal.CurrentEntry();
    // The entry being written is not offered, not even by another journal.
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_TRUE(Journal(folder_).Entries().empty());

    journal.EndReplaced();  // New or Open
    SetWritten(first, std::time(nullptr) - 60);
    ASSERT_EQ(journal.Keep(*Record(5, "вторая")), Journal::Write::Written);
    EXPECT_NE(journal.CurrentEntry(), first);
    journal.EndReplaced();  // exit, or a crash

    const std::vector<JournalEntry> entries = Journal(folder_).Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].pointCount, 5);  // newest first
    EXPECT_EQ(entries[0].description, "вторая");
    EXPECT_EQ(entries[1].file, first);
    EXPECT_EQ(entries[1].pointCount, 3);
    EXPECT_TRUE(entries[1].startTimeKnown);
    EXPECT_EQ(entries[1].startTime.hour, 10);
}

TEST_F(JournalTest, ARecoveredEntryGoesOnAndASaveRemovesIt) {
    {
        Journal before(folder_);
        before.Keep(*Record(4));
    }  // the program ended with the entry unsaved
    Journal journal(folder_);
    const std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(entries.size(), 1u);
    journal.Adopt(entries[0].file);
    EXPECT_TRUE(journal.Entries().empty());
    ASSERT_EQ(journal.Keep(*Record(6)), Journal::Write::Written);
    EXPECT_EQ(journal.CurrentEntry(), entries[0].file);
    EXPECT_EQ(KelFiles(folder_), 1);
    journal.EndSaved();
    EXPECT_EQ(KelFiles(folder_), 0);
}

TEST_F(JournalTest, PruningKeepsTheNewestFiftyOfTheLastThirtyDays) {
    fs::create_directories(folder_);
    const std::time_t now = std::time(nullptr);
    const std::string bytes = SaveRecord(*Record(2));
    for (int i = 0; i < 55; ++i) {
        const fs::path file = folder_ / ("entry-" + std::to_string(i) + ".kel");
        test::WriteBytes(file, bytes);
        SetWritten(file, now - 3600 * i);  // entry-0 newest
    }
    const fs::path old = folder_ / "old.kel";
    test::WriteBytes(old, bytes);
    SetWritten(old, now - 31 * 24 * 3600);
    const fs::path month = folder_ / "month.kel";  // 29 days: young enough, but 51st
    test::WriteBytes(month, bytes);
    SetWritten(month, now - 29 * 24 * 3600);
    const fs::path stale = folder_ / "x.kel.0123456789abcdef.tmp";  // a writer killed mid-write
    test::WriteBytes(stale, "half");
    SetWritten(stale, now - 3600);

    Journal(folder_).Prune(now);
    EXPECT_EQ(KelFiles(folder_), kJournalMaxEntries);
    EXPECT_TRUE(fs::exists(folder_ / "entry-49.kel"));
    EXPECT_FALSE(fs::exists(folder_ / "entry-50.kel"));
    EXPECT_FALSE(fs::exists(old));
    EXPECT_FALSE(fs::exists(month));
    EXPECT_FALSE(fs::exists(stale));
}

TEST_F(JournalTest, PruningNeverTakesTheEntryAnotherProgramWrites) {
    Journal other(folder_);
    ASSERT_EQ(other.Keep(*Record(2)), Journal::Write::Written);
    SetWritten(other.CurrentEntry(), std::time(nullptr) - 40 * 24 * 3600);
    Journal(folder_).Prune(std::time(nullptr));
    EXPECT_TRUE(fs::exists(other.CurrentEntry()));
}

TEST_F(JournalTest, DamagedFilesArePassedOverAndHurtNoOtherEntry) {
    Journal writer(folder_);
    ASSERT_EQ(writer.Keep(*Record(3)), Journal::Write::Written);
    writer.EndReplaced();
    const std::string whole = SaveRecord(*Record(7));
    test::WriteBytes(folder_ / "cut.kel", whole.substr(0, whole.size() / 2));
    test::WriteBytes(folder_ / "noise.kel", std::string(5000, '\x1D'));
    test::WriteBytes(folder_ / "empty.kel", "");
    test::WriteBytes(folder_ / "none.kel", SaveRecord(*Record(0)));  // nothing to recover
    fs::create_directories(folder_ / "folder.kel");
    test::WriteBytes(folder_ / "huge.kel", std::string(2 << 20, '0'));

    const std::vector<JournalEntry> entries = Journal(folder_).Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].pointCount, 3);
}

TEST_F(JournalTest, AFolderThatCannotBeMadeFailsEveryWriteAndNothingElse) {
    test::WriteBytes(dir_ / "file", "a file where the folder should be");
    Journal journal(dir_ / "file" / "journal");
    EXPECT_EQ(journal.Keep(*Record(2)), Journal::Write::Failed);
    EXPECT_EQ(journal.Keep(*Record(3)), Journal::Write::Failed);
    EXPECT_TRUE(journal.Entries().empty());
    journal.Prune(std::time(nullptr));
    journal.EndSaved();
    EXPECT_EQ(Journal({}).Keep(*Record(2)), Journal::Write::Failed);
}

TEST_F(JournalTest, TheKeeperWritesAfterEveryChangeAndTellsTroubleOnceEachWay) {
    test::WriteBytes(dir_ / "blocked", "");
    Journal blocked(dir_ / "blocked" / "journal");
    auto state = Record(0);
    RecordKeeper keeper(*state, blocked);
    std::vector<bool> told;
    int opened = 0;
    keeper.onTrouble = [&](bool failing) { told.push_back(failing); };
    keeper.onEntryOpened = [&] { ++opened; };
    RecordChanged(*state);  // no point yet: nothing to keep, nothing to tell
    for (int i = 1; i <= 3; ++i) {
        state->record.pointCount = i;
        RecordChanged(*state);
    }
    EXPECT_EQ(told, std::vector<bool>{true});
    EXPECT_TRUE(keeper.Failing());

    // The disk comes back (here: the folder does): the next change is kept.
    fs::remove(dir_ / "blocked");
    RecordChanged(*state);
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    EXPECT_EQ(opened, 1);
    state->record.pointCount = 4;
    RecordChanged(*state);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(test::ReadBytes(blocked.CurrentEntry()), SaveRecord(*state));
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(JournalFolder, FollowsTheStateHomeElseTheHome) {
    ScopedEnv home("HOME", "/home/chemist");
    {
        ScopedEnv state("XDG_STATE_HOME", "/tmp/state");
        EXPECT_EQ(DefaultJournalFolder(), fs::path("/tmp/state/kelm/journal"));
    }
    ScopedEnv state("XDG_STATE_HOME", "");
    EXPECT_EQ(DefaultJournalFolder(), fs::path("/home/chemist/.local/state/kelm/journal"));
}

}  // namespace
}  // namespace kelm
