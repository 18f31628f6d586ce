#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "core/HexCodec.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace kelm {
namespace {

std::string Cp(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

void SetDescription(SharedState& s, std::string_view bytes) {
    s.record.description.fill('\0');
    std::copy(bytes.begin(), bytes.end(), s.record.description.begin());
}

std::string Description(const SharedState& s) {
    return s.record.description.data();
}

// The state of the encoded example: a pH record "A" of 5 March 2006, 9:07,
// with one point.
SharedState ExampleState() {
    SharedState s;
    NewRecord(s);
    ApplyStartDefaults(s);
    SetDescription(s, "A");
    s.record.quantity = MeasuredQuantity::Ph;
    s.record.startTimeKnown = 1;
    s.record.startTime = {2006, 3, 5, 9, 7};
    s.record.pointCount = 1;
    s.record.points[0] = {1.5, 7.25};
    return s;
}

std::string EncodedPart(const std::string& file) {
    return file.substr(file.find('\x1D'));
}

TEST(ResultFileSave, EncodedExampleHoldsByteForByte) {
    const std::string file = SaveRecord(ExampleState());
    const std::string expected =
        "\x1D"
        "000141"                    // description "A"
        "00010005000307D600090007"  // known, 5.3.2006 9:07
        "00010001"                  // one point, pH
        "0003312E350004372E3235"    // 1.5 and 7.25
        // Colour slots 0..9 (none chosen), then criterion 1, end values 0 and 7,
        // grid 0, automatic 1, cubic spline 1, strength 5, polynomial 1, point 0.
        + std::string(40 * 4, '0') + "00010002302E0002372E000000010001000500010000";
    EXPECT_EQ(EncodedPart(file), expected);
}

TEST(ResultFileSave, TextPartOfTheExample) {
    const std::string file = SaveRecord(ExampleState());
    const std::string expected =
        Cp("A\r\n"
           "Начало записи: 05.03.2006 \t09:07\r\n"
           "Количество точек: 1\r\n"
           "Объем \tpH\r\n"
           "1.5\t7.25\r\n"
           "============ Двоичные данные - не изменять ============\r\n");
    EXPECT_EQ(file.substr(0, file.find('\x1D')), expected);
}

TEST(ResultFileSave, TextPartRowsFollowTheRecord) {
    SharedState s = ExampleState();
    s.record.quantity = MeasuredQuantity::Emf;
    s.record.startTime = {2024, 11, 25, 14, 30};
    s.record.pointCount = 2;
    s.record.points[1] = {12.3456, -350.127};
    s.display.decimalComma = 1;
    std::string file = SaveRecord(s);
    EXPECT_NE(file.find(Cp("Начало записи: 25.11.2024 \t14:30\r\n")), std::string::npos);
    EXPECT_NE(file.find(Cp("Объем \tЭДС\r\n1,5\t7,25\r\n12,35\t-350,13\r\n")), std::string::npos);
    // The encoded numbers keep the point.
    EXPECT_NE(EncodedPart(file).find("0007"
                                     "31322E33343536"),
              std::string::npos);

    s.record.startTimeKnown = 0;
    file = SaveRecord(s);
    EXPECT_NE(file.find(Cp("\r\nВремя записи не определено.\r\n")), std::string::npos);
    EXPECT_EQ(file.find(Cp("Начало записи")), std::string::npos);

    for (auto [quantity, column] :
         {std::pair{MeasuredQuantity::Ph, "pH"}, std::pair{MeasuredQuantity::Px, "pX"},
          std::pair{MeasuredQuantity::Conductivity, "УЭП"}}) {
        s.record.quantity = quantity;
        file = SaveRecord(s);
        EXPECT_NE(file.find(Cp("Объем \t") + Cp(column) + "\r\n1,5\t7,25\r\n12,346\t-350,127\r\n"),
                  std::string::npos)
            << column;
    }
}

TEST(ResultFileSave, EmptyRecordWritesACountOfZeroAndNoPointLines) {
    SharedState s;
    NewRecord(s);
    const std::string file = SaveRecord(s);
    const std::string expected =
        Cp("\r\nВремя записи не определено.\r\nКоличество точек: 0\r\nОбъем \tЭДС\r\n"
           "============ Двоичные данные - не изменять ============\r\n");
    EXPECT_EQ(file.substr(0, file.find('\x1D')), expected);

    SharedState loaded = ExampleState();
    ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
    EXPECT_EQ(loaded.record.pointCount, 0);
    EXPECT_EQ(Description(loaded), "");

    // Before the first record the count is -1; the file says 0.
    SharedState fresh;
    EXPECT_NE(SaveRecord(fresh).find(Cp("Количество точек: 0\r\n")), std::string::npos);
}

TEST(ResultFileSave, EquivalencePointsAreWrittenOnlyAfterAProcessingRunFoundSome) {
    SharedState s = ExampleState();
    s.curve.equivalencePointCount = 2;
    s.curve.equivalencePoints[0] = {10.12345, 7.0123, 1.0};
    s.curve.equivalencePoints[1] = {20.5, 4.25, 1.0};
    const std::string unprocessed = SaveRecord(s);
    EXPECT_EQ(unprocessed.find(Cp("эквивалентности")), std::string::npos);

    s.curve.curveProcessed = 1;
    const std::string processed = SaveRecord(s);
    EXPECT_NE(processed.find(Cp("1.5\t7.25\r\n"
                                "Количество точек эквивалентности: 2\r\n"
                                "Объем \tpH\r\n"
                                "10.123\t7.012\r\n"
                                "20.5\t4.25\r\n"
                                "=====")),
              std::string::npos);
    // They are text only: the encoded part is the same.
    EXPECT_EQ(EncodedPart(processed), EncodedPart(unprocessed));

    s.curve.equivalencePointCount = 0;
    EXPECT_EQ(SaveRecord(s), unprocessed);
}

TEST(ResultFileSave, TheMarkerByteNeverAppearsBeforeTheMarker) {
    SharedState s = ExampleState();
    SetDescription(s,
                   "pH\x1D"
                   "7");
    const std::string file = SaveRecord(s);
    EXPECT_EQ(file.substr(0, 6), "pH 7\r\n");
    ASSERT_EQ(std::count(file.begin(), file.end(), '\x1D'), 1);

    SharedState loaded;
    ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
    EXPECT_EQ(Description(loaded),
              "pH\x1D"
              "7");  // the encoded part keeps it exact
}

TEST(ResultFileSave, LongDescriptionsAreWholeInTheTextAndCutTo1020InTheEncodedPart) {
    SharedState s = ExampleState();
    const std::string long1023(1023, 'x');
    SetDescription(s, long1023);
    const std::string file = SaveRecord(s);
    EXPECT_EQ(file.substr(0, 1025), long1023 + "\r\n");
    EXPECT_EQ(EncodedPart(file).substr(0, 5),
              "\x1D"
              "03FC");

    SharedState loaded;
    ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
    EXPECT_EQ(Description(loaded), std::string(1020, 'x'));
}

// A record using every field, for the round trips.
SharedState FullState() {
    SharedState s;
    NewRecord(s);
    ApplyStartDefaults(s);
    SetDescription(s, Cp("Титрование HCl 0,1 М раствором NaOH; проба №7 \"А\"\r\nвторая строка"));
    s.record.quantity = MeasuredQuantity::Px;
    s.record.startTimeKnown = 1;
    s.record.startTime = {1999, 12, 31, 23, 59};
    s.record.pointCount = kMaxPoints;
    for (int i = 0; i < kMaxPoints; ++i) {
        // Values of at most eight significant digits survive the file exactly.
        s.record.points[i] = {0.125 * i, (1400000 - i * 3750 + i % 7) / 100000.0};
    }
    s.record.points[3] = {-0.000123, 1.2345678e-200};
    s.record.points[4] = {99999999.0, -1e300};
    for (int k = 0; k < kRecordColourSlots; ++k) {
        s.display.colours[k] = {static_cast<std::uint8_t>(k * 25),
                                static_cast<std::uint8_t>(255 - k), static_cast<std::uint8_t>(k),
                                k % 3 == 0 ? 200 : 0};
    }
    s.processing = {EndPointCriterion::GivenValue, -273.25, 8.2, InterpolationKind::Linear, 0, 500,
                    FilterKind::MovingAverage,     15};
    s.display.decimalComma = 1;
    return s;
}

void ExpectSameLoadedFields(const SharedState& a, const SharedState& b) {
    EXPECT_EQ(Description(a), Description(b));
    EXPECT_EQ(a.record.pointCount, b.record.pointCount);
    for (int i = 0; i < PointCount(a.record); ++i) {
        EXPECT_EQ(a.record.points[i].volume, b.record.points[i].volume) << i;
        EXPECT_EQ(a.record.points[i].value, b.record.points[i].value) << i;
    }
    EXPECT_EQ(a.record.quantity, b.record.quantity);
    const auto time = [](const SharedState& s) {
        const StartTime& t = s.record.startTime;
        return std::tuple(s.record.startTimeKnown, t.year, t.month, t.day, t.hour, t.minute);
    };
    EXPECT_EQ(time(a), time(b));
    for (int k = 0; k < kRecordColourSlots; ++k) {
        const ColourEntry& x = a.display.colours[k];
        const ColourEntry& y = b.display.colours[k];
        EXPECT_EQ(std::tie(x.red, x.green, x.blue, x.chosen),
                  std::tie(y.red, y.green, y.blue, y.chosen))
            << k;
    }
    const auto processing = [](const SharedState& s) {
        const ProcessingSettings& p = s.processing;
        return std::tuple(p.criterion, p.endValueEmf, p.endValuePh, p.interpolationKind,
                          p.autoPointCount, p.interpolationPointCount, p.filterKind,
                          p.filterStrength);
    };
    EXPECT_EQ(processing(a), processing(b));
    EXPECT_EQ(a.display.decimalComma, b.display.decimalComma);
}

TEST(ResultFileRoundTrip, ASavedRecordLoadsBackIdenticalAndSavesToTheSameBytes) {
    const SharedState original = FullState();
    const std::string file = SaveRecord(original);
    SharedState loaded;
    ASSERT_EQ(LoadRecord(loaded, file), LoadStatus::Loaded);
    ExpectSameLoadedFields(original, loaded);
    EXPECT_EQ(SaveRecord(loaded), file);
}

// The file keeps 8 significant digits: a value with more (typed into a file
// by hand, or measured) is rounded by the first save, and from then on every
// load and save gives the same bytes.
TEST(ResultFileRoundTrip, ValuesWithMoreDigitsSettleAfterTheFirstSave) {
    SharedState s = ExampleState();
    s.record.points[0] = {333333133333.3, 7.123456789};
    const std::string first = SaveRecord(s);
    SharedState loaded;
    ASSERT_EQ(LoadRecord(loaded, first), LoadStatus::Loaded);
    EXPECT_EQ(loaded.record.points[0].volume, 333333130000.0);
    EXPECT_EQ(loaded.record.points[0].value, 7.1234568);
    const std::string second = SaveRecord(loaded);
    EXPECT_NE(second, first);
    ASSERT_EQ(LoadRecord(loaded, second), LoadStatus::Loaded);
    EXPECT_EQ(SaveRecord(loaded), second);
}

TEST(ResultFileRoundTrip, EitherSeparatorLoadsIdentically) {
    SharedState comma = FullState();
    SharedState point = FullState();
    point.display.decimalComma = 0;
    const std::string commaFile = SaveRecord(comma);
    const std::string pointFile = SaveRecord(point);
    EXPECT_NE(commaFile.find(Cp("\r\n0,125\t13,963\r\n")), std::string::npos);
    EXPECT_NE(pointFile.find(Cp("\r\n0.125\t13.963\r\n")), std::string::npos);

    SharedState a, b;
    ASSERT_EQ(LoadRecord(a, commaFile), LoadStatus::Loaded);
    ASSERT_EQ(LoadRecord(b, pointFile), LoadStatus::Loaded);
    EXPECT_EQ(a.display.decimalComma, 1);
    EXPECT_EQ(b.display.decimalComma, 0);
    b.display.decimalComma = 1;
    ExpectSameLoadedFields(a, b);
}

TEST(ResultFileRoundTrip, EditingTheTextPartChangesNothingLoaded) {
    const SharedState original = FullState();
    const std::string file = SaveRecord(original);
    const std::string edited = Cp("Любой текст\r\nс цифрами 1,5 2,5\tи таблицами\n") +
                               std::string("\x01\x7F\xFF") + file.substr(file.find('\x1D'));
    SharedState loaded;
    ASSERT_EQ(LoadRecord(loaded, edited), LoadStatus::Loaded);
    ExpectSameLoadedFields(original, loaded);

    SharedState bare;  // nothing at all before the marker
    ASSERT_EQ(LoadRecord(bare, file.substr(file.find('\x1D'))), LoadStatus::Loaded);
    ExpectSameLoadedFields(original, bare);
}

TEST(ResultFileLoad, LeavesWhatTheFileDoesNotHold) {
    SharedState s = FullState();
    s.record.selectedPoint = 17;
    s.display.viewMode = ViewMode::Derivative;
    s.curve.gridVolume[5] = 2.5;
    s.display.colours[15] = {1, 2, 3, 1};
    s.link.comPort = 5;
    s.acquisition.driftLimit = 3.5;
    ASSERT_EQ(LoadRecord(s, SaveRecord(ExampleState())), LoadStatus::Loaded);
    EXPECT_EQ(s.record.pointCount, 1);
    EXPECT_EQ(s.record.selectedPoint, 17);
    EXPECT_EQ(s.display.viewMode, ViewMode::Derivative);
    EXPECT_EQ(s.curve.gridVolume[5], 2.5);
    EXPECT_EQ(s.display.colours[15].red, 1);
    EXPECT_EQ(s.display.colours[0].chosen, 0);  // the record's slots are the file's
    EXPECT_EQ(s.link.comPort, 5);
    EXPECT_EQ(s.acquisition.driftLimit, 3.5);
}

TEST(ResultFileLoad, ForgetsTheProcessingRunOfThePreviousRecord) {
    // Record A was processed and found two equivalence points...
    SharedState s = ExampleState();
    s.processing.interpolationPointCount = 100;
    s.curve.curveProcessed = 1;
    s.curve.equivalencePointCount = 2;
    s.curve.equivalencePoints[0] = {10.5, 7.0, 1.0};
    s.curve.equivalencePoints[1] = {20.5, 4.0, 1.0};
    ASSERT_NE(SaveRecord(s).find(Cp("Количество точек эквивалентности")), std::string::npos);

    // ...then file B is opened: it is shown as measured and saves without A's table.
    SharedState other = ExampleState();
    other.record.pointCount = 2;
    other.record.points[1] = {2.5, 8.0};
    other.processing.interpolationPointCount = 40;
    ASSERT_EQ(LoadRecord(s, SaveRecord(other)), LoadStatus::Loaded);
    EXPECT_EQ(s.curve.curveProcessed, 0);
    EXPECT_EQ(s.curve.equivalencePointCount, 0);
    EXPECT_EQ(s.processing.interpolationPointCount, 40);
    const std::string saved = SaveRecord(s);
    EXPECT_EQ(saved.find(Cp("эквивалентности")), std::string::npos);
    EXPECT_EQ(saved, SaveRecord(other));
}

// ---- Failed loads change nothing ------------------------------------------

TEST(ResultFileLoad, AByteZeroBeforeTheMarkerIsNoDataAndChangesNothing) {
    const SharedState before = FullState();
    SharedState s = FullState();
    const std::string good = SaveRecord(ExampleState());
    for (const std::string& file : {std::string("\0", 1), std::string("abc\0", 4) + good,
                                    good.substr(0, 10) + std::string("\0", 1) + good.substr(10)}) {
        EXPECT_EQ(LoadRecord(s, file), LoadStatus::NoData);
        EXPECT_EQ(SaveRecord(s), SaveRecord(before));
    }
    EXPECT_EQ(LoadFailureMessage(LoadStatus::NoData), "Нет данных для чтения");
}

TEST(ResultFileLoad, AFileThatEndsEarlyIsUnexpectedEndAndChangesNothing) {
    const SharedState before = FullState();
    const std::string beforeBytes = SaveRecord(before);
    SharedState s = FullState();
    EXPECT_EQ(LoadRecord(s, ""), LoadStatus::UnexpectedEnd);
    EXPECT_EQ(LoadRecord(s, Cp("Текст без маркера\r\n")), LoadStatus::UnexpectedEnd);

    const std::string file = SaveRecord(ExampleState());
    const std::size_t marker = file.find('\x1D');
    for (std::size_t cut = marker; cut < file.size(); ++cut) {
        ASSERT_EQ(LoadRecord(s, std::string_view(file).substr(0, cut)), LoadStatus::UnexpectedEnd)
            << cut;
        ASSERT_EQ(SaveRecord(s), beforeBytes) << cut;
    }
    EXPECT_EQ(LoadFailureMessage(LoadStatus::UnexpectedEnd), "Unexpected file format.");
    // Bytes after the last field are not looked at.
    EXPECT_EQ(LoadRecord(s, file + "trailing"), LoadStatus::Loaded);
}

// ---- Fallback rows ----------------------------------------------------------

// The fields of a hand-made encoded part, each as a number or a text, so that
// any row can be given a value no writer produces.
struct Fields {
    std::string description = "A";
    int descriptionLength = -1;  // -1: the length of `description`
    int known = 1, day = 5, month = 3, year = 2006, hour = 9, minute = 7;
    int pointCount = 1, quantity = 1;
    std::vector<std::string> pointTexts = {"1.5", "7.25"};
    std::array<int, 40> colours{};
    int criterion = 0;
    std::string endEmf = "-12.5", endPh = "8.2";
    int gridPoints = 100, autoCount = 0, interpolation = 0, strength = 7, filter = 0, comma = 1;

    std::string Build() const {
        std::string out = "header\r\n\x1D";
        const auto field = [&out](int v) { AppendHexField(out, v); };
        const auto text = [&](std::string_view t) {
            field(static_cast<int>(t.size()));
            for (char c : t) {
                AppendHexByte(out, static_cast<std::uint8_t>(c));
            }
        };
        field(descriptionLength < 0 ? static_cast<int>(description.size()) : descriptionLength);
        for (char c : description) {
            AppendHexByte(out, static_cast<std::uint8_t>(c));
        }
        for (int v : {known, day, month, year, hour, minute, pointCount, quantity}) {
            field(v);
        }
        for (const std::string& t : pointTexts) {
            text(t);
        }
        for (int v : colours) {
            field(v);
        }
        field(criterion);
        text(endEmf);
        text(endPh);
        for (int v : {gridPoints, autoCount, interpolation, strength, filter, comma}) {
            field(v);
        }
        return out;
    }
};

SharedState Load(const Fields& f) {
    SharedState s = FullState();
    EXPECT_EQ(LoadRecord(s, f.Build()), LoadStatus::Loaded);
    return s;
}

TEST(ResultFileFallbacks, HandMadeFieldsInRangeLoadAsWritten) {
    Fields f;
    f.colours[0] = 255;
    f.colours[3] = 1;
    const SharedState s = Load(f);
    const TitrationRecord& r = s.record;
    EXPECT_EQ(std::tuple(Description(s), r.startTimeKnown, r.startTime.day, r.startTime.year,
                         r.pointCount, r.quantity, r.points[0].volume, r.points[0].value),
              std::tuple("A", 1, 5, 2006, 1, MeasuredQuantity::Ph, 1.5, 7.25));
    EXPECT_EQ(std::tie(s.display.colours[0].red, s.display.colours[0].chosen), std::tuple(255, 1));
    const ProcessingSettings& p = s.processing;
    EXPECT_EQ(std::tuple(p.criterion, p.endValueEmf, p.endValuePh, p.interpolationPointCount,
                         p.autoPointCount, p.interpolationKind, p.filterStrength, p.filterKind,
                         s.display.decimalComma),
              std::tuple(EndPointCriterion::GivenValue, -12.5, 8.2, 100, 0,
                         InterpolationKind::Linear, 7, FilterKind::MovingAverage, 1));
}

TEST(ResultFileFallbacks, ImpossibleStartTimesMakeTheTimeUnknownAndKeepTheOldField) {
    const SharedState before = FullState();  // 31.12.1999 23:59, known
    struct Case {
        int Fields::*field;
        int value;
        int StartTime::*kept;
    };
    const Case cases[] = {
        {&Fields::day, 0, &StartTime::day},        {&Fields::day, 32, &StartTime::day},
        {&Fields::month, 0, &StartTime::month},    {&Fields::month, 13, &StartTime::month},
        {&Fields::hour, 24, &StartTime::hour},     {&Fields::hour, 65535, &StartTime::hour},
        {&Fields::minute, 60, &StartTime::minute},
    };
    for (const Case& c : cases) {
        Fields f;
        f.*c.field = c.value;
        const SharedState s = Load(f);
        EXPECT_EQ(s.record.startTimeKnown, 0) << c.value;
        EXPECT_EQ(s.record.startTime.*c.kept, before.record.startTime.*c.kept) << c.value;
    }
    // Limits themselves are accepted; any year is.
    Fields edge;
    edge.day = 31;
    edge.month = 12;
    edge.hour = 0;
    edge.minute = 59;
    edge.year = 65535;
    SharedState s = Load(edge);
    EXPECT_EQ(s.record.startTimeKnown, 1);
    EXPECT_EQ(s.record.startTime.year, 65535);

    for (int known : {2, 65535}) {
        Fields f;
        f.known = known;
        EXPECT_EQ(Load(f).record.startTimeKnown, 0);
    }
    Fields unknown;
    unknown.known = 0;
    s = Load(unknown);
    EXPECT_EQ(s.record.startTimeKnown, 0);
    EXPECT_EQ(s.record.startTime.day, 5);  // the fields are still stored
    EXPECT_NE(SaveRecord(s).find(Cp("Время записи не определено.")), std::string::npos);
}

TEST(ResultFileFallbacks, PointCountAndQuantity) {
    Fields many;
    many.pointCount = 255;
    many.pointTexts.clear();
    for (int i = 0; i < 255; ++i) {
        many.pointTexts.push_back(std::to_string(i));
        many.pointTexts.push_back(std::to_string(-i) + ".5");
    }
    SharedState s = Load(many);
    EXPECT_EQ(s.record.pointCount, 255);
    EXPECT_EQ(s.record.points[254].volume, 254.0);
    EXPECT_EQ(s.record.points[254].value, -254.5);
    EXPECT_EQ(s.processing.filterStrength, 7);  // read in step after the points

    // 256 or more loads with no points; what follows is read where the points
    // would have started.
    Fields tooMany;
    tooMany.pointCount = 256;
    tooMany.pointTexts.clear();
    s = Load(tooMany);
    EXPECT_EQ(s.record.pointCount, 0);
    EXPECT_EQ(s.processing.filterStrength, 7);

    for (int q : {4, 65535}) {
        Fields f;
        f.quantity = q;
        EXPECT_EQ(Load(f).record.quantity, MeasuredQuantity::Emf) << q;
    }
    Fields conductivity;
    conductivity.quantity = 3;
    EXPECT_EQ(Load(conductivity).record.quantity, MeasuredQuantity::Conductivity);
}

TEST(ResultFileFallbacks, ColourFieldsAreCheckedOneByOne) {
    Fields f;
    f.colours = {256, 10, 65535, 1,     // slot 0: red and blue out of range
                 1,   2,  3,     2,     // slot 1: chosen 2 is kept and counts
                 4,   5,  6,     255,   // slot 2
                 7,   8,  9,     256};  // slot 3: chosen 256 gives 0
    const SharedState s = Load(f);
    const auto& c = s.display.colours;
    EXPECT_EQ(std::tie(c[0].red, c[0].green, c[0].blue, c[0].chosen), std::tuple(0, 10, 0, 1));
    EXPECT_EQ(c[1].chosen, 2);
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{1, 2, 3}));
    EXPECT_EQ(c[2].chosen, 255);
    EXPECT_EQ(std::tie(c[3].red, c[3].blue, c[3].chosen), std::tuple(7, 9, 0));
}

TEST(ResultFileFallbacks, ProcessingFieldsAndSeparator) {
    using Read = int (*)(const SharedState&);
    const Read criterion = [](const SharedState& s) { return int(s.processing.criterion); };
    const Read grid = [](const SharedState& s) { return s.processing.interpolationPointCount; };
    const Read automatic = [](const SharedState& s) { return s.processing.autoPointCount; };
    const Read kind = [](const SharedState& s) { return int(s.processing.interpolationKind); };
    const Read strength = [](const SharedState& s) { return s.processing.filterStrength; };
    const Read filter = [](const SharedState& s) { return int(s.processing.filterKind); };
    const Read comma = [](const SharedState& s) { return s.display.decimalComma; };
    const struct {
        int Fields::*field;
        int value;
        int expected;
        Read read;
    } cases[] = {
        {&Fields::criterion, 2, 1, criterion}, {&Fields::criterion, 1, 1, criterion},
        {&Fields::gridPoints, 500, 500, grid}, {&Fields::gridPoints, 501, 0, grid},
        {&Fields::autoCount, 1, 1, automatic}, {&Fields::autoCount, 2, 0, automatic},
        {&Fields::interpolation, 2, 1, kind},  {&Fields::strength, 15, 15, strength},
        {&Fields::strength, 16, 5, strength},  {&Fields::strength, 0, 0, strength},
        {&Fields::filter, 2, 1, filter},       {&Fields::comma, 2, 0, comma},
        {&Fields::comma, 0, 0, comma},
    };
    for (const auto& c : cases) {
        Fields f;
        f.*c.field = c.value;
        EXPECT_EQ(c.read(Load(f)), c.expected) << c.value;
    }
}

TEST(ResultFileFallbacks, EndValuesAreStoredAsRead) {
    Fields f;
    f.endEmf = "  +1.5E2 mV";
    f.endPh = "no number";
    SharedState s = Load(f);
    EXPECT_EQ(s.processing.endValueEmf, 150.0);
    EXPECT_EQ(s.processing.endValuePh, 0.0);

    // A number text longer than 30 characters is consumed whole and read from
    // its first 30; the fields after it are still in step.
    f.endEmf = "-1234.5" + std::string(40, '0') + "9";
    f.endPh = "6.5";
    s = Load(f);
    EXPECT_EQ(s.processing.endValueEmf, -1234.5);
    EXPECT_EQ(s.processing.endValuePh, 6.5);
    EXPECT_EQ(s.processing.filterStrength, 7);
}

TEST(ResultFileFallbacks, DescriptionLengths) {
    // Length 0: the saved record had no description, and loading empties it.
    Fields empty;
    empty.description = "";
    EXPECT_EQ(Description(Load(empty)), "");

    // Up to 1020 bytes are kept; longer stored descriptions are consumed whole
    // and cut to 1020, so the record saves again unchanged.
    for (int length : {1020, 1021, 1024, 5000, 65535}) {
        Fields f;
        f.description = std::string(static_cast<std::size_t>(length), 'd');
        f.description[1019] = 'e';
        const SharedState s = Load(f);
        std::string expected(1020, 'd');
        expected[1019] = 'e';
        EXPECT_EQ(Description(s), expected) << length;
        EXPECT_EQ(s.record.startTime.year, 2006) << length;
        EXPECT_EQ(s.display.decimalComma, 1) << length;
    }

    // A length beyond the end of the file is an early end.
    Fields cut;
    cut.descriptionLength = 4000;
    cut.description = "short";
    SharedState s = FullState();
    EXPECT_EQ(LoadRecord(s, cut.Build()), LoadStatus::UnexpectedEnd);
    EXPECT_EQ(SaveRecord(s), SaveRecord(FullState()));

    // A byte 0 inside the encoded description ends the text there.
    Fields zero;
    zero.description = std::string("ab\0cd", 5);
    EXPECT_EQ(Description(Load(zero)), "ab");
}

}  // namespace
}  // namespace kelm
