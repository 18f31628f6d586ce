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

}  // namespace

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

AxisRanges ComputeRanges(const PlottedSeries& series, const ProcessedSeries& processed) {
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
    if (processed.count > 0) {
        AxisRanges p{processed.x[0], processed.x[0], processed.y[0], processed.y[0]};
        for (int k = 0; k < processed.count; ++k) {
            Widen(processed.x[k], p.xMin, p.xMax);
            Widen(processed.y[k], p.yMin, p.yMax);
        }
        r.xMin = std::min(r.xMin, p.xMin);
        r.xMax = std::max(r.xMax, p.xMax);
        r.yMin = std::min(r.yMin, p.yMin);
        r.yMax = std::max(r.yMax, p.yMax);
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

NumberString VolumeText(const SharedState& state, double volume) {
    return FormatNumber(state, volume, 3);
}

NumberString ValueText(const SharedState& state, double value) {
    return FormatNumber(state, value, QuantityValueDecimals(state.record.quantity));
}

void LayOutPlot(const SharedState& state, const PlotArea& area, PlotLayout& layout) {
    const ViewMode mode = state.display.viewMode;
    layout.series = BuildPlottedSeries(state.record, mode);
    layout.processed = ProcessedSeriesOf(state, mode);
    const RoundedValueAxis axis =
        RoundValueAxis(ComputeRanges(layout.series, layout.processed), state.record.quantity, mode);
    layout.lines = axis.lines;
    layout.scale = ComputePlotScale(axis.ranges, area);
    for (int i = 0; i < layout.series.count; ++i) {
        layout.measured[i] = MapMeasuredPoint(layout.scale, layout.series.x[i], layout.series.y[i]);
    }
}

}  // namespace kelm
