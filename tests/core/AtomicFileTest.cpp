#include <gtest/gtest.h>

#include "core/AtomicFile.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(AtomicFile, WritesNewFilesAndReplacesOldOnes) {
    TempDir dir;
    EXPECT_TRUE(WriteFileAtomically(dir / "a.kel", "first"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "first");
    EXPECT_TRUE(WriteFileAtomically(dir / "a.kel", std::string_view("x\0y", 3)));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), std::string("x\0y", 3));
    EXPECT_FALSE(std::filesystem::exists(dir / "a.kel.tmp"));
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    WriteBytes(dir / "a.kel", "old");
    // The temporary file cannot be created.
    std::filesystem::create_directory(dir / "a.kel.tmp");
    EXPECT_FALSE(WriteFileAtomically(dir / "a.kel", "new"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "old");

    // The rename cannot replace a folder; no temporary file is left behind.
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(WriteFileAtomically(dir / "folder", "new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_FALSE(std::filesystem::exists(dir / "folder.tmp"));

    // The parent is a regular file.
    EXPECT_FALSE(WriteFileAtomically(dir / "a.kel" / "b.kel", "new"));
    EXPECT_EQ(ReadBytes(dir / "a.kel"), "old");
}

}  // namespace
}  // namespace kelm
