// A result file on disk as the window and kelmtool take it: every failure
// worded for each, and a failure never touches the record in memory.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/LastResort.h"
#include "core/RecordFile.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

SharedState Record(int points) {
    SharedState s;
    NewRecord(s);
    s.record.pointCount = points;
    for (int i = 0; i < points; ++i) {
        s.record.points[i] = {0.5 * i, 100.0 + i};
    }
    return s;
}

TEST(RecordFile, EveryFailureIsWordedForTheWindowAndForTheTool) {
    TempDir dir;
    const std::string whole = SaveRecord(Record(3));
    WriteBytes(dir / "zero.kel", std::string("text\0\x1D", 6));
    WriteBytes(dir / "cut.kel", whole.substr(0, whole.size() - 5));
    WriteBytes(dir / "huge.kel", "");
    fs::resize_file(dir / "huge.kel", kMaxInputFileSize + 1);
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const std::string d = dir.path().string() + "/";
    const struct {
        std::string name;
        RecordFileStatus status;
        std::string window;
        std::string tool;
    } cases[] = {
        {"missing.kel", RecordFileStatus::NotRead,
         "Не удалось открыть файл «" + d + "missing.kel».",
         "cannot read " + d + "missing.kel: No such file or directory"},
        {"folder", RecordFileStatus::NotRead,
         "Не удалось открыть файл «" + d + "folder»: это папка.",
         "cannot read " + d + "folder: is a directory"},
        {"pipe", RecordFileStatus::NotRead,
         "Не удалось открыть файл «" + d + "pipe»: это не файл, а устройство или канал.",
         "cannot read " + d + "pipe: not a regular file (a device, a FIFO or a socket)"},
        {"huge.kel", RecordFileStatus::NotRead,
         "Не удалось открыть файл «" + d + "huge.kel»: он больше 4 МБ.",
         "cannot read " + d + "huge.kel: larger than 4 MiB, more than any file Kelm reads"},
        {"zero.kel", RecordFileStatus::NoData, "Нет данных для чтения",
         d + "zero.kel: Нет данных для чтения"},
        {"cut.kel", RecordFileStatus::UnexpectedEnd, "Unexpected file format.",
         d + "cut.kel: Unexpected file format."},
    };
    SharedState state = Record(7);
    const std::string before = SaveRecord(state);
    for (const auto& c : cases) {
        for (const MessageStyle style : {MessageStyle::Window, MessageStyle::Tool}) {
            const RecordFileResult result = ReadRecordFile(state, dir / c.name, style);
            EXPECT_EQ(result.status, c.status) << c.name;
            EXPECT_EQ(result.message, style == MessageStyle::Window ? c.window : c.tool);
        }
        EXPECT_EQ(SaveRecord(state), before) << c.name;
    }
    WriteBytes(dir / "good.kel", whole);
    EXPECT_TRUE(ReadRecordFile(state, dir / "good.kel", MessageStyle::Window).Done());
    EXPECT_EQ(state.record.pointCount, 3);
}

TEST(RecordFile, ASaveThatFailsSaysWhatIsLeft) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const std::string d = dir.path().string() + "/";
    const struct {
        fs::path path;
        std::string window;
        std::string tool;
    } cases[] = {
        {dir / "none" / "a.kel",
         "Не удалось сохранить файл «" + d + "none/a.kel». Файл на диске не изменён.",
         "cannot write " + d + "none/a.kel: No such file or directory"},
        {dir / "folder", "Не удалось сохранить файл «" + d + "folder»: это папка.",
         "cannot write " + d + "folder: is a directory"},
        {dir / "pipe",
         "Не удалось сохранить файл «" + d + "pipe»: из этого канала никто не читает.",
         "cannot write " + d + "pipe: no program reads from this FIFO"},
        {"/dev/full", "Не удалось записать данные в «/dev/full».",
         "cannot write /dev/full: No space left on device"},
    };
    const SharedState state = Record(2);
    for (const auto& c : cases) {
        for (const MessageStyle style : {MessageStyle::Window, MessageStyle::Tool}) {
            const RecordFileResult result = WriteRecordFile(state, c.path, style);
            EXPECT_EQ(result.status, RecordFileStatus::NotWritten) << c.path;
            EXPECT_EQ(result.message, style == MessageStyle::Window ? c.window : c.tool);
        }
    }
    ASSERT_TRUE(WriteRecordFile(state, dir / "a.kel", MessageStyle::Tool).Done());
    EXPECT_EQ(ReadBytes(dir / "a.kel"), SaveRecord(state));
}

TEST(LastResort, AnEscapedExceptionEndsTheProgramWithStatus70AndALine) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded("kelmtool", [] { return 3; }), 3);
    EXPECT_EQ(RunGuarded("kelmtool", []() -> int { throw std::runtime_error("boom"); }),
              kExitSoftware);
    EXPECT_EQ(RunGuarded("kelm-sim", []() -> int { throw 42; }), kExitSoftware);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kelmtool: internal error: boom\nkelm-sim: internal error: unknown exception\n");

    // Thrown where it cannot be caught, it ends in terminate: the same.
    const auto throwsThroughNoexcept = []() noexcept {
        const std::vector<int> none;
        return none.at(1);
    };
    EXPECT_EXIT(RunGuarded("kelm", throwsThroughNoexcept), testing::ExitedWithCode(kExitSoftware),
                "kelm: internal error: ");
}

}  // namespace
}  // namespace kelm
