// The arithmetic of the graph: which series are plotted, the ranges of both
// axes, the rounding of the value axis with its reference lines, the scale and
// the frame, and the mapping of volumes and values to integer surface
// coordinates (y growing downwards). The screen and the page run exactly these
// steps at the start of every pass, each with its own PlotArea. Numbers only:
// nothing here draws, and nothing allocates.
#pragma once

#include <array>

#include "core/EvaluationSettings.h"
#include "core/NumberText.h"
#include "core/SharedState.h"

namespace kelm {

inline constexpr int kMaxGridLines = 10;

// The narrowest part of the graph shown, as a share of the whole curve's
// ranges: deeper, the labels could no longer tell the ends apart.
inline constexpr double kLeastVisibleShare = 1e-4;

// Mapped coordinates are clamped to this magnitude, so that data far outside
// the plotted range (reference lines of a tiny pH range, equivalence points,
// non-finite values) never overflow an int; any real surface is far smaller.
inline constexpr int kCoordinateLimit = 1'000'000;

// The measured points as plotted: the values in curve mode, the point-to-point
// derivative in derivative mode.
struct PlottedSeries {
    int count = 0;
    std::array<double, kPointCapacity> x{};
    std::array<double, kPointCapacity> y{};
};

struct AxisRanges {
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
};

// The values at which a labelled horizontal reference line is drawn.
struct ValueGridLines {
    int lineCount = 0;
    std::array<double, kMaxGridLines> lineValue{};
};

struct RoundedValueAxis {
    AxisRanges ranges;
    ValueGridLines lines;
};

// The drawing area a pass lays the graph out in, in surface units.
struct PlotArea {
    int width = 0;
    int height = 0;
    int leftOffset = 0;  // added to the x origin only
};

struct PlotScale {
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    double kx = 0.0;  // surface units per unit of volume
    double ky = 0.0;  // surface units per unit of value
    int x0 = 0;       // x of xMin: left end of the x axis, position of the y axis
    int yBase = 0;    // y of yMin: position of the x axis
    int xAxisEnd = 0;
    int yAxisTop = 0;
};

struct SurfacePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const SurfacePoint&, const SurfacePoint&) = default;
};

// The processed series the graph plots, or an empty one when there is none:
// gridVolume against smoothedValue (curve mode) or firstDerivative (derivative
// mode); its count is 0 unless curveProcessed is 1.
struct ProcessedSeries {
    int count = 0;
    const double* x = nullptr;
    const double* y = nullptr;
};

// What part of the graph a pass shows, in mL and in the unit of the view's
// value. An infinite end is open: the graph reaches as far as what it draws on
// that side. With all four ends open the whole curve is shown, laid out as it
// always was; otherwise the given volume range, and the given value range or
// the range of what is drawn inside the volume range, with reference lines at
// round values. (kOpenEnd is the core's: an infinite end.)
struct VisibleRange {
    double xFrom = -kOpenEnd;
    double xTo = kOpenEnd;
    double yFrom = -kOpenEnd;
    double yTo = kOpenEnd;

    bool Whole() const;
    friend bool operator==(const VisibleRange&, const VisibleRange&) = default;
};

PlottedSeries BuildPlottedSeries(const TitrationRecord& record, ViewMode mode);
ProcessedSeries ProcessedSeriesOf(const SharedState& state, ViewMode mode);

// The ranges of what a view draws: the measured series, merged with the
// processed series when it has points. The derivative view of a processed
// record draws the processed derivative alone, so its value range is that
// series' own: the measured point-to-point derivative, which one tiny dose can
// make thousands of times larger, would flatten the drawn peak. Equivalence
// points take no part.
AxisRanges ComputeRanges(const PlottedSeries& series, const ProcessedSeries& processed,
                         ViewMode mode);

RoundedValueAxis RoundValueAxis(const AxisRanges& ranges, MeasuredQuantity quantity, ViewMode mode);

// Whether a view draws the measured points: always but in the derivative view
// of a processed record.
bool MeasuredPointsDrawn(const SharedState& state, ViewMode mode);

// The lowest and highest value a view draws within a volume range.
struct ValueFit {
    double low = kOpenEnd;
    double high = -kOpenEnd;
    bool Any() const { return low <= high; }
};

// Widens `fit` by what is drawn of the series within the visible volume
// range: the points inside and, where a line crosses an end, the value there.
// The derivative view starts at the second point, as it is drawn.
void FitDrawnValues(const PlottedSeries& series, bool measuredDrawn,
                    const ProcessedSeries& processed, ViewMode mode, const VisibleRange& visible,
                    ValueFit& fit);

// The axes of a part of the graph: the volume range given, the value range
// given or, on an open end, the fitted one rounded out to its reference lines;
// lines at round steps no finer than a label can tell apart (10^-decimals).
// `whole` stands in for what the range leaves open and nothing fills.
RoundedValueAxis VisibleAxis(const AxisRanges& whole, const VisibleRange& visible,
                             const ValueFit& fit, int decimals);

PlotScale ComputePlotScale(const AxisRanges& ranges, const PlotArea& area);

// Measured points truncate the offset before adding it to the origin; curve and
// equivalence points truncate the sum. The two can land one unit apart.
SurfacePoint MapMeasuredPoint(const PlotScale& scale, double x, double y);
SurfacePoint MapCurvePoint(const PlotScale& scale, double x, double y);
int MapGridLine(const PlotScale& scale, double value);

// The volume and value at a surface point: the mapping turned round.
struct DataPoint {
    double x = 0.0;
    double y = 0.0;
};
DataPoint UnmapPoint(const PlotScale& scale, int px, int py);

// Whether a point lies in the plotted ranges, their ends included.
bool InPlottedRange(const PlotScale& scale, double x, double y);

// Cuts the segment from a to b to the plotted ranges; false when no part of
// it lies inside (or it is not finite).
bool ClipToPlottedRange(const PlotScale& scale, DataPoint& a, DataPoint& b);

// Label texts in the user's decimal separator: volumes with 3 decimals,
// values with the quantity's decimals.
NumberString VolumeText(const SharedState& state, double volume);
NumberString ValueText(const SharedState& state, double value);

// Everything a pass needs from the steps above, laid out once.
struct PlotLayout {
    PlottedSeries series;
    ProcessedSeries processed;
    ValueGridLines lines;
    PlotScale scale;
    bool zoomed = false;  // a part of the graph: what lies outside is cut off
    std::array<SurfacePoint, kPointCapacity> measured{};  // series mapped
};

// Lays out the record of `state` in `area`, the whole curve or the visible
// part of it; the record must have points.
void LayOutPlot(const SharedState& state, const PlotArea& area, const VisibleRange& visible,
                PlotLayout& layout);

}  // namespace kelm
