#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/HexCodec.h"
#include "core/SettingsFile.h"
#include "core/SharedState.h"
#include "support/DefaultSettings.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// The state after a start without a settings file.
SharedState StartState() {
    SharedState s;
    NewRecord(s);
    ApplyStartDefaults(s);
    return s;
}

std::string Hex(int value) {
    std::string out;
    AppendHexField(out, value);
    return out;
}

// The file with field `index` (1-based) replaced by `value`.
std::string WithField(std::string file, int index, int value) {
    return file.replace(static_cast<std::size_t>(index - 1) * 4, 4, Hex(value));
}

TEST(SettingsFile, AFirstStartWritesTheStartValues) {
    const std::string expected = test::DefaultSettingsBytes();
    EXPECT_EQ(EncodeSettings(StartState()), expected);
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(kSettingsFileSize));

    SharedState pH = StartState();
    pH.record.quantity = MeasuredQuantity::Ph;
    ApplyStartDefaults(pH);
    EXPECT_EQ(EncodeSettings(pH).substr(20, 4), "0030");  // codeR of the quantity at start
}

SharedState ChangedState() {
    SharedState s = StartState();
    s.link = {8, 255, 10, 25, 64};
    s.acquisition = {RecordMode::Drift, 120.0, 2.5};
    s.entryLayout.layoutSaved = 1;
    s.entryLayout.width = 812;
    s.entryLayout.height = 640;
    for (int i = 0; i < kColumnWidthSlots; ++i) {
        s.entryLayout.columnWidth[i] = 10 + 37 * i;
    }
    for (int k = 0; k < kColourSlots; ++k) {
        s.display.colours[k] = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k),
                                static_cast<std::uint8_t>(k * 12), k % 2};
    }
    s.display.decimalComma = 1;
    return s;
}

void ExpectSameSettings(const SharedState& a, const SharedState& b) {
    EXPECT_EQ(EncodeSettings(a), EncodeSettings(b));
    EXPECT_EQ(a.acquisition.timerSeconds, b.acquisition.timerSeconds);
    EXPECT_EQ(a.acquisition.driftLimit, b.acquisition.driftLimit);
}

TEST(SettingsFile, EveryFieldRoundTrips) {
    const SharedState changed = ChangedState();
    SharedState loaded = StartState();
    DecodeSettings(loaded, EncodeSettings(changed));
    ExpectSameSettings(changed, loaded);
    EXPECT_EQ(loaded.link.comPort, 8);
    EXPECT_EQ(loaded.acquisition.driftLimit, 2.5);
    EXPECT_EQ(loaded.display.colours[19].blue, 228);
    // The record is not in the settings file.
    EXPECT_EQ(loaded.record.pointCount, 0);
}

TEST(SettingsFile, TimerAndDriftAreWrittenTruncated) {
    SharedState s = StartState();
    s.acquisition.driftLimit = 0.0015;
    s.acquisition.timerSeconds = 30.9;
    std::string file = EncodeSettings(s);
    EXPECT_EQ(file.substr(28, 8),
              "001E"
              "0001");
    SharedState loaded = StartState();
    DecodeSettings(loaded, file);
    EXPECT_EQ(loaded.acquisition.timerSeconds, 30.0);
    EXPECT_EQ(loaded.acquisition.driftLimit, 0.001);

    s.acquisition.driftLimit = 12.0;
    file = EncodeSettings(s);
    EXPECT_EQ(file.substr(32, 4), "2EE0");
    DecodeSettings(loaded, file);
    EXPECT_EQ(loaded.acquisition.driftLimit, 0.0);

    s.acquisition.driftLimit = 10.0;  // the largest accepted limit
    DecodeSettings(loaded, EncodeSettings(s));
    EXPECT_EQ(loaded.acquisition.driftLimit, 10.0);
}

TEST(SettingsFile, EveryStoredDriftLimitSurvivesReadAndWrite) {
    // 1001 / 1000 is 1.000999..., which must be written as 1001 again, or the
    // limit would creep down at every exit.
    for (int stored = 0; stored <= 10000; ++stored) {
        SharedState s = StartState();
        const std::string file = WithField(EncodeSettings(s), 9, stored);
        DecodeSettings(s, file);
        ASSERT_EQ(EncodeSettings(s), file) << stored;
    }
}

TEST(SettingsFile, NegativeAndHugeValuesKeepTheirLow16Bits) {
    SharedState s = StartState();
    s.acquisition.timerSeconds = -5.0;
    s.entryLayout.width = -1;
    s.link.networkNumber = 65536 + 7;
    s.acquisition.driftLimit = std::numeric_limits<double>::quiet_NaN();
    const std::string file = EncodeSettings(s);
    EXPECT_EQ(file.substr(8, 4), "0007");
    EXPECT_EQ(file.substr(28, 4), "FFFB");
    EXPECT_EQ(file.substr(32, 4), "0000");
    EXPECT_EQ(file.substr(40, 4), "FFFF");
    SharedState loaded = StartState();
    DecodeSettings(loaded, file);
    EXPECT_EQ(loaded.acquisition.timerSeconds, 0.0);
    EXPECT_EQ(loaded.entryLayout.width, 65535);
    EXPECT_EQ(loaded.link.networkNumber, 7);

    s.acquisition.timerSeconds = 1e300;
    s.acquisition.driftLimit = -1e300;
    EXPECT_EQ(EncodeSettings(s).substr(28, 8), "00000000");
}

TEST(SettingsFile, EveryAcceptanceRow) {
    using Read = int (*)(const SharedState&);
    const Read port = [](const SharedState& s) { return s.link.comPort; };
    const Read network = [](const SharedState& s) { return s.link.networkNumber; };
    const Read channel = [](const SharedState& s) { return s.link.channel; };
    const Read codeZ = [](const SharedState& s) { return s.link.codeZ; };
    const Read codeR = [](const SharedState& s) { return s.link.codeR; };
    const Read mode = [](const SharedState& s) { return int(s.acquisition.recordMode); };
    const Read timer = [](const SharedState& s) { return int(s.acquisition.timerSeconds); };
    const Read drift = [](const SharedState& s) { return int(s.acquisition.driftLimit); };
    const Read saved = [](const SharedState& s) { return s.entryLayout.layoutSaved; };
    const Read width = [](const SharedState& s) { return s.entryLayout.width; };
    const Read height = [](const SharedState& s) { return s.entryLayout.height; };
    const Read column0 = [](const SharedState& s) { return s.entryLayout.columnWidth[0]; };
    const Read column9 = [](const SharedState& s) { return s.entryLayout.columnWidth[9]; };
    const Read red0 = [](const SharedState& s) { return int{s.display.colours[0].red}; };
    const Read green0 = [](const SharedState& s) { return int{s.display.colours[0].green}; };
    const Read blue19 = [](const SharedState& s) { return int{s.display.colours[19].blue}; };
    const Read chosen5 = [](const SharedState& s) { return s.display.colours[5].chosen; };
    const Read chosen19 = [](const SharedState& s) { return s.display.colours[19].chosen; };
    const Read comma = [](const SharedState& s) { return s.display.decimalComma; };
    const auto colour = [](int slot, int part) { return 23 + slot * 4 + part; };
    // Each field with the values written into it and what a load makes of them.
    const struct {
        int field;
        Read read;
        std::vector<std::pair<int, int>> written;
    } rows[] = {
        {2, port, {{0, 0}, {10, 10}, {11, 1}}},
        {3, network, {{255, 255}, {256, 0}}},
        {4, channel, {{0, 1}, {10, 10}, {11, 1}}},
        {5, codeZ, {{255, 255}, {256, 0}}},
        {6, codeR, {{64, 64}, {300, 0}}},
        {7, mode, {{3, 3}, {4, 0}}},
        {8, timer, {{10000, 10000}, {10001, 0}}},
        {9, drift, {{10000, 10}, {10001, 0}}},
        {10, saved, {{1, 1}, {2, 0}}},
        {11, width, {{399, 400}, {400, 400}, {65535, 65535}}},
        {12, height, {{0, 300}, {301, 301}}},
        {13, column0, {{9, 10}}},
        {22, column9, {{9, 10}, {11, 11}}},
        {colour(0, 0), red0, {{0x1FF, 0xFF}}},
        {colour(0, 1), green0, {{0x1234, 0x34}}},
        {colour(19, 2), blue19, {{0xFF00, 0}}},
        {colour(5, 3), chosen5, {{1, 1}, {2, 0}}},
        {colour(19, 3), chosen19, {{65535, 0}}},
        {103, comma, {{1, 1}, {2, 0}}},
    };
    const std::string base = EncodeSettings(ChangedState());
    for (const auto& row : rows) {
        for (const auto& [value, expected] : row.written) {
            SharedState s = ChangedState();
            DecodeSettings(s, WithField(base, row.field, value));
            EXPECT_EQ(row.read(s), expected) << "field " << row.field << " value " << value;
        }
    }
}

TEST(SettingsFile, AWrongFormatMarkChangesNothing) {
    const SharedState start = StartState();
    for (int mark : {0, 99, 101, 0x6400}) {
        SharedState s = StartState();
        DecodeSettings(s, WithField(EncodeSettings(ChangedState()), 1, mark));
        ExpectSameSettings(s, start);
    }
    SharedState s = StartState();
    DecodeSettings(s, "");
    DecodeSettings(s, "006");
    ExpectSameSettings(s, start);
}

TEST(SettingsFile, FieldsPastTheEndOfAShortFileKeepTheirValues) {
    const std::string full = EncodeSettings(ChangedState());
    // Up to the first byte of the width field: the width is not whole and keeps its value.
    SharedState s = StartState();
    DecodeSettings(s, full.substr(0, 10 * 4 + 3));
    EXPECT_EQ(s.link.comPort, 8);
    EXPECT_EQ(s.entryLayout.layoutSaved, 1);
    EXPECT_EQ(s.entryLayout.width, 600);
    EXPECT_EQ(s.display.colours[10].red, 50);

    for (std::size_t size = 0; size <= full.size(); ++size) {
        SharedState partial = StartState();
        DecodeSettings(partial, full.substr(0, size));
        std::string expected = EncodeSettings(StartState());
        const std::size_t whole = size >= 4 ? size / 4 * 4 : 0;
        expected.replace(0, whole, full.substr(0, whole));
        ASSERT_EQ(EncodeSettings(partial), expected) << size;
    }
    // Bytes after the 103 fields are ignored.
    DecodeSettings(s, full + "FFFF");
    ExpectSameSettings(s, ChangedState());
}

TEST(SettingsFile, LoadAndSaveThroughTheFile) {
    TempDir dir;
    const auto path = dir / "kelm.cfg";
    SharedState s = StartState();
    EXPECT_EQ(LoadSettings(s, path), 1);  // missing: nothing reported, nothing changed
    ExpectSameSettings(s, StartState());

    EXPECT_EQ(SaveSettings(ChangedState(), path), 0);
    EXPECT_EQ(ReadBytes(path), EncodeSettings(ChangedState()));
    EXPECT_EQ(LoadSettings(s, path), 0);
    ExpectSameSettings(s, ChangedState());

    // A file of 412 bytes with a wrong mark is opened and ignored.
    WriteBytes(path, WithField(EncodeSettings(ChangedState()), 1, 99));
    SharedState fresh = StartState();
    EXPECT_EQ(LoadSettings(fresh, path), 0);
    ExpectSameSettings(fresh, StartState());

    EXPECT_EQ(LoadSettings(fresh, dir.path()), 1);  // a folder is not a settings file
}

TEST(SettingsFile, AHandMadeSettingsPathIsNeitherWaitedOnNorReplaced) {
    TempDir dir;
    SharedState s = StartState();
    // A FIFO in its place: start-up goes on with the defaults at once.
    ASSERT_EQ(::mkfifo((dir / "kelm.cfg").c_str(), 0600), 0);
    EXPECT_EQ(LoadSettings(s, dir / "kelm.cfg"), 1);
    ExpectSameSettings(s, StartState());
    std::filesystem::remove(dir / "kelm.cfg");

    // A link to the settings kept elsewhere stays a link.
    std::filesystem::create_directory(dir / "profile");
    std::filesystem::create_symlink("profile/kelm.cfg", dir / "kelm.cfg");
    EXPECT_EQ(SaveSettings(ChangedState(), dir / "kelm.cfg"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "kelm.cfg"));
    EXPECT_EQ(ReadBytes(dir / "profile" / "kelm.cfg"), EncodeSettings(ChangedState()));
    // One to the null device throws the settings away on purpose.
    std::filesystem::remove(dir / "kelm.cfg");
    std::filesystem::create_symlink("/dev/null", dir / "kelm.cfg");
    EXPECT_EQ(SaveSettings(ChangedState(), dir / "kelm.cfg"), 0);
    EXPECT_EQ(LoadSettings(s, dir / "kelm.cfg"), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "kelm.cfg"));
}

TEST(SettingsFile, AFailedSaveReturns1AndLeavesTheOldFileWhole) {
    TempDir dir;
    // The temporary file beside it cannot be created: its name is longer
    // than the folder allows.
    const auto path = dir / std::string(240, 'c');
    const std::string old = EncodeSettings(StartState());
    WriteBytes(path, old);
    EXPECT_EQ(SaveSettings(ChangedState(), path), 1);
    EXPECT_EQ(ReadBytes(path), old);

    WriteBytes(dir / "plain", "x");
    EXPECT_EQ(SaveSettings(ChangedState(), dir / "plain" / "kelm.cfg"), 1);
}

}  // namespace
}  // namespace kelm
