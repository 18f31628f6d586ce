#include "graph/OverlayDrawing.h"

#include <algorithm>
#include <array>
#include <bitset>

#include "core/Quantity.h"
#include "graph/GraphFrame.h"
#include "graph/LabelPlacer.h"
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
                const VisibleRange& visible, Surface& surface, const PassStyle& style,
                const LegendStyle& legend)
        : curves_(curves),
          first_(first),
          mode_(mode),
          visible_(visible),
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
        const RoundedValueAxis axis = Axis(quantity);
        scale_ = ComputePlotScale(axis.ranges, style_.area);
        frame_.SetZoomed(!visible_.Whole());
        PlaceRangeLabels(quantity, axis.lines);
        frame_.ReferenceLines(axis.lines, shownLines_);
        frame_.Axes();
        frame_.AxisTitles(quantity, mode_);
        DrawRangeLabels();
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
            const AxisRanges r = ComputeRanges(series_, ProcessedSeriesOf(*c.state, mode_), mode_);
            all = any ? AxisRanges{std::min(all.xMin, r.xMin), std::max(all.xMax, r.xMax),
                                   std::min(all.yMin, r.yMin), std::max(all.yMax, r.yMax)}
                      : r;
            any = true;
        }
        return all;
    }

    // The whole curves' axes, or those of the visible part of them all.
    RoundedValueAxis Axis(MeasuredQuantity quantity) {
        const AxisRanges whole = CommonRanges();
        if (visible_.Whole()) {
            return RoundValueAxis(whole, quantity, mode_);
        }
        ValueFit fit;
        for (const OverlayCurve& c : curves_) {
            if (c.state != nullptr && PointCount(c.state->record) > 0) {
                series_ = BuildPlottedSeries(c.state->record, mode_);
                FitDrawnValues(series_, MeasuredPointsDrawn(*c.state, mode_),
                               ProcessedSeriesOf(*c.state, mode_), mode_, visible_, fit);
            }
        }
        return VisibleAxis(whole, visible_, fit, QuantityValueDecimals(quantity));
    }

    // No curve labels points of its own, so the axes are labelled at the ends
    // of the common ranges: the volumes always, the values when fewer than two
    // reference lines give the scale. The volumes come first, then the
    // reference lines; a label that would overlap one put down before it is
    // left out.
    void PlaceRangeLabels(MeasuredQuantity quantity, const ValueGridLines& lines) {
        placer_ = LabelPlacer(style_.labelGap);
        frame_.ClaimTitles(placer_, quantity, mode_);
        rangeLabelCount_ = 0;
        const SurfacePoint low = MapMeasuredPoint(scale_, scale_.xMin, scale_.yMin);
        const SurfacePoint high = MapMeasuredPoint(scale_, scale_.xMax, scale_.yMax);
        const auto put = [this](const Label& label) {
            if (placer_.Claim(surface_, label)) {
                rangeLabels_[rangeLabelCount_++] = label;
            }
        };
        put(frame_.VolumeLabel(scale_.xMin, low.x, style_.endPointHalfWidth));
        if (scale_.xMax != scale_.xMin) {
            put(frame_.VolumeLabel(scale_.xMax, high.x, style_.endPointHalfWidth));
        }
        shownLines_.reset();
        for (int j = 0; j < lines.lineCount; ++j) {
            const double value = lines.lineValue[j];
            shownLines_[j] =
                placer_.Claim(surface_, frame_.ValueLabel(value, MapGridLine(scale_, value), 0));
        }
        if (lines.lineCount >= 2) {
            return;
        }
        put(frame_.ValueLabel(scale_.yMin, low.y, style_.pointLabelLeft));
        if (high.y != low.y) {
            put(frame_.ValueLabel(scale_.yMax, high.y, style_.pointLabelLeft));
        }
    }

    void DrawRangeLabels() {
        for (int i = 0; i < rangeLabelCount_; ++i) {
            frame_.Draw(rangeLabels_[i]);
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
        const auto data = [this](int i) { return DataPoint{series_.x[i], series_.y[i]}; };
        if (!isProcessed) {
            for (int i = firstSegment; i < n; ++i) {
                frame_.DataLine(data(i - 1), measured(i - 1), data(i), measured(i));
            }
        }
        for (int k = firstSegment; k < processed.count; ++k) {
            const DataPoint a{processed.x[k - 1], processed.y[k - 1]};
            const DataPoint b{processed.x[k], processed.y[k]};
            frame_.DataLine(a, MapCurvePoint(scale_, a.x, a.y), b, MapCurvePoint(scale_, b.x, b.y));
        }
        const int size = SizeClass(n);
        if (MeasuredPointsDrawn(state, mode_)) {
            const int h = style_.squareHalf[size];
            for (int i = firstSegment - 1; i < n; ++i) {
                if (!frame_.Shows(series_.x[i], series_.y[i])) {
                    continue;
                }
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
                const double y = mode_ == ViewMode::Curve ? e.value : e.derivative;
                if (!frame_.Shows(e.volume, y)) {
                    continue;
                }
                const SurfacePoint p = MapCurvePoint(scale_, e.volume, y);
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
    const VisibleRange& visible_;
    Surface& surface_;
    const PassStyle& style_;
    const LegendStyle& legend_;
    PlotScale scale_;
    FrameDrawer frame_;     // draws on scale_ once it is computed
    PlottedSeries series_;  // scratch for one curve at a time
    LabelPlacer placer_{0};
    std::bitset<kMaxGridLines> shownLines_;
    std::array<Label, 4> rangeLabels_{};  // the ends of both ranges that are drawn
    int rangeLabelCount_ = 0;
};

}  // namespace

Pen OverlayPen(int index, int width) {
    const int i = index < 0 ? 0 : index;
    return {(i / kOverlayColours) % 2 == 0 ? PenStyle::Solid : PenStyle::Dot, width,
            kPalette[i % kOverlayColours]};
}

void DrawOverlay(std::span<const OverlayCurve> curves, ViewMode mode, Surface& surface, int width,
                 int height, const VisibleRange& visible) {
    const SharedState* first = FirstWithPoints(curves);
    const PassStyle style = ScreenStyle(first != nullptr ? *first : kNoRecord, width, height);
    const LegendStyle legend = ScreenLegend(style);
    OverlayPass(curves, first, mode, visible, surface, style, legend).Run();
    surface.Flush();
}

void PrintOverlay(std::span<const OverlayCurve> curves, ViewMode mode, Surface& surface,
                  const VisibleRange& visible) {
    YNegatedSurface page(surface);
    const PassStyle style = PageStyle();
    const LegendStyle legend = PageLegend();
    OverlayPass(curves, FirstWithPoints(curves), mode, visible, page, style, legend).Run();
    page.Flush();
}

}  // namespace kelm
