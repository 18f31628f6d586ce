// No recorded point is ever lost: the program records a titration and is
// killed with SIGKILL at random moments, some of them in the middle of a
// journal write; every restart must offer a whole record holding every row
// that was on screen before the kill.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/Journal.h"
#include "support/TempDir.h"

extern char** environ;

namespace kelm {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& file) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : test::ReadBytes(file)) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;  // a line cut by the kill has no end and is left out
}

int TemporaryFiles(const fs::path& folder) {
    int n = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        n += it->path().extension() == ".tmp";
    }
    return n;
}

pid_t StartChild(const fs::path& folder, const fs::path& journal) {
    const std::string program = KELM_RECORDING_CHILD;
    const std::string a = folder.string();
    const std::string b = journal.string();
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(a.c_str()),
                    const_cast<char*>(b.c_str()), nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0 ? pid : -1;
}

TEST(JournalCrash, EveryRestartOffersEveryPointOnScreenBeforeTheKill) {
    test::TempDir dir;
    const fs::path journal = dir / "journal";
    // The child's profile stays in the test folder too.
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    // And the socket and lock of each killed child, which would stay behind.
    const fs::path runtime = dir / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> wait(0, 120);  // ms after start-up settled

    std::vector<std::string> onScreen;  // every row listed before the last kill
    int runs = 0;
    int killedMidWrite = 0;
    int biggest = 0;
    // At least 20 runs, and on until the kill has landed in a write three
    // times (a write is about a sixth of the child's time).
    while (runs < 20 || (killedMidWrite < 3 && runs < 200)) {
        ++runs;
        fs::remove(dir / "recovered");
        fs::remove(dir / "screen");
        const int temporariesBefore = TemporaryFiles(journal);
        const pid_t child = StartChild(dir.path(), journal);
        ASSERT_GT(child, 0);
        // Start-up is over once the recovered rows are written out.
        for (int i = 0; i < 1000 && !fs::exists(dir / "recovered"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(fs::exists(dir / "recovered")) << "run " << runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(wait(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "run " << runs;

        // What this run found at start: the rows of the run before, whole; a
        // point journaled in the instant before its row was logged may follow.
        const std::vector<std::string> recovered = Lines(dir / "recovered");
        ASSERT_GE(recovered.size(), onScreen.size()) << "run " << runs;
        ASSERT_LE(recovered.size(), onScreen.size() + 1) << "run " << runs;
        EXPECT_TRUE(std::equal(onScreen.begin(), onScreen.end(), recovered.begin()))
            << "run " << runs;

        onScreen = recovered;
        for (const std::string& row : Lines(dir / "screen")) {
            onScreen.push_back(row);
        }
        biggest = std::max(biggest, int(onScreen.size()));
        killedMidWrite += TemporaryFiles(journal) > temporariesBefore;

        // Never a damaged entry, and never more than the one record.
        const std::vector<JournalEntry> entries = Journal(journal).Entries();
        ASSERT_LE(entries.size(), 1u) << "run " << runs;
        if (!onScreen.empty()) {
            ASSERT_EQ(entries.size(), 1u) << "run " << runs;
            EXPECT_GE(entries[0].pointCount, int(onScreen.size())) << "run " << runs;
        }
        // A record near the limit of points: start a fresh one.
        if (onScreen.size() > 200) {
            fs::remove_all(journal);
            onScreen.clear();
        }
    }
    EXPECT_GE(killedMidWrite, 3) << "runs: " << runs;
    EXPECT_GT(biggest, 20);  // the runs recorded real titrations
    std::printf("%d runs, %d killed in the middle of a journal write, up to %d rows\n", runs,
                killedMidWrite, biggest);
}

}  // namespace
}  // namespace kelm
