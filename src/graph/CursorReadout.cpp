#include "graph/CursorReadout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "core/Quantity.h"
#include "graph/GraphFrame.h"

namespace kelm {

namespace {

constexpr Cp1251Literal kVolume("V = ");
constexpr Cp1251Literal kMillilitres(" мл");
constexpr Cp1251Literal kMillivolts(" мВ");
constexpr Cp1251Literal kConductivityUnit(" мСм/см");
constexpr Cp1251Literal kSmoothed("сглаженная: ");
constexpr Cp1251Literal kPoint("точка ");
constexpr std::string_view kPartBreak = " | ";
constexpr std::string_view kValueBreak = "; ";

std::string_view Unit(MeasuredQuantity quantity) {
    switch (quantity) {
        case MeasuredQuantity::Emf:
            return kMillivolts;
        case MeasuredQuantity::Conductivity:
            return kConductivityUnit;
        case MeasuredQuantity::Ph:
        case MeasuredQuantity::Px:
            break;
    }
    return {};
}

class Readout {
public:
    explicit Readout(const SharedState& state) : state_(state) {}

    void Text(std::string_view text) { text_.Append(text); }
    void Break() { text_.Append(kPartBreak); }
    void Volume(double volume) {
        text_.Append(VolumeText(state_, volume).view());
        text_.Append(kMillilitres.view());
    }
    // A value of the quantity with its unit.
    void Value(double value) {
        text_.Append(ValueText(state_, value).view());
        text_.Append(Unit(state_.record.quantity));
    }
    // "name = value", the name of the quantity or of its derivative.
    void Named(ViewMode mode, double value) {
        const MeasuredQuantity q = state_.record.quantity;
        text_.Append(mode == ViewMode::Curve ? QuantityName(q) : ValueAxisTitle(q, mode));
        text_.Append(" = ");
        if (mode == ViewMode::Curve) {
            Value(value);
        } else {
            text_.Append(ValueText(state_, value).view());
        }
    }
    const ReadoutText& Done() const { return text_; }

private:
    const SharedState& state_;
    ReadoutText text_;
};

}  // namespace

bool InPlot(const PlotLayout& layout, SurfacePoint at) {
    const PlotScale& s = layout.scale;
    return at.x >= s.x0 && at.x <= s.xAxisEnd && at.y >= s.yAxisTop && at.y <= s.yBase;
}

int FirstCursorPoint(const SharedState& state) {
    const ViewMode mode = state.display.viewMode;
    return mode == ViewMode::Curve || !MeasuredPointsDrawn(state, mode) ? 0 : 1;
}

int PointAt(const SharedState& state, const PlotLayout& layout, SurfacePoint at) {
    const bool markers = MeasuredPointsDrawn(state, state.display.viewMode);
    int best = -1;
    long bestDistance = 0;
    for (int i = FirstCursorPoint(state); i < layout.series.count; ++i) {
        const SurfacePoint p = layout.measured[i];
        if (layout.zoomed &&
            !(markers ? InPlottedRange(layout.scale, layout.series.x[i], layout.series.y[i])
                      : layout.series.x[i] >= layout.scale.xMin &&
                            layout.series.x[i] <= layout.scale.xMax)) {
            continue;  // cut off: not on screen
        }
        const long dx = std::labs(long(p.x) - at.x);
        const long dy = markers ? std::labs(long(p.y) - at.y) : 0;
        const long distance = dx * dx + dy * dy;
        if (distance <= long(kPointRadius) * kPointRadius &&
            (best < 0 || distance < bestDistance)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int NearestGridPoint(const SharedState& state, double volume) {
    const ProcessedSeries grid = ProcessedSeriesOf(state, ViewMode::Curve);
    int best = -1;
    double bestDistance = 0.0;
    for (int k = 0; k < grid.count; ++k) {
        const double distance = std::abs(grid.x[k] - volume);
        if (std::isfinite(distance) && (best < 0 || distance < bestDistance)) {
            best = k;
            bestDistance = distance;
        }
    }
    return best;
}

DataPoint PointCursorData(const SharedState& state, const PlotLayout& layout, int index) {
    const int i = std::clamp(index, 0, std::max(layout.series.count - 1, 0));
    const DataPoint p{layout.series.x[i], layout.series.y[i]};
    if (MeasuredPointsDrawn(state, state.display.viewMode)) {
        return p;
    }
    const int k = NearestGridPoint(state, p.x);
    return k < 0 ? p : DataPoint{p.x, state.curve.firstDerivative[k]};
}

SurfacePoint PointCursor(const SharedState& state, const PlotLayout& layout, int index) {
    const int i = std::clamp(index, 0, std::max(layout.series.count - 1, 0));
    if (MeasuredPointsDrawn(state, state.display.viewMode)) {
        return layout.measured[i];  // on its marker, to the pixel
    }
    const DataPoint d = PointCursorData(state, layout, i);
    return {layout.measured[i].x, MapCurvePoint(layout.scale, d.x, d.y).y};
}

namespace {

// The readout of a volume and value, on measured point `point` (or -1).
ReadoutText Compose(const SharedState& state, DataPoint d, int point) {
    Readout text(state);
    text.Text(kVolume);
    text.Volume(d.x);
    text.Text(kValueBreak);
    text.Named(state.display.viewMode, d.y);
    if (const int k = NearestGridPoint(state, d.x); k >= 0) {
        text.Break();
        text.Text(kSmoothed);
        text.Value(state.curve.smoothedValue[k]);
        text.Text(kValueBreak);
        text.Named(ViewMode::Derivative, state.curve.firstDerivative[k]);
    }
    if (point >= 0) {
        text.Break();
        text.Text(kPoint);
        char number[16];
        const auto written = std::to_chars(number, number + sizeof number, point + 1);
        text.Text({number, static_cast<std::size_t>(written.ptr - number)});
    }
    return text.Done();
}

}  // namespace

ReadoutText CursorReadout(const SharedState& state, const PlotLayout& layout, SurfacePoint at) {
    if (layout.series.count <= 0 || !InPlot(layout, at)) {
        return {};
    }
    return Compose(state, UnmapPoint(layout.scale, at.x, at.y), PointAt(state, layout, at));
}

ReadoutText PointReadout(const SharedState& state, const PlotLayout& layout, int index) {
    if (layout.series.count <= 0) {
        return {};
    }
    const int i = std::clamp(index, 0, layout.series.count - 1);
    return Compose(state, PointCursorData(state, layout, i), i);
}

}  // namespace kelm
