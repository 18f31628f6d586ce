// What every drawing pass shares: how the screen and the page differ (pens,
// label boxes, marker sizes) and the frame drawn around the data (reference
// lines, axes, axis titles, value and volume labels). Used by the graph's own
// passes only.
#pragma once

#include <array>
#include <bitset>
#include <string_view>

#include "core/SharedState.h"
#include "graph/LabelPlacer.h"
#include "graph/PlotLayout.h"
#include "graph/Surface.h"

namespace kelm {

inline constexpr int kSizeClasses = 3;  // n < 20, n < 100, otherwise

// The value axis's title: the quantity ("E, ЭДС" for EMF) or its derivative
// ("dE/dV"), in code page 1251.
std::string_view ValueAxisTitle(MeasuredQuantity quantity, ViewMode mode);

// The marker size class of a record of n measured points.
int SizeClass(int n);

struct PassPens {
    Pen axis;
    Pen grid;
    Pen measured;
    Pen curve;
    Pen equivalence;
};

// What the screen and the page draw differently. Every position is in the
// pass's own units with y growing downwards; the page negates y afterwards.
struct PassStyle {
    PlotArea area;
    PassPens pens;
    int labelHalfHeight;  // value labels span py ± this, and end at x0 - 10
    int pointLabelLeft;   // left of the first and the selected point's value labels
    int valueTitleLeft;   // the value-axis title spans yAxisTop ± valueTitleHalfHeight
    int valueTitleRight;
    int valueTitleHalfHeight;
    HAlign valueTitleAlign;
    int volumeTitleHalfWidth;  // the volume-axis title ends at yBase, centred on xAxisEnd
    int volumeTitleHeight;
    int volumeLabelTop;  // volume labels span yBase + top to yBase + bottom
    int volumeLabelBottom;
    int endPointHalfWidth;  // volume labels of the first and the last point
    int markHalfWidth;      // volume labels of the selected and the equivalence points
    int labelGap;           // the least room between two labels' texts
    TextRect startTime;
    TextRect description;
    std::array<int, kSizeClasses> squareHalf;
    std::array<int, kSizeClasses> circleRadius;
    int selectedOuterHalf;  // n < 20 only
    int selectedInnerHalf;  // n < 100
    SurfacePoint dotEnd;    // the selected point's dot runs from (-1, -1) to this, around the point
};

// The screen in a client area of width x height pixels, in the colours of `state`.
PassStyle ScreenStyle(const SharedState& state, int width, int height);
// The page: a fixed 160 x 120 mm layout in 0.1 mm, in black with grey grid lines.
PassStyle PageStyle();

// The page surface takes y growing upwards; the pass computes it growing
// downwards, so every y is negated on the way.
class YNegatedSurface final : public Surface {
public:
    explicit YNegatedSurface(Surface& target) : target_(target) {}
    void SelectPen(const Pen& pen) override { target_.SelectPen(pen); }
    void MoveTo(int x, int y) override { target_.MoveTo(x, -y); }
    void LineTo(int x, int y) override { target_.LineTo(x, -y); }
    void Rectangle(int left, int top, int right, int bottom) override {
        target_.Rectangle(left, -top, right, -bottom);
    }
    void Ellipse(int left, int top, int right, int bottom) override {
        target_.Ellipse(left, -top, right, -bottom);
    }
    void DrawText(std::string_view text, const TextRect& r, HAlign h, VAlign v) override {
        target_.DrawText(text, {r.left, -r.top, r.right, -r.bottom}, h, v);
    }
    TextSize MeasureText(std::string_view text) override { return target_.MeasureText(text); }
    void Flush() override { target_.Flush(); }

private:
    Surface& target_;
};

// Draws the frame of one pass on its scale. Numbers are written as the
// record of `textState` has them (its quantity's decimals, its separator).
class FrameDrawer {
public:
    FrameDrawer(const SharedState& textState, Surface& surface, const PassStyle& style,
                const PlotScale& scale)
        : textState_(textState), surface_(surface), style_(style), scale_(scale) {}

    void Line(SurfacePoint from, SurfacePoint to);

    // A zoomed pass cuts off what lies outside the plotted ranges.
    void SetZoomed(bool zoomed) { zoomed_ = zoomed; }
    bool Zoomed() const { return zoomed_; }
    // Whether a point of the data is drawn: always for the whole curve.
    bool Shows(double x, double y) const { return !zoomed_ || InPlottedRange(scale_, x, y); }
    bool ShowsVolume(double x) const { return !zoomed_ || (x >= scale_.xMin && x <= scale_.xMax); }
    // A line of the data from a to b, mapped as pa and pb. For the whole
    // curve it is drawn as it is; zoomed, it is cut at the edges of the
    // plotted ranges and left out when none of it lies inside.
    void DataLine(DataPoint a, SurfacePoint pa, DataPoint b, SurfacePoint pb);
    // A value at the value axis, level with py; its box starts at `left`.
    Label ValueLabel(double value, int py, int left) const;
    // A volume under the volume axis, centred on px.
    Label VolumeLabel(double volume, int px, int halfWidth) const;
    Label ValueTitle(MeasuredQuantity quantity, ViewMode mode) const;
    Label VolumeTitle() const;
    void Draw(const Label& label);
    // The horizontal lines in the grid pen, each with its value label when
    // `labelled` says so; nothing when there are none.
    void ReferenceLines(const ValueGridLines& lines, std::bitset<kMaxGridLines> labelled);
    // Both axes in the axis pen.
    void Axes();
    // The two axis titles; they are always drawn, so they are put down first.
    void ClaimTitles(LabelPlacer& placer, MeasuredQuantity quantity, ViewMode mode);
    void AxisTitles(MeasuredQuantity quantity, ViewMode mode);

private:
    const SharedState& textState_;
    Surface& surface_;
    const PassStyle& style_;
    const PlotScale& scale_;
    bool zoomed_ = false;
};

}  // namespace kelm
