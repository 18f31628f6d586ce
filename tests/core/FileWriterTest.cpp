// The one writer, on what may stand at an output path: nothing, a file, a
// symbolic link, a private or shared file, a hard-linked file, a device, a
// FIFO, a folder, a write-protected file; and a write that fails half-way.
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "core/FileWriter.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// The names in a folder, sorted.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat Stat(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

mode_t Mode(const fs::path& path) {
    return Stat(path).st_mode & 07777;
}

bool Written(const fs::path& path, std::string_view bytes) {
    return WriteWholeFile(path, bytes).Written();
}

TEST(FileWriter, WritesNewFilesAndReplacesOldOnes) {
    TempDir dir;
    const mode_t umaskBefore = ::umask(022);
    EXPECT_TRUE(Written(dir / "a.kel", "first"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "first");
    EXPECT_EQ(Mode(dir / "a.kel"), 0644u);  // a new file as the umask says
    ::umask(umaskBefore);
    EXPECT_TRUE(Written(dir / "a.kel", std::string_view("x\0y", 3)));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), std::string("x\0y", 3));
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.kel"});  // no temporary file left
}

TEST(FileWriter, WritersNeverShareATemporaryFile) {
    TempDir dir;
    // A leftover of a crashed writer, or another writer's file of the old
    // fixed name, is neither used nor disturbed.
    WriteBytes(dir / "a.kel.tmp", "another writer");
    EXPECT_TRUE(Written(dir / "a.kel", "mine"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "mine");
    EXPECT_EQ(ReadBytes(dir / "a.kel.tmp"), "another writer");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.kel", "a.kel.tmp"}));
}

TEST(FileWriter, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    WriteBytes(dir / "a.kel", "old");
    // The temporary file cannot be created: the name fits, the longer
    // temporary name beside it does not.
    const std::string longName(240, 'n');
    WriteBytes(dir / longName, "old");
    EXPECT_EQ(WriteWholeFile(dir / longName, "new").status, WriteStatus::Failed);
    EXPECT_EQ(ReadBytes(dir / longName), "old");
    fs::remove(dir / longName);
    // Nor when its folder does not exist.
    EXPECT_EQ(WriteWholeFile(dir / "missing" / "a.kel", "new").status, WriteStatus::Failed);
    EXPECT_FALSE(fs::exists(dir / "missing"));
    // The parent is a regular file.
    EXPECT_EQ(WriteWholeFile(dir / "a.kel" / "b.kel", "new").status, WriteStatus::Failed);
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "old");

    // The disk fills up half-way (a file size limit stands in for it): the
    // old file is whole and the temporary file is gone.
    const std::string big(1 << 20, 'b');
    const int status = test::InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const WriteResult result = WriteWholeFile(dir / "a.kel", big);
        return result.status == WriteStatus::Failed && result.error.value() == EFBIG ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "old");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.kel"});
}

TEST(FileWriter, ASymbolicLinkStaysAndItsTargetGetsTheContent) {
    TempDir dir;
    fs::create_directory(dir / "data");
    WriteBytes(dir / "data" / "real.kel", "old");
    fs::create_symlink("data/real.kel", dir / "link.kel");    // relative to its folder
    fs::create_symlink(dir / "link.kel", dir / "chain.kel");  // a link to a link
    fs::create_symlink("data/later.kel", dir / "dangling.kel");
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");

    EXPECT_TRUE(Written(dir / "link.kel", "one"));
    EXPECT_TRUE(Written(dir / "chain.kel", "two"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.kel"));
    EXPECT_TRUE(fs::is_symlink(dir / "chain.kel"));
    EXPECT_EQ(ReadBytes(dir / "data" / "real.kel"), "two");

    // A link to nothing yet: the file it names is made.
    EXPECT_TRUE(Written(dir / "dangling.kel", "three"));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.kel"));
    EXPECT_EQ(ReadBytes(dir / "data" / "later.kel"), "three");

    const WriteResult loop = WriteWholeFile(dir / "loop-a", "x");
    EXPECT_EQ(loop.status, WriteStatus::Failed);
    EXPECT_EQ(loop.error.value(), ELOOP);
    EXPECT_EQ(Names(dir / "data"), (std::vector<std::string>{"later.kel", "real.kel"}));
}

TEST(FileWriter, AReplacedFileKeepsItsPermissionsOwnerAndGroup) {
    TempDir dir;
    for (const mode_t mode : {0600, 0640, 0664, 0755, 0400}) {
        WriteBytes(dir / "a.kel", "old");
        ASSERT_EQ(::chmod((dir / "a.kel").c_str(), mode), 0);
        const WriteResult result = WriteWholeFile(dir / "a.kel", "new");
        if (mode == 0400 && ::geteuid() != 0) {
            EXPECT_EQ(result.status, WriteStatus::WriteProtected);
            continue;
        }
        EXPECT_TRUE(result.Written()) << std::oct << mode;
        EXPECT_EQ(ReadBytes(dir / "a.kel"), "new");
        EXPECT_EQ(Mode(dir / "a.kel"), mode) << std::oct << mode;
    }
    if (::geteuid() != 0) {
        return;  // only root may give a file to another user
    }
    ASSERT_EQ(::chown((dir / "a.kel").c_str(), 1234, 5678), 0);
    ASSERT_TRUE(Written(dir / "a.kel", "theirs"));
    EXPECT_EQ(Stat(dir / "a.kel").st_uid, 1234u);
    EXPECT_EQ(Stat(dir / "a.kel").st_gid, 5678u);

    // A user who may not give the new file the old one's group (nobody is not
    // in group 5678): that group's permissions are not handed on to his own.
    fs::create_directory(dir / "theirs");
    WriteBytes(dir / "theirs" / "b.kel", "old");
    ::chmod((dir / "theirs" / "b.kel").c_str(), 0664);
    ASSERT_EQ(::chown((dir / "theirs" / "b.kel").c_str(), 65534, 5678), 0);
    EXPECT_EQ(test::AsOrdinaryUser(dir / "theirs",
                                   [](const fs::path& folder) {
                                       return WriteWholeFile(folder / "b.kel", "new").Written() ? 0
                                                                                                : 1;
                                   }),
              0);
    EXPECT_EQ(ReadBytes(dir / "theirs" / "b.kel"), "new");
    EXPECT_EQ(Mode(dir / "theirs" / "b.kel"), 0604u);
    EXPECT_NE(Stat(dir / "theirs" / "b.kel").st_gid, 5678u);
}

TEST(FileWriter, AHardLinkedFileIsReplacedUnderThisNameOnly) {
    TempDir dir;
    WriteBytes(dir / "a.kel", "old");
    fs::create_hard_link(dir / "a.kel", dir / "copy.kel");
    ASSERT_TRUE(Written(dir / "a.kel", "new"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "new");
    EXPECT_EQ(ReadBytes(dir / "copy.kel"), "old");  // the other name keeps the old file whole
    EXPECT_EQ(fs::hard_link_count(dir / "copy.kel"), 1u);
}

TEST(FileWriter, ADeviceIsWrittenStraightIntoAndStaysADevice) {
    TempDir dir;
    // As root, a device node of our own (the null device); otherwise the
    // system's.
    fs::path null = "/dev/null";
    if (::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        null = dir / "null";
    }
    EXPECT_TRUE(Written(null, "anything"));
    EXPECT_TRUE(S_ISCHR(Stat(null).st_mode));
    EXPECT_FALSE(fs::exists(dir / "null.tmp"));

    // A full device: the failure and its reason; the device is still there.
    const WriteResult full = WriteWholeFile("/dev/full", "bytes");
    EXPECT_EQ(full.status, WriteStatus::StreamFailed);
    EXPECT_EQ(full.error.value(), ENOSPC);
    EXPECT_TRUE(S_ISCHR(Stat("/dev/full").st_mode));
}

TEST(FileWriter, AFifoIsWrittenWhileSomeoneReadsAndRefusedOtherwise) {
    TempDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads: refused at once instead of waiting for ever.
    EXPECT_EQ(WriteWholeFile(fifo, "x").status, WriteStatus::NoReader);

    // A reader takes every byte, more than a pipe holds at once.
    const std::string bytes(300000, 'k');
    std::string received;
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ::fcntl(reader, F_SETFL, 0);
    // A FIFO reads as ended while no writer has it open, before the write as
    // after it: the drain ends once the writer is done and nothing is left.
    std::atomic<bool> writerDone = false;
    std::thread drain([&] {
        char chunk[4096];
        for (;;) {
            const bool done = writerDone;
            const ::ssize_t n = ::read(reader, chunk, sizeof chunk);
            if (n > 0) {
                received.append(chunk, static_cast<std::size_t>(n));
            } else if (done) {
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    });
    EXPECT_TRUE(Written(fifo, bytes));
    writerDone = true;
    drain.join();
    ::close(reader);
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(S_ISFIFO(Stat(fifo).st_mode));

    // A reader that leaves without reading: the write fails, the program
    // goes on (no broken-pipe signal ends it).
    const int leaver = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(leaver, 0);
    std::thread leave([&] {
        // Leaves once the writer has begun: its first bytes are waiting.
        pollfd waiting{leaver, POLLIN, 0};
        while (::poll(&waiting, 1, 10'000) == 0 || (waiting.revents & POLLIN) == 0) {
            waiting.revents = 0;
        }
        ::close(leaver);
    });
    const WriteResult broken = WriteWholeFile(fifo, bytes);
    leave.join();
    EXPECT_EQ(broken.status, WriteStatus::StreamFailed);
    EXPECT_EQ(broken.error.value(), EPIPE);
}

TEST(FileWriter, AFolderAndAWriteProtectedFileAreRefused) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    EXPECT_EQ(WriteWholeFile(dir / "folder", "x").status, WriteStatus::Folder);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"folder"});

    // A file its user may not write, in a folder he may: replacing it would
    // undo the protection. (Root may write anything, so the check runs as
    // an ordinary user.)
    const int status = test::AsOrdinaryUser(dir / "folder", [&](const fs::path& folder) {
        WriteBytes(folder / "kept.kel", "protected");
        ::chmod((folder / "kept.kel").c_str(), 0444);
        const WriteResult result = WriteWholeFile(folder / "kept.kel", "new");
        return result.status == WriteStatus::WriteProtected &&
                       ReadBytes(folder / "kept.kel") == "protected"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace kelm
