// kelmtool on hostile paths, as a careful user or a script tries them: inputs
// that are not result files, and outputs where something already stands.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class KelmtoolPaths : public ::testing::Test {
protected:
    KelmtoolPaths() {
        SharedState s;
        NewRecord(s);
        s.record.pointCount = 2;
        s.record.points[0] = {1.0, 250.0};
        s.record.points[1] = {2.0, 300.0};
        record = SaveRecord(s);
        WriteBytes(dir / "in.kel", record);
    }
    test::ToolOutcome Run(std::initializer_list<std::string> words) {
        return test::RunTool(KELMTOOL_PATH, words, dir.path());
    }
    std::string Path(std::string_view name) const { return (dir / name).string(); }

    TempDir dir;
    std::string record;
};

mode_t Mode(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode;
}

TEST_F(KelmtoolPaths, EveryCommandRefusesAnInputThatIsNotAFile) {
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);  // nobody writes into it
    WriteBytes(dir / "huge.kel", "");
    fs::resize_file(dir / "huge.kel", std::uintmax_t{3} << 30);  // 3 GB, sparse
    const struct {
        std::string path;
        std::string reason;
    } inputs[] = {
        {Path("folder"), "is a directory"},
        {"/dev/zero", "not a regular file"},
        {Path("pipe"), "not a regular file"},
        {Path("huge.kel"), "larger than 4 MiB"},
    };
    for (const auto& input : inputs) {
        const std::initializer_list<std::string> commands[] = {
            {"show", input.path},
            {"convert", input.path, "-o", Path("out.kel")},
            {"process", input.path, "-o", Path("out.kel")},
            {"report", input.path, "--curve-points"},
            {"render", input.path, "-o", Path("out.png")},
            {"import", input.path, "-o", Path("out.kel"), "--quantity", "ph"},
        };
        for (const auto& words : commands) {
            const test::ToolOutcome o = Run(words);
            EXPECT_EQ(o.status, 74) << *words.begin() << ' ' << input.path << '\n' << o.err;
            EXPECT_THAT(o.err,
                        StartsWith("kelmtool: cannot read " + input.path + ": " + input.reason))
                << *words.begin();
            EXPECT_EQ(o.out, "");
        }
        EXPECT_FALSE(fs::exists(dir / "out.kel"));
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
}

TEST_F(KelmtoolPaths, AnOutputKeepsWhatStandsAtItsPath) {
    // A symbolic link: the link stays, its target gets the record.
    fs::create_directory(dir / "store");
    WriteBytes(dir / "store" / "real.kel", "old");
    fs::create_symlink("store/real.kel", dir / "link.kel");
    ASSERT_EQ(Run({"convert", Path("in.kel"), "-o", Path("link.kel")}).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.kel"));
    EXPECT_EQ(ReadBytes(dir / "store" / "real.kel"), record);

    // A private file stays private; a group's file stays the group's.
    for (const mode_t mode : {0600, 0640}) {
        WriteBytes(dir / "private.kel", "old");
        ASSERT_EQ(::chmod(Path("private.kel").c_str(), mode), 0);
        ASSERT_EQ(Run({"convert", Path("in.kel"), "-o", Path("private.kel")}).status, 0);
        EXPECT_EQ(Mode(dir / "private.kel") & 07777, mode);
        EXPECT_EQ(ReadBytes(dir / "private.kel"), record);
    }

    // A hard-linked file: this name gets the record, the other keeps the old.
    WriteBytes(dir / "shared.kel", "old");
    fs::create_hard_link(dir / "shared.kel", dir / "other-name.kel");
    ASSERT_EQ(Run({"convert", Path("in.kel"), "-o", Path("shared.kel")}).status, 0);
    EXPECT_EQ(ReadBytes(dir / "shared.kel"), record);
    EXPECT_EQ(ReadBytes(dir / "other-name.kel"), "old");
}

TEST_F(KelmtoolPaths, ADeviceOrAFifoAsOutputIsWrittenIntoOrRefusedButNeverReplaced) {
    // A device node: written into, still a device (as root, a node of our own).
    std::string null = "/dev/null";
    if (::mknod(Path("n").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        null = Path("n");
    }
    test::ToolOutcome o = Run({"convert", Path("in.kel"), "-o", null});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(S_ISCHR(Mode(null)));

    o = Run({"convert", Path("in.kel"), "-o", "/dev/full"});
    EXPECT_EQ(o.status, 74);
    EXPECT_EQ(o.err, "kelmtool: cannot write /dev/full: No space left on device\n");
    EXPECT_TRUE(S_ISCHR(Mode("/dev/full")));

    // A FIFO nobody reads: refused at once, not waited on.
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    o = Run({"convert", Path("in.kel"), "-o", Path("pipe")});
    EXPECT_EQ(o.status, 74);
    EXPECT_THAT(o.err, HasSubstr("no program reads from this FIFO"));
    EXPECT_TRUE(S_ISFIFO(Mode(dir / "pipe")));

    // A folder.
    fs::create_directory(dir / "folder");
    o = Run({"convert", Path("in.kel"), "-o", Path("folder")});
    EXPECT_EQ(o.status, 74);
    EXPECT_EQ(o.err, "kelmtool: cannot write " + Path("folder") + ": is a directory\n");
}

}  // namespace
}  // namespace kelm
