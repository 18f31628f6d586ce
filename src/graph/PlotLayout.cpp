#include "graph/PlotLayout.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/Quantity.h"

namespace kelm {

namespace {

// A distance in surface units, made safe for the int conversion: NaN (from an
// infinite or undefined value) counts as no distance, and the magnitude is
// limited so that the coordinate and the label boxes around it stay in range.
double SafeOffset(double distance) {
    if (std::isnan(distance)) {
        return 0.0;
    }
    constexpr double limit = kCoordinateLimit;
    return std::clamp(distance, -limit, limit);
}

// Surface units per unit of data over a range; 0 for an empty range and for a
// range too wide (or undefined) to scale, which collapses the axis.
double ScaleFactor(double extent, double range) {
    if (range == 0.0) {
        return 0.0;
    }
    const double k = extent / range;
    return std::isfinite(k) ? k : 0.0;
}

// trunc() of a frame position computed from the area.
int FramePosition(double position) {
    return static_cast<int>(SafeOffset(position));
}

void Widen(double v, double& low, double& high) {
    if (v > high) {
        high = v;
    }
    if (v < low) {
        low = v;
    }
}

void AddLine(ValueGridLines& lines, double value) {
    if (lines.lineCount < kMaxGridLines) {
        lines.lineValue[lines.lineCount++] = value;
    }
}

void SetLines(ValueGridLines& lines, std::initializer_list<double> values) {
    for (double v : values) {
        AddLine(lines, v);
    }
}

void RoundEmfAxis(AxisRanges& r, ValueGridLines& lines) {
    const double span = r.yMax - r.yMin;
    double step = 1.0;
    if (span > 100.0) {
        step = 500.0;
    } else if (span > 10.0) {
        step = 50.0;
    } else if (span > 1.0) {
        step = 5.0;
    }
    r.yMin = std::floor(r.yMin / step) * step;
    // A maximum already on a step still grows by one step.
    r.yMax = std::floor(r.yMax / step) * step + step;
    for (int j = 0; j < kMaxGridLines; ++j) {
        const double value = r.yMin + j * step;
        if (!(value <= r.yMax)) {
            break;
        }
        AddLine(lines, value);
    }
}

void RoundPhAxis(AxisRanges& r, ValueGridLines& lines) {
    if (r.yMin < -2.0 || r.yMax > 20.0) {
        SetLines(lines, {0.0, 7.0, 14.0});
    } else if (r.yMin < 0.0 || r.yMax > 14.0) {
        r.yMin = -2.0;
        r.yMax = 20.0;
        SetLines(lines, {-2.0, 0.0, 7.0, 14.0, 20.0});
    } else {
        r.yMin = 0.0;
        r.yMax = 14.0;
        SetLines(lines, {0.0, 7.0, 14.0});
    }
}

void RoundPxAxis(AxisRanges& r, ValueGridLines& lines) {
    if (r.yMin < -2.0 || r.yMax > 20.0) {
        SetLines(lines, {0.0, 10.0, 20.0});
    } else if (r.yMin < 0.0 || r.yMax > 14.0) {
        r.yMin = -2.0;
        r.yMax = 20.0;
        SetLines(lines, {0.0, 7.0, 14.0});
    } else if (r.yMax > 10.0) {
        r.yMin = 0.0;
        r.yMax = 14.0;
        SetLines(lines, {0.0, 7.0, 14.0});
    } else {
        r.yMin = 0.0;
        r.yMax = 10.0;
        SetLines(lines, {0.0, 5.0, 10.0});
    }
}

// A step of 1, 2 or 5 times a power of ten that divides `span` into three to
// eight parts, and no finer than `finest`; 0 when the span cannot be divided.
double RoundStep(double span, double finest) {
    if (!std::isfinite(span) || span < 0.0) {
        return 0.0;
    }
    if (span == 0.0) {
        return finest;
    }
    const double raw = span / 8.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * power;
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            step = m * power;
            break;
        }
    }
    return std::isfinite(step) ? std::max(step, finest) : 0.0;
}

// Lines at the multiples of the step within the range, at most kMaxGridLines.
void AddStepLines(ValueGridLines& lines, double low, double high, double step) {
    if (!(step > 0.0)) {
        return;
    }
    const double first = std::ceil(low / step - 1e-9);
    if (!std::isfinite(first) || std::abs(first) > 1e15) {
        return;  // steps too fine for this magnitude cannot be counted
    }
    for (int k = 0; k < kMaxGridLines; ++k) {
        const double value = (first + k) * step;
        if (value > high + step * 1e-9) {
            break;
        }
        AddLine(lines, value);
    }
}

void FitSeries(const double* x, const double* y, int from, int count, double lo, double hi,
               ValueFit& fit) {
    const auto widen = [&fit](double v) {
        if (std::isfinite(v)) {
            fit.low = std::min(fit.low, v);
            fit.high = std::max(fit.high, v);
        }
    };
    for (int i = std::max(from, 0); i < count; ++i) {
        if (x[i] >= lo && x[i] <= hi) {
            widen(y[i]);
        }
        if (i == from) {
            continue;
        }
        for (double end : {lo, hi}) {
            const double a = x[i - 1] - end;
            const double b = x[i] - end;
            if ((a < 0.0 && b > 0.0) || (a > 0.0 && b < 0.0)) {
                widen(y[i - 1] + (y[i] - y[i - 1]) * (a / (a - b)));
            }
        }
    }
}

// An end given as a finite number, else what stands in for an open one.
double EndOr(double given, double open) {
    return std::isfinite(given) ? given : open;
}

}  // namespace

bool VisibleRange::Whole() const {
    return !std::isfinite(xFrom) && !std::isfinite(xTo) && !std::isfinite(yFrom) &&
           !std::isfinite(yTo);
}

PlottedSeries BuildPlottedSeries(const TitrationRecord& record, ViewMode mode) {
    PlottedSeries series;
    series.count = PointCount(record);
    for (int i = 0; i < series.count; ++i) {
        const CurvePoint& p = record.points[i];
        series.x[i] = p.volume;
        if (mode == ViewMode::Curve) {
            series.y[i] = p.value;
        } else if (i == 0) {
            series.y[i] = 0.0;  // no point before the first to take a slope from
        } else {
            const CurvePoint& before = record.points[i - 1];
            const double dv = p.volume - before.volume;
            series.y[i] = dv == 0.0 ? 0.0 : (p.value - before.value) / dv;
        }
    }
    return series;
}

ProcessedSeries ProcessedSeriesOf(const SharedState& state, ViewMode mode) {
    if (state.curve.curveProcessed == 0) {
        return {};
    }
    const ProcessedCurve& c = state.curve;
    return {std::clamp(state.processing.interpolationPointCount, 0, kMaxGridPoints),
            c.gridVolume.data(),
            mode == ViewMode::Curve ? c.smoothedValue.data() : c.firstDerivative.data()};
}

AxisRanges ComputeRanges(const PlottedSeries& series, const ProcessedSeries& processed,
                         ViewMode mode) {
    AxisRanges r;
    if (series.count <= 0) {
        return r;
    }
    r.xMin = r.xMax = series.x[0];
    r.yMin = r.yMax = series.y[0];
    for (int i = 0; i < series.count; ++i) {
        Widen(series.x[i], r.xMin, r.xMax);
        Widen(series.y[i], r.yMin, r.yMax);
    }
    // The derivative view draws the processed derivative from its second grid
    // point on, as FitDrawnValues fits it: the first takes no part in its values.
    const int firstValue = mode == ViewMode::Curve ? 0 : 1;
    if (processed.count > 0) {
        AxisRanges p{processed.x[0], processed.x[0], kOpenEnd, -kOpenEnd};
        for (int k = 0; k < processed.count; ++k) {
            Widen(processed.x[k], p.xMin, p.xMax);
            if (k >= firstValue) {
                Widen(processed.y[k], p.yMin, p.yMax);
            }
        }
        r.xMin = std::min(r.xMin, p.xMin);
        r.xMax = std::max(r.xMax, p.xMax);
        if (!(p.yMin <= p.yMax)) {
            return r;  // no value drawn: the measured ones stand
        }
        if (mode == ViewMode::Derivative) {
            r.yMin = p.yMin;
            r.yMax = p.yMax;
        } else {
            r.yMin = std::min(r.yMin, p.yMin);
            r.yMax = std::max(r.yMax, p.yMax);
        }
    }
    return r;
}

RoundedValueAxis RoundValueAxis(const AxisRanges& ranges, MeasuredQuantity quantity,
                                ViewMode mode) {
    RoundedValueAxis axis{ranges, {}};
    if (mode == ViewMode::Derivative) {
        if (ranges.yMin <= 0.0 && 0.0 <= ranges.yMax) {
            AddLine(axis.lines, 0.0);
        }
        return axis;
    }
    switch (quantity) {
        case MeasuredQuantity::Emf:
            RoundEmfAxis(axis.ranges, axis.lines);
            break;
        case MeasuredQuantity::Ph:
            RoundPhAxis(axis.ranges, axis.lines);
            break;
        case MeasuredQuantity::Px:
            RoundPxAxis(axis.ranges, axis.lines);
            break;
        case MeasuredQuantity::Conductivity:
            break;
    }
    return axis;
}

bool MeasuredPointsDrawn(const SharedState& state, ViewMode mode) {
    return state.curve.curveProcessed == 0 || mode == ViewMode::Curve;
}

void FitDrawnValues(const PlottedSeries& series, bool measuredDrawn,
                    const ProcessedSeries& processed, ViewMode mode, const VisibleRange& visible,
                    ValueFit& fit) {
    const int first = mode == ViewMode::Curve ? 0 : 1;
    const double xFrom = EndOr(visible.xFrom, -kOpenEnd);
    const double xTo = EndOr(visible.xTo, kOpenEnd);
    if (measuredDrawn) {
        FitSeries(series.x.data(), series.y.data(), first, series.count, xFrom, xTo, fit);
    }
    if (processed.count > 0) {
        FitSeries(processed.x, processed.y, first, processed.count, xFrom, xTo, fit);
    }
}

RoundedValueAxis VisibleAxis(const AxisRanges& whole, const VisibleRange& visible,
                             const ValueFit& fit, int decimals) {
    RoundedValueAxis axis;
    AxisRanges& r = axis.ranges;
    r.xMin = EndOr(visible.xFrom, whole.xMin);
    r.xMax = EndOr(visible.xTo, whole.xMax);
    if (r.xMin > r.xMax) {
        // An open end on the wrong side of the given one: nothing beyond it.
        r.xMax = r.xMin;
    }
    const bool lowGiven = std::isfinite(visible.yFrom);
    const bool highGiven = std::isfinite(visible.yTo);
    r.yMin = EndOr(visible.yFrom, fit.Any() ? fit.low : whole.yMin);
    r.yMax = EndOr(visible.yTo, fit.Any() ? fit.high : whole.yMax);
    if (r.yMin > r.yMax) {
        std::swap(r.yMin, r.yMax);
    }
    const double finest = std::pow(10.0, -std::clamp(decimals, 0, 12));
    if (r.yMin == r.yMax && !(lowGiven && highGiven)) {
        // A flat stretch: room around it, as far as the ends are open.
        const double room = std::max(std::abs(r.yMin) * 0.1, 10.0 * finest);
        r.yMin -= lowGiven ? 0.0 : (highGiven ? room : room / 2);
        r.yMax += highGiven ? 0.0 : (lowGiven ? room : room / 2);
    }
    const double step = RoundStep(r.yMax - r.yMin, finest);
    if (step > 0.0) {
        if (!lowGiven) {
            r.yMin = std::floor(r.yMin / step) * step;
        }
        if (!highGiven) {
            r.yMax = std::ceil(r.yMax / step) * step;
        }
    }
    AddStepLines(axis.lines, r.yMin, r.yMax, step);
    return axis;
}

PlotScale ComputePlotScale(const AxisRanges& ranges, const PlotArea& area) {
    PlotScale s;
    s.xMin = ranges.xMin;
    s.xMax = ranges.xMax;
    s.yMin = ranges.yMin;
    s.yMax = ranges.yMax;
    s.kx = ScaleFactor(0.8 * area.width, ranges.xMax - ranges.xMin);
    s.ky = ScaleFactor(0.8 * area.height, ranges.yMax - ranges.yMin);
    s.x0 = FramePosition(0.1 * area.width) +
           std::clamp(area.leftOffset, -kCoordinateLimit, kCoordinateLimit);
    s.yBase = FramePosition(0.95 * area.height);
    s.xAxisEnd = FramePosition(0.95 * area.width);
    s.yAxisTop = FramePosition(0.05 * area.height);
    return s;
}

SurfacePoint MapMeasuredPoint(const PlotScale& s, double x, double y) {
    return {s.x0 + static_cast<int>(SafeOffset((x - s.xMin) * s.kx)),
            s.yBase - static_cast<int>(SafeOffset((y - s.yMin) * s.ky))};
}

SurfacePoint MapCurvePoint(const PlotScale& s, double x, double y) {
    return {static_cast<int>(s.x0 + SafeOffset((x - s.xMin) * s.kx)),
            static_cast<int>(s.yBase - SafeOffset((y - s.yMin) * s.ky))};
}

int MapGridLine(const PlotScale& s, double value) {
    return s.yBase - static_cast<int>(SafeOffset((value - s.yMin) * s.ky));
}

DataPoint UnmapPoint(const PlotScale& s, int px, int py) {
    return {s.kx != 0.0 ? s.xMin + (px - s.x0) / s.kx : s.xMin,
            s.ky != 0.0 ? s.yMin + (s.yBase - py) / s.ky : s.yMin};
}

bool InPlottedRange(const PlotScale& s, double x, double y) {
    return x >= s.xMin && x <= s.xMax && y >= s.yMin && y <= s.yMax;
}

bool ClipToPlottedRange(const PlotScale& s, DataPoint& a, DataPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(dx) || !std::isfinite(dy)) {
        return false;
    }
    // The part of the segment a + t (b - a), 0 <= t <= 1, inside each edge.
    double t0 = 0.0;
    double t1 = 1.0;
    const auto edge = [&t0, &t1](double p, double q) {
        if (p == 0.0) {
            return q >= 0.0;
        }
        const double t = q / p;
        if (p < 0.0) {
            if (t > t1) {
                return false;
            }
            t0 = std::max(t0, t);
        } else {
            if (t < t0) {
                return false;
            }
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, a.x - s.xMin) || !edge(dx, s.xMax - a.x) || !edge(-dy, a.y - s.yMin) ||
        !edge(dy, s.yMax - a.y)) {
        return false;
    }
    const DataPoint from = a;
    if (t1 < 1.0) {
        b = {from.x + t1 * dx, from.y + t1 * dy};
    }
    if (t0 > 0.0) {
        a = {from.x + t0 * dx, from.y + t0 * dy};
    }
    return true;
}

NumberString VolumeText(const SharedState& state, double volume) {
    return FormatNumber(state, volume, 3);
}

NumberString ValueText(const SharedState& state, double value) {
    return FormatNumber(state, value, QuantityValueDecimals(state.record.quantity));
}

void LayOutPlot(const SharedState& state, const PlotArea& area, const VisibleRange& visible,
                PlotLayout& layout) {
    const ViewMode mode = state.display.viewMode;
    layout.series = BuildPlottedSeries(state.record, mode);
    layout.processed = ProcessedSeriesOf(state, mode);
    const AxisRanges whole = ComputeRanges(layout.series, layout.processed, mode);
    layout.zoomed = !visible.Whole();
    RoundedValueAxis axis;
    if (!layout.zoomed) {
        axis = RoundValueAxis(whole, state.record.quantity, mode);
    } else {
        ValueFit fit;
        FitDrawnValues(layout.series, MeasuredPointsDrawn(state, mode), layout.processed, mode,
                       visible, fit);
        axis = VisibleAxis(whole, visible, fit, QuantityValueDecimals(state.record.quantity));
    }

    layout.lines = axis.lines;
    layout.scale = ComputePlotScale(axis.ranges, area);
    for (int i = 0; i < layout.series.count; ++i) {
        layout.measured[i] = MapMeasuredPoint(layout.scale, layout.series.x[i], layout.series.y[i]);
    }
}

}  // namespace kelm
