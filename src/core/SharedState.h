// The one application-lifetime object that holds the titration record, every
// settings record and the processed curve. Plain public data in fixed-size
// arrays: the dialogs, the processing engine, the graph and the file code all
// read and write these fields directly, on the one user-interface thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/RecordNotes.h"

namespace kelm {

enum class MeasuredQuantity : std::int32_t { Emf = 0, Ph = 1, Px = 2, Conductivity = 3 };
enum class EndPointCriterion : std::int32_t { GivenValue = 0, DerivativeExtremum = 1 };
enum class InterpolationKind : std::int32_t { Linear = 0, CubicSpline = 1 };
enum class FilterKind : std::int32_t { MovingAverage = 0, PolynomialSmoothing = 1 };
enum class ViewMode : std::int32_t { Curve = 0, Derivative = 1 };
enum class ColourRole : std::int32_t {
    SourcePoints = 0,
    InterpolatedCurve = 1,
    EquivalencePointMarks = 2
};

inline constexpr int kPointCapacity = 256;          // storage of the points array
inline constexpr int kMaxPoints = 255;              // at most this many are ever filled
inline constexpr int kDescriptionCapacity = 1024;   // zero-terminated buffer
inline constexpr int kMaxDescriptionLength = 1020;  // what the dialog and the file accept
inline constexpr int kGridCapacity = 512;           // storage of each processed-curve array
inline constexpr int kMaxGridPoints = 500;          // largest grid a run builds
inline constexpr int kEquivalenceCapacity = 256;    // storage of the equivalence-point list
inline constexpr int kMaxEquivalencePoints = 250;   // most points a search keeps
inline constexpr int kColourSlots = 20;             // 0..9 the record's, 10..19 the preferred ones
inline constexpr int kRecordColourSlots = 10;
inline constexpr int kColumnWidthSlots = 10;

struct CurvePoint {
    double volume = 0.0;  // total titrant added up to this point
    double value = 0.0;   // in the unit of the record's quantity
};

struct StartTime {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
};

struct TitrationRecord {
    std::int32_t pointCount = -1;  // -1 until the first record exists; readers treat < 0 as 0
    std::array<CurvePoint, kPointCapacity> points{};
    MeasuredQuantity quantity = MeasuredQuantity::Emf;
    StartTime startTime{};
    std::int32_t startTimeKnown = 0;
    std::array<char, kDescriptionCapacity> description{};  // code page 1251, zero-terminated
    std::int32_t selectedPoint = -1;
};

struct ProcessingSettings {
    EndPointCriterion criterion = EndPointCriterion::DerivativeExtremum;
    double endValueEmf = 0.0;
    double endValuePh = 7.0;
    InterpolationKind interpolationKind = InterpolationKind::CubicSpline;
    std::int32_t autoPointCount = 1;
    // The grid size N: the user's "Число точек" and the size the last run used.
    std::int32_t interpolationPointCount = 0;
    FilterKind filterKind = FilterKind::PolynomialSmoothing;
    std::int32_t filterStrength = 5;
    friend bool operator==(const ProcessingSettings&, const ProcessingSettings&) = default;
};

struct LinkSettings {
    std::int32_t comPort = 1;
    std::int32_t networkNumber = 0;
    std::int32_t channel = 1;
    std::int32_t codeZ = 16;
    std::int32_t codeR = 16;
};

// How the entry dialog takes a point's value; stored as its number.
enum class RecordMode : std::int32_t {
    Manual = 0,      // typed in by hand
    Instrument = 1,  // read once a second, recorded by the user
    Timer = 2,       // recorded timerSeconds after the addition
    Drift = 3,       // recorded once the EMF drift is at most driftLimit
};

struct AcquisitionSettings {
    RecordMode recordMode = RecordMode::Manual;
    double timerSeconds = 30.0;
    double driftLimit = 1.0;  // mV per minute
};

struct EntryDialogLayout {
    std::int32_t layoutSaved = 0;
    std::int32_t width = 600;
    std::int32_t height = 500;
    std::array<std::int32_t, kColumnWidthSlots> columnWidth{100, 100, 100, 100, 100,
                                                            100, 100, 100, 100, 100};
};

struct ColourEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::int32_t chosen = 0;  // any value other than 0 counts as chosen
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct DisplaySettings {
    ViewMode viewMode = ViewMode::Curve;
    std::int32_t decimalComma = 0;
    std::array<ColourEntry, kColourSlots> colours{};
};

struct EquivalencePoint {
    double volume = 0.0;
    double value = 0.0;
    double derivative = 0.0;
};

// The processing output. Its grid size is ProcessingSettings::interpolationPointCount.
struct ProcessedCurve {
    std::array<double, kGridCapacity> gridVolume{};
    std::array<double, kGridCapacity> interpolatedValue{};
    std::array<double, kGridCapacity> smoothedValue{};
    std::array<double, kGridCapacity> firstDerivative{};
    std::array<double, kGridCapacity> secondDerivative{};
    std::int32_t curveProcessed = 0;  // set by every completed run, cleared by a load
    std::int32_t equivalencePointCount = 0;
    std::array<EquivalencePoint, kEquivalenceCapacity> equivalencePoints{};
    // How the points of the last run were evaluated, and what was doubtful;
    // it goes with the point list and is cleared with it.
    EvaluationOutcome evaluation;
};

struct SharedState {
    TitrationRecord record;
    ProcessingSettings processing;
    // What the record keeps beyond the original format (the readable block).
    RecordNotes notes;
    LinkSettings link;
    AcquisitionSettings acquisition;
    EntryDialogLayout entryLayout;
    DisplaySettings display;
    ProcessedCurve curve;

    // Which record is open: every New and every load gives the next number,
    // so that work begun on one record is never finished in another that
    // merely looks the same (empty, or as long).
    std::uint32_t recordIdentity = 0;

    // Created flags of the three modeless dialogs.
    bool entryDialogCreated = false;
    bool processingDialogCreated = false;
    bool resultsDialogCreated = false;

    // Set by the view of the current document; RedrawViews calls it.
    std::function<void()> redrawViews;
    // Set by the journal of unsaved records; RecordChanged calls it.
    std::function<void()> recordChanged;
};

// The built-in colour of each role, also the preferred colours of a first start.
Rgb BuiltInColour(ColourRole role);

// The document's New: copies the preferred colours into the record's slots and
// empties the record, keeping its quantity, processing choices and notes, but
// of its result data not the sample's name and amount (nor a standard's
// mass), which belong to the titration before; the record gets a new identity.
bool NewRecord(SharedState& state);

// The colour the graph draws a role with: the record's, else the preferred, else built-in.
Rgb ResolveColour(const SharedState& state, ColourRole role);

// Stores a chosen colour for the open record and as the preferred one, then redraws.
void ChooseColour(SharedState& state, ColourRole role, Rgb rgb);

// Asks every view to repaint; does nothing before a view has registered.
void RedrawViews(SharedState& state);

// Every writer of the record calls it after a change that a result file keeps
// (a point, the description, the quantity, a processing setting, a run's
// results), so that the journal keeps the record whole; does nothing while no
// journal listens.
void RecordChanged(SharedState& state);

// The start-up defaults set after the command line and before the settings file.
void ApplyStartDefaults(SharedState& state);

// codeR sent to the instrument for a quantity: 16, 48, 48, 64.
std::int32_t QuantityCodeR(MeasuredQuantity quantity);

// Stores a channel and, for the channels 1..9 that have a code, codeZ = 15 +
// channel. Channel 0 is the meter's first channel (codeZ 16): the protocol has
// no code of its own for it, and the settings file reads a stored 0 back as 1.
// Any other channel keeps the codeZ it had.
void SetChannel(LinkSettings& link, std::int32_t channel);

// Number of meaningful points: pointCount clamped to 0..255.
int PointCount(const TitrationRecord& record);

// The description up to its first zero byte, or the whole buffer when it has
// none: never read past the buffer.
std::string_view DescriptionView(const TitrationRecord& record);

}  // namespace kelm
