#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/AtomicFile.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

// The names in a folder, sorted.
std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(AtomicFile, WritesNewFilesAndReplacesOldOnes) {
    TempDir dir;
    EXPECT_TRUE(WriteFileAtomically(dir / "a.kel", "first"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "first");
    EXPECT_TRUE(WriteFileAtomically(dir / "a.kel", std::string_view("x\0y", 3)));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), std::string("x\0y", 3));
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.kel"});  // no temporary file left
}

TEST(AtomicFile, WritersNeverShareATemporaryFile) {
    TempDir dir;
    // A leftover of a crashed writer, or another writer's file of the old
    // fixed name, is neither used nor disturbed.
    WriteBytes(dir / "a.kel.tmp", "another writer");
    EXPECT_TRUE(WriteFileAtomically(dir / "a.kel", "mine"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "mine");
    EXPECT_EQ(ReadBytes(dir / "a.kel.tmp"), "another writer");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.kel", "a.kel.tmp"}));
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    WriteBytes(dir / "a.kel", "old");
    // The temporary file cannot be created: the name fits, the longer
    // temporary name beside it does not.
    const std::string longName(240, 'n');
    WriteBytes(dir / longName, "old");
    EXPECT_FALSE(WriteFileAtomically(dir / longName, "new"));
    EXPECT_EQ(ReadBytes(dir / longName), "old");
    std::filesystem::remove(dir / longName);
    // Nor when its folder does not exist.
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "a.kel", "new"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // The rename cannot replace a folder; no temporary file is left behind.
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(WriteFileAtomically(dir / "folder", "new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.kel", "folder"}));

    // The parent is a regular file.
    EXPECT_FALSE(WriteFileAtomically(dir / "a.kel" / "b.kel", "new"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "old");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a.kel", "folder"}));
}

}  // namespace
}  // namespace kelm
