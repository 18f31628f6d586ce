#include "graph/OverlayDrawing.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "graph/GraphFrame.h"
#include "graph/PlotLayout.h"

namespace kelm {

namespace {

constexpr std::array<Rgb, kOverlayColours> kPalette = {{
    {31, 119, 180},   // blue
    {214, 39, 40},    // red
    {44, 160, 44},    // green
    {255, 127, 14},   // orange
    {148, 103, 189},  // violet
    {140, 86, 75},    // brown
    {227, 119, 194},  // pink
    {23, 190, 207},   // cyan
}};

// Where the legend goes and how its entries flow: left to right in cells of
// one width, then on to the next row.
struct LegendStyle {
    int left;
    int top;
    int right;
    int cellWidth;
    int rowHeight;
    int swatchLength;  // the line in the curve's pen before its name
    int textGap;
    int curveWidth;  // of the curves' pens
};

// On the screen the legend takes the band above the data, right of the
// value-axis title: the data begin at 15 % of the height.
LegendStyle ScreenLegend(const PassStyle& style) {
    return {style.valueTitleRight + 10, 2, style.area.width - 2, 160, 20, 24, 6, 2};
}

// On the page it stands where the single graph lists its equivalence points.
LegendStyle PageLegend() {
    return {300, 1250, 1580, 640, 50, 100, 30, 4};
}

// What a pass without any record writes its (unused) labels with.
const SharedState kNoRecord{};

// The curve that gives the quantity, the value axis and the number format:
// the first with points, or none when no curve has any.
const SharedState* FirstWithPoints(std::span<const OverlayCurve> curves) {
    for (const OverlayCurve& c : curves) {
        if (c.state != nullptr && PointCount(c.state->record) > 0) {
            return c.state;
        }
    }
    return nullptr;
}

class OverlayPass {
public:
    OverlayPass(std::span<const OverlayCurve> curves, const SharedState* first, ViewMode mode,
                Surface& surface, const PassStyle& style, const LegendStyle& legend)
        : curves_(curves),
          first_(first),
          mode_(mode),
          surface_(surface),
          style_(style),
          legend_(legend),
          frame_(first != nullptr ? *first : kNoRecord, surface, style, scale_) {}

    void Run() {
        surface_.SelectPen(style_.pens.axis);
        if (first_ == nullptr) {
            return;
        }
        const MeasuredQuantity quantity = first_->record.quantity;
        const RoundedValueAxis axis = RoundValueAxis(CommonRanges(), quantity, mode_);
        scale_ = ComputePlotScale(axis.ranges, style_.area);
        frame_.ReferenceLines(axis.lines);
        frame_.Axes();
        frame_.AxisTitles(quantity, mode_);
        DrawRangeLabels(axis.lines);
        for (std::size_t i = 0; i < curves_.size(); ++i) {
            if (curves_[i].state != nullptr) {
                DrawCurve(*curves_[i].state, OverlayPen(static_cast<int>(i), legend_.curveWidth));
            }
        }
        DrawLegend();
    }

private:
    // The ranges of every curve, merged as those of one record and its
    // processed curve are.
    AxisRanges CommonRanges() {
        AxisRanges all;
        bool any = false;
        for (const OverlayCurve& c : curves_) {
            if (c.state == nullptr || PointCount(c.state->record) == 0) {
                continue;
            }
            series_ = BuildPlottedSeries(c.state->record, mode_);
            const AxisRanges r = ComputeRanges(series_, ProcessedSeriesOf(*c.state, mode_));
            all = any ? AxisRanges{std::min(all.xMin, r.xMin), std::max(all.xMax, r.xMax),
                                   std::min(all.yMin, r.yMin), std::max(all.yMax, r.yMax)}
                      : r;
            any = true;
        }
        return all;
    }

    // No curve labels points of its own, so the axes are labelled at the ends
    // of the common ranges: the volumes always, the values when fewer than two
    // reference lines give the scale.
    void DrawRangeLabels(const ValueGridLines& lines) {
        const SurfacePoint low = MapMeasuredPoint(scale_, scale_.xMin, scale_.yMin);
        const SurfacePoint high = MapMeasuredPoint(scale_, scale_.xMax, scale_.yMax);
        frame_.VolumeLabel(scale_.xMin, low.x, style_.endPointHalfWidth);
        if (scale_.xMax != scale_.xMin) {
            frame_.VolumeLabel(scale_.xMax, high.x, style_.endPointHalfWidth);
        }
        if (lines.lineCount >= 2) {
            return;
        }
        // A label that would stand on the one line's own label is left out.
        const auto clear = [&](int py) {
            const int lineY = lines.lineCount == 1 ? MapGridLine(scale_, lines.lineValue[0]) : 0;
            return lines.lineCount == 0 || std::abs(py - lineY) >= style_.labelHalfHeight;
        };
        if (clear(low.y)) {
            frame_.ValueLabel(scale_.yMin, low.y, style_.pointLabelLeft);
        }
        if (high.y != low.y && clear(high.y)) {
            frame_.ValueLabel(scale_.yMax, high.y, style_.pointLabelLeft);
        }
    }

    // As the single graph draws a record, in one pen and without the
    // projections, labels and selection that belong to one record alone.
    void DrawCurve(const SharedState& state, const Pen& pen) {
        const int n = PointCount(state.record);
        if (n == 0) {
            return;
        }
        surface_.SelectPen(pen);
        const int firstSegment = mode_ == ViewMode::Curve ? 1 : 2;
        const ProcessedSeries processed = ProcessedSeriesOf(state, mode_);
        const bool isProcessed = state.curve.curveProcessed != 0;
        series_ = BuildPlottedSeries(state.record, mode_);
        const auto measured = [&](int i) {
            return MapMeasuredPoint(scale_, series_.x[i], series_.y[i]);
        };
        if (!isProcessed) {
            for (int i = firstSegment; i < n; ++i) {
                frame_.Line(measured(i - 1), measured(i));
            }
        }
        for (int k = firstSegment; k < processed.count; ++k) {
            frame_.Line(MapCurvePoint(scale_, processed.x[k - 1], processed.y[k - 1]),
                        MapCurvePoint(scale_, processed.x[k], processed.y[k]));
        }
        const int size = SizeClass(n);
        if (!isProcessed || mode_ == ViewMode::Curve) {
            const int h = style_.squareHalf[size];
            for (int i = firstSegment - 1; i < n; ++i) {
                const SurfacePoint p = measured(i);
                surface_.Rectangle(p.x - h, p.y - h, p.x + h, p.y + h);
            }
        }
        if (isProcessed) {
            const int r = style_.circleRadius[size];
            const int count =
                std::clamp(state.curve.equivalencePointCount, 0, kEquivalenceCapacity);
            for (int j = 0; j < count; ++j) {
                const EquivalencePoint& e = state.curve.equivalencePoints[j];
                const SurfacePoint p = MapCurvePoint(
                    scale_, e.volume, mode_ == ViewMode::Curve ? e.value : e.derivative);
                surface_.Ellipse(p.x - r, p.y - r, p.x + r, p.y + r);
            }
        }
    }

    void DrawLegend() {
        const LegendStyle& l = legend_;
        int x = l.left;
        int y = l.top;
        for (std::size_t i = 0; i < curves_.size(); ++i) {
            if (x != l.left && x + l.cellWidth > l.right) {
                x = l.left;
                y += l.rowHeight;
            }
            surface_.SelectPen(OverlayPen(static_cast<int>(i), l.curveWidth));
            const int middle = y + l.rowHeight / 2;
            frame_.Line({x, middle}, {x + l.swatchLength, middle});
            surface_.DrawText(
                curves_[i].label,
                {x + l.swatchLength + l.textGap, y, x + l.cellWidth - l.textGap, y + l.rowHeight},
                HAlign::Left, VAlign::Centre);
            x += l.cellWidth;
        }
    }

    std::span<const OverlayCurve> curves_;
    const SharedState* first_;  // the first curve with points, or none
    ViewMode mode_;
    Surface& surface_;
    const PassStyle& style_;
    const LegendStyle& legend_;
    PlotScale scale_;
    FrameDrawer frame_;     // draws on scale_ once it is computed
    PlottedSeries series_;  // scratch for one curve at a time
};

}  // namespace

Pen OverlayPen(int index, int width) {
    const int i = index < 0 ? 0 : index;
    return {(i / kOverlayColours) % 2 == 0 ? PenStyle::Solid : PenStyle::Dot, width,
            kPalette[i % kOverlayColours]};
}

void DrawOverlay(std::span<const OverlayCurve> curves, ViewMode mode, Surface& surface, int width,
                 int height) {
    const SharedState* first = FirstWithPoints(curves);
    const PassStyle style = ScreenStyle(first != nullptr ? *first : kNoRecord, width, height);
    const LegendStyle legend = ScreenLegend(style);
    OverlayPass(curves, first, mode, surface, style, legend).Run();
}

void PrintOverlay(std::span<const OverlayCurve> curves, ViewMode mode, Surface& surface) {
    YNegatedSurface page(surface);
    const PassStyle style = PageStyle();
    const LegendStyle legend = PageLegend();
    OverlayPass(curves, FirstWithPoints(curves), mode, page, style, legend).Run();
}

}  // namespace kelm
