// The one reader, on what a path may name: a file, nothing, a folder, a
// device that never ends, a FIFO nobody writes, a file of gigabytes.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "core/FileReader.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

// What the reader says of `path`, read in a child process, and the most
// memory (kB) the child had: a reader that took a huge input in would show.
struct ChildRead {
    int status = -1;  // the ReadStatus, or -1 when the child did not end well
    long peakKilobytes = 0;
};

ChildRead ReadInChild(const fs::path& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(static_cast<int>(ReadWholeFile(path).status));
    }
    int status = 0;
    rusage usage{};
    ChildRead result;
    if (::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
        result.peakKilobytes = usage.ru_maxrss;
    }
    return result;
}

long OwnPeakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(FileReader, ReadsARegularFileWholeThroughALink) {
    TempDir dir;
    const std::string bytes(
        "text\0\x1D"
        "data",
        10);
    WriteBytes(dir / "a.kel", bytes);
    fs::create_symlink("a.kel", dir / "link.kel");
    for (const char* name : {"a.kel", "link.kel"}) {
        const ReadResult read = ReadWholeFile(dir / name);
        EXPECT_EQ(read.status, ReadStatus::Read) << name;
        EXPECT_EQ(read.bytes, bytes) << name;
    }
    WriteBytes(dir / "empty.kel", "");
    EXPECT_EQ(ReadWholeFile(dir / "empty.kel").status, ReadStatus::Read);
}

TEST(FileReader, RefusesWhatIsNotARegularFileWithoutOpeningIt) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);  // nobody writes: opening would wait
    const struct {
        fs::path path;
        ReadStatus status;
    } cases[] = {
        {dir / "missing.kel", ReadStatus::CannotOpen},
        {dir / "folder", ReadStatus::Folder},
        {dir / "pipe", ReadStatus::NotAFile},
        {"/dev/zero", ReadStatus::NotAFile},  // never ends
        {"/dev/null", ReadStatus::NotAFile},
    };
    for (const auto& c : cases) {
        const ReadResult read = ReadWholeFile(c.path);
        EXPECT_EQ(read.status, c.status) << c.path;
        EXPECT_TRUE(read.bytes.empty()) << c.path;
    }
    EXPECT_EQ(ReadWholeFile(dir / "missing.kel").error, std::errc::no_such_file_or_directory);
}

TEST(FileReader, RefusesAHugeFileByItsSizeAlone) {
    TempDir dir;
    // 3 GB that take no disk: a reader that read it would need 3 GB of memory.
    const fs::path huge = dir / "huge.kel";
    WriteBytes(huge, "");
    fs::resize_file(huge, std::uintmax_t{3} << 30);
    const long before = OwnPeakKilobytes();
    for (const fs::path& path : {huge, fs::path("/dev/zero")}) {
        const ChildRead read = ReadInChild(path);
        EXPECT_NE(read.status, static_cast<int>(ReadStatus::Read)) << path;
        EXPECT_LT(read.peakKilobytes, before + 64 * 1024) << path;  // well under 64 MB more
    }
    EXPECT_EQ(ReadWholeFile(huge).status, ReadStatus::TooLarge);

    // The limit itself: one byte more is refused.
    WriteBytes(dir / "limit.kel", std::string(kMaxInputFileSize, 'x'));
    EXPECT_EQ(ReadWholeFile(dir / "limit.kel").status, ReadStatus::Read);
    EXPECT_EQ(ReadWholeFile(dir / "limit.kel", kMaxInputFileSize - 1).status, ReadStatus::TooLarge);
}

TEST(FileReader, AFileItsUserMayNotReadCannotBeOpened) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    const int status = test::AsOrdinaryUser(dir / "folder", [](const fs::path& folder) {
        WriteBytes(folder / "secret.kel", "x");
        ::chmod((folder / "secret.kel").c_str(), 0);
        const ReadResult read = ReadWholeFile(folder / "secret.kel");
        return read.status == ReadStatus::CannotOpen && read.error == std::errc::permission_denied
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace kelm
