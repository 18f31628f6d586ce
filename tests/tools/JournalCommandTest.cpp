// kelmtool journal: what the window would offer, listed and written out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "core/Cp1251.h"
#include "core/Journal.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using ::testing::HasSubstr;

class JournalCommand : public ::testing::Test {
protected:
    JournalCommand() {
        // Two programs that ended without saving, a minute apart.
        for (int points : {3, 8}) {
            Journal journal(folder_);
            auto state = std::make_unique<SharedState>();
            NewRecord(*state);
            state->record.pointCount = points;
            for (int i = 0; i < points; ++i) {
                state->record.points[i] = {1.5 * i, 7.0 + 0.125 * i};
            }
            const std::string description = Utf8ToCp1251("Проба\t№" + std::to_string(points));
            std::copy(description.begin(), description.end(), state->record.description.begin());
            EXPECT_EQ(journal.Keep(*state), Journal::Write::Written);
            std::filesystem::last_write_time(
                journal.CurrentEntry(),
                std::chrono::file_clock::now() - std::chrono::minutes(points == 3 ? 2 : 1));
        }
    }
    test::ToolOutcome Run(std::vector<std::string> words) {
        words.push_back("--folder");
        words.push_back(folder_.string());
        return test::RunTool(KELMTOOL_PATH, words, dir_.path());
    }

    test::TempDir dir_;
    std::filesystem::path folder_ = dir_ / "journal";
};

TEST_F(JournalCommand, ListsTheEntriesNewestFirstOnOneLineEach) {
    const test::ToolOutcome o = Run({"journal"});
    ASSERT_EQ(o.status, 0) << o.err;
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> v;
        std::string line;
        for (char c : o.out) {
            if (c == '\n') {
                v.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        return v;
    }();
    ASSERT_EQ(lines.size(), 2u) << o.out;
    EXPECT_THAT(lines[0], ::testing::StartsWith("1\t"));
    EXPECT_THAT(lines[0], HasSubstr("\t8\tПроба №8\t" + folder_.string()));
    EXPECT_THAT(lines[1], HasSubstr("\t3\tПроба №3\t"));
}

TEST_F(JournalCommand, RestoresOneEntryAsAResultFile) {
    const std::string out = (dir_ / "restored.kel").string();
    const test::ToolOutcome o = Run({"journal", "restore", "2", "-o", out});
    ASSERT_EQ(o.status, 0) << o.err;
    SharedState state;
    ASSERT_EQ(LoadRecord(state, test::ReadBytes(out)), LoadStatus::Loaded);
    EXPECT_EQ(state.record.pointCount, 3);
    EXPECT_DOUBLE_EQ(state.record.points[2].value, 7.25);
}

TEST_F(JournalCommand, RefusesWhatItCannotDo) {
    const test::ToolOutcome missing = Run({"journal", "restore", "3", "-o", "x.kel"});
    EXPECT_EQ(missing.status, 65);
    EXPECT_THAT(missing.err, HasSubstr("no entry 3 (it holds 2)"));
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"journal", "restore", "1"},
          std::vector<std::string>{"journal", "remove", "1"},
          std::vector<std::string>{"journal", "-o", "x.kel"}}) {
        EXPECT_EQ(Run(words).status, 64) << words[1];
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x.kel"));
}

}  // namespace
}  // namespace kelm
