#include "core/ResultFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "core/Cp1251.h"
#include "core/FixedText.h"
#include "core/HexCodec.h"
#include "core/NumberText.h"
#include "core/Quantity.h"
#include "core/RecordNotes.h"
#include "core/SharedState.h"

namespace kelm {

namespace {

constexpr Cp1251Literal kStartLine = "Начало записи: ";
constexpr Cp1251Literal kNoStartLine = "Время записи не определено.\r\n";
constexpr Cp1251Literal kPointCountLine = "Количество точек: ";
constexpr Cp1251Literal kEquivalenceCountLine = "Количество точек эквивалентности: ";
constexpr Cp1251Literal kVolumeColumn = "Объем \t";
constexpr Cp1251Literal kSeparatorLine =
    "============ Двоичные данные - не изменять ============\r\n";

// Written in place of the marker byte in the readable part, so that no
// description can end the skipping of the text early.
constexpr char kMarkerStandIn = ' ';

// Room for a typical file, so that a save seldom grows its buffer.
constexpr std::size_t kSaveReserve = 8192;

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

// "volume\tvalue\r\n", built whole before it is appended.
void AppendTableLine(std::string& out, const SharedState& state, double volume, int volumeDecimals,
                     double value, int valueDecimals) {
    FixedText<2 * NumberString::capacity() + 4> line;
    line.Append(FormatNumber(state, volume, volumeDecimals).view());
    line.Append('\t');
    line.Append(FormatNumber(state, value, valueDecimals).view());
    line.Append("\r\n");
    out += line.view();
}

void AppendTwoDigits(std::string& out, int value) {
    out += TwoDigitText(value).view();
}

void AppendTextPart(std::string& out, const SharedState& state) {
    const TitrationRecord& record = state.record;
    std::string description(DescriptionView(record));
    std::replace(description.begin(), description.end(), kRecordMarker, kMarkerStandIn);
    AppendLine(out, description);

    if (record.startTimeKnown != 0) {
        const StartTime& t = record.startTime;
        out += kStartLine;
        AppendTwoDigits(out, t.day);
        out += '.';
        AppendTwoDigits(out, t.month);
        out += '.';
        AppendTwoDigits(out, t.year);
        out += " \t";
        AppendTwoDigits(out, t.hour);
        out += ':';
        AppendTwoDigits(out, t.minute);
        out += "\r\n";
    } else {
        out += kNoStartLine;
    }

    const int pointCount = PointCount(record);
    out += kPointCountLine;
    AppendLine(out, std::to_string(pointCount));
    const std::string columns =
        std::string(kVolumeColumn.view()) + std::string(QuantityName(record.quantity));
    AppendLine(out, columns);
    const int decimals = QuantityValueDecimals(record.quantity);
    for (int i = 0; i < pointCount; ++i) {
        AppendTableLine(out, state, record.points[i].volume, decimals, record.points[i].value,
                        decimals);
    }

    const ProcessedCurve& curve = state.curve;
    const int equivalenceCount = std::min(curve.equivalencePointCount, kEquivalenceCapacity);
    if (curve.curveProcessed != 0 && equivalenceCount > 0) {
        out += kEquivalenceCountLine;
        AppendLine(out, std::to_string(equivalenceCount));
        AppendLine(out, columns);
        for (int i = 0; i < equivalenceCount; ++i) {
            const EquivalencePoint& e = curve.equivalencePoints[i];
            AppendTableLine(out, state, e.volume, 3, e.value, decimals);
        }
    }
    AppendNotesBlock(out, state.notes, state.display.decimalComma != 0);
    out += kSeparatorLine;
}

void AppendEncodedPart(std::string& out, const SharedState& state) {
    const TitrationRecord& record = state.record;
    out += kRecordMarker;
    const std::string_view description = DescriptionView(record).substr(0, kMaxDescriptionLength);
    AppendHexField(out, static_cast<std::int64_t>(description.size()));
    AppendHexBytes(out, description);
    const StartTime& t = record.startTime;
    for (std::int32_t field : {record.startTimeKnown, t.day, t.month, t.year, t.hour, t.minute}) {
        AppendHexField(out, field);
    }
    const int pointCount = PointCount(record);
    AppendHexField(out, pointCount);
    AppendHexField(out, static_cast<std::int32_t>(record.quantity));
    for (int i = 0; i < pointCount; ++i) {
        AppendNumberText(out, record.points[i].volume);
        AppendNumberText(out, record.points[i].value);
    }
    for (int k = 0; k < kRecordColourSlots; ++k) {
        const ColourEntry& c = state.display.colours[k];
        for (std::int32_t field :
             {std::int32_t{c.red}, std::int32_t{c.green}, std::int32_t{c.blue}, c.chosen}) {
            AppendHexField(out, field);
        }
    }
    const ProcessingSettings& p = state.processing;
    AppendHexField(out, static_cast<std::int32_t>(p.criterion));
    AppendNumberText(out, p.endValueEmf);
    AppendNumberText(out, p.endValuePh);
    AppendHexField(out, p.interpolationPointCount);
    AppendHexField(out, p.autoPointCount);
    AppendHexField(out, static_cast<std::int32_t>(p.interpolationKind));
    AppendHexField(out, p.filterStrength);
    AppendHexField(out, static_cast<std::int32_t>(p.filterKind));
    AppendHexField(out, state.display.decimalComma);
}

// What a result file loads: the fields are read into this copy and committed
// to the shared state only when the whole encoded part was read.
struct LoadedRecord {
    TitrationRecord record;
    ProcessingSettings processing;
    std::array<ColourEntry, kRecordColourSlots> colours{};
    std::int32_t decimalComma = 0;
};

// The field when it lies in lo..hi, else the fallback.
int InRange(int value, int lo, int hi, int fallback) {
    return value >= lo && value <= hi ? value : fallback;
}

void ReadStartTime(HexReader& in, TitrationRecord& record) {
    record.startTimeKnown = InRange(in.ReadHexField(), 0, 1, 0);
    // Day, month, year, hour, minute: an impossible value keeps the old one
    // and marks the start time as unknown.
    const auto readChecked = [&](std::int32_t& field, int lo, int hi) {
        const int value = in.ReadHexField();
        if (value >= lo && value <= hi) {
            field = value;
        } else {
            record.startTimeKnown = 0;
        }
    };
    StartTime& t = record.startTime;
    readChecked(t.day, 1, 31);
    readChecked(t.month, 1, 12);
    t.year = in.ReadHexField();
    readChecked(t.hour, 0, 23);
    readChecked(t.minute, 0, 59);
}

void ReadEncodedPart(HexReader& in, LoadedRecord& loaded) {
    TitrationRecord& record = loaded.record;
    // The writer never stores more than kMaxDescriptionLength bytes; longer
    // hand-made descriptions are consumed whole and cut to that length, so the
    // record saves again unchanged. A length of 0 is an empty description.
    const int length = in.ReadHexField();
    record.description.fill('\0');
    in.ReadHexBytes(length, std::span(record.description.data(), kMaxDescriptionLength));
    ReadStartTime(in, record);
    record.pointCount = InRange(in.ReadHexField(), 0, kMaxPoints, 0);
    record.quantity = static_cast<MeasuredQuantity>(InRange(in.ReadHexField(), 0, 3, 0));
    for (int i = 0; i < record.pointCount; ++i) {
        record.points[i].volume = in.ReadNumberText();
        record.points[i].value = in.ReadNumberText();
    }
    for (ColourEntry& c : loaded.colours) {
        c.red = static_cast<std::uint8_t>(InRange(in.ReadHexField(), 0, 255, 0));
        c.green = static_cast<std::uint8_t>(InRange(in.ReadHexField(), 0, 255, 0));
        c.blue = static_cast<std::uint8_t>(InRange(in.ReadHexField(), 0, 255, 0));
        c.chosen = InRange(in.ReadHexField(), 0, 255, 0);
    }
    ProcessingSettings& p = loaded.processing;
    p.criterion = static_cast<EndPointCriterion>(InRange(in.ReadHexField(), 0, 1, 1));
    p.endValueEmf = in.ReadNumberText();
    p.endValuePh = in.ReadNumberText();
    p.interpolationPointCount = InRange(in.ReadHexField(), 0, kMaxGridPoints, 0);
    p.autoPointCount = InRange(in.ReadHexField(), 0, 1, 0);
    p.interpolationKind = static_cast<InterpolationKind>(InRange(in.ReadHexField(), 0, 1, 1));
    p.filterStrength = InRange(in.ReadHexField(), 0, 15, 5);
    p.filterKind = static_cast<FilterKind>(InRange(in.ReadHexField(), 0, 1, 1));
    loaded.decimalComma = InRange(in.ReadHexField(), 0, 1, 0);
}

}  // namespace

std::string_view LoadFailureMessage(LoadStatus status) {
    return status == LoadStatus::NoData ? kNoDataMessage : kUnexpectedFormatMessage;
}

void SaveRecord(const SharedState& state, std::string& out) {
    out.clear();
    AppendTextPart(out, state);
    AppendEncodedPart(out, state);
}

std::string SaveRecord(const SharedState& state) {
    std::string out;
    out.reserve(kSaveReserve);
    SaveRecord(state, out);
    return out;
}

LoadStatus LoadRecord(SharedState& state, std::string_view bytes) {
    return LoadRecord(state, bytes, nullptr);
}

LoadStatus LoadRecord(SharedState& state, std::string_view bytes, std::vector<NoteIssue>* issues) {
    // memchr, not a byte-by-byte search: files are read often and whole.
    const void* found =
        bytes.empty() ? nullptr : std::memchr(bytes.data(), kRecordMarker, bytes.size());
    const std::size_t marker =
        found == nullptr ? bytes.size()
                         : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
    if (marker > 0 && std::memchr(bytes.data(), '\0', marker) != nullptr) {
        return LoadStatus::NoData;
    }
    if (marker == bytes.size()) {
        return LoadStatus::UnexpectedEnd;
    }
    LoadedRecord loaded{state.record, state.processing, {}, state.display.decimalComma};
    std::copy_n(state.display.colours.begin(), kRecordColourSlots, loaded.colours.begin());

    HexReader in(bytes.substr(marker + 1));
    ReadEncodedPart(in, loaded);
    if (in.Ended()) {
        return LoadStatus::UnexpectedEnd;
    }
    NotesRead notes = ReadNotesBlock(bytes.substr(0, marker));
    if (issues != nullptr) {
        *issues = std::move(notes.issues);
    }
    state.record = loaded.record;
    state.processing = loaded.processing;
    state.notes = notes.notes;
    std::copy(loaded.colours.begin(), loaded.colours.end(), state.display.colours.begin());
    state.display.decimalComma = loaded.decimalComma;
    // The arrays of the last processing run belong to the record that was open
    // then: the loaded one is shown as measured and saves no equivalence table.
    state.curve.curveProcessed = 0;
    state.curve.equivalencePointCount = 0;
    state.curve.evaluation = {};
    ++state.recordIdentity;
    return LoadStatus::Loaded;
}

}  // namespace kelm
