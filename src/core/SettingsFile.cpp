#include "core/SettingsFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/FileReader.h"
#include "core/FileWriter.h"
#include "core/HexCodec.h"
#include "core/SharedState.h"

namespace kelm {

namespace {

constexpr int kFormatMark = 100;
constexpr int kMaxTimerSeconds = 10000;
constexpr int kMaxDriftThousandths = 10000;
constexpr double kDriftScale = 1000.0;

// A double truncated toward zero, for a field of which the writer keeps the
// low 16 bits; values no integer holds write as 0. A value within rounding
// noise of a whole number counts as that number, so that a drift limit read
// from the file (1001 / 1000 is 1.000999...) is written back unchanged.
std::int64_t Truncated(double value) {
    constexpr double kLimit = 9.0e18;
    constexpr double kNoise = 1e-9;
    if (!std::isfinite(value) || std::fabs(value) >= kLimit) {
        return 0;
    }
    const double nearest = std::round(value);
    if (std::fabs(value - nearest) <= kNoise * std::max(1.0, std::fabs(value))) {
        return static_cast<std::int64_t>(nearest);
    }
    return static_cast<std::int64_t>(value);
}

int InRange(int value, int lo, int hi, int fallback) {
    return value >= lo && value <= hi ? value : fallback;
}

}  // namespace

std::string EncodeSettings(const SharedState& state) {
    std::string out;
    out.reserve(kSettingsFileSize);
    const auto put = [&out](std::int64_t value) { AppendHexField(out, value); };
    put(kFormatMark);
    put(state.link.comPort);
    put(state.link.networkNumber);
    put(state.link.channel);
    put(state.link.codeZ);
    put(state.link.codeR);
    put(static_cast<int>(state.acquisition.recordMode));
    put(Truncated(state.acquisition.timerSeconds));
    put(Truncated(state.acquisition.driftLimit * kDriftScale));
    put(state.entryLayout.layoutSaved);
    put(state.entryLayout.width);
    put(state.entryLayout.height);
    for (std::int32_t width : state.entryLayout.columnWidth) {
        put(width);
    }
    for (const ColourEntry& c : state.display.colours) {
        put(c.red);
        put(c.green);
        put(c.blue);
        put(c.chosen);
    }
    put(state.display.decimalComma);
    return out;
}

void DecodeSettings(SharedState& state, std::string_view bytes) {
    HexReader in(bytes);
    if (in.ReadHexField() != kFormatMark || in.Ended()) {
        return;
    }
    // Each field is stored as soon as it is read; a file that ends early
    // leaves the fields past its end as they were.
    const auto read = [&in](auto store) {
        const int value = in.ReadHexField();
        if (!in.Ended()) {
            store(value);
        }
    };
    LinkSettings& link = state.link;
    read([&](int v) { link.comPort = InRange(v, 0, 10, 1); });
    read([&](int v) { link.networkNumber = InRange(v, 0, 255, 0); });
    read([&](int v) { link.channel = InRange(v, 1, 10, 1); });
    read([&](int v) { link.codeZ = InRange(v, 0, 255, 0); });
    read([&](int v) { link.codeR = InRange(v, 0, 255, 0); });
    AcquisitionSettings& acquisition = state.acquisition;
    read([&](int v) { acquisition.recordMode = static_cast<RecordMode>(InRange(v, 0, 3, 0)); });
    read([&](int v) { acquisition.timerSeconds = InRange(v, 0, kMaxTimerSeconds, 0); });
    read([&](int v) {
        acquisition.driftLimit = InRange(v, 0, kMaxDriftThousandths, 0) / kDriftScale;
    });
    EntryDialogLayout& layout = state.entryLayout;
    read([&](int v) { layout.layoutSaved = InRange(v, 0, 1, 0); });
    read([&](int v) { layout.width = std::max(v, 400); });
    read([&](int v) { layout.height = std::max(v, 300); });
    for (std::int32_t& width : layout.columnWidth) {
        read([&](int v) { width = std::max(v, 10); });
    }
    for (ColourEntry& c : state.display.colours) {
        read([&](int v) { c.red = static_cast<std::uint8_t>(v & 0xFF); });
        read([&](int v) { c.green = static_cast<std::uint8_t>(v & 0xFF); });
        read([&](int v) { c.blue = static_cast<std::uint8_t>(v & 0xFF); });
        read([&](int v) { c.chosen = InRange(v, 0, 1, 0); });
    }
    read([&](int v) { state.display.decimalComma = InRange(v, 0, 1, 0); });
}

int LoadSettings(SharedState& state, const std::filesystem::path& path) {
    const ReadResult read = ReadWholeFile(path);
    if (read.status != ReadStatus::Read) {
        return 1;
    }
    // Anything past the 103 fields is never looked at.
    DecodeSettings(state, std::string_view(read.bytes).substr(0, kSettingsFileSize));
    return 0;
}

int SaveSettings(const SharedState& state, const std::filesystem::path& path) {
    return WriteWholeFile(path, EncodeSettings(state)).Written() ? 0 : 1;
}

}  // namespace kelm
