#include "graph/GraphDrawing.h"

#include <array>

#include "core/Cp1251.h"
#include "core/FixedText.h"
#include "core/NumberText.h"
#include "core/Quantity.h"
#include "graph/PlotLayout.h"

namespace kelm {

namespace {

constexpr Cp1251Literal kEmfTitle("E, ЭДС");
constexpr Cp1251Literal kEmfDerivativeTitle("dE/dV");
constexpr Cp1251Literal kPhDerivativeTitle("dpH/dV");
constexpr Cp1251Literal kPxDerivativeTitle("dpX/dV");
constexpr Cp1251Literal kConductivityDerivativeTitle("dУЭП/dV");
constexpr Cp1251Literal kVolumeTitle("V, Объём");
constexpr Cp1251Literal kEquivalenceListHeading("Точки эквивалентности:");

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{150, 150, 150};

constexpr int kSizeClasses = 3;  // n < 20, n < 100, otherwise

int SizeClass(int n) {
    return n < 20 ? 0 : n < 100 ? 1 : 2;
}

std::string_view ValueAxisTitle(MeasuredQuantity quantity, ViewMode mode) {
    // The curve is titled with the quantity's name, EMF with its symbol too.
    if (mode == ViewMode::Curve) {
        return quantity == MeasuredQuantity::Emf ? kEmfTitle.view() : QuantityName(quantity);
    }
    switch (quantity) {
        case MeasuredQuantity::Emf:
            return kEmfDerivativeTitle;
        case MeasuredQuantity::Ph:
            return kPhDerivativeTitle;
        case MeasuredQuantity::Px:
            return kPxDerivativeTitle;
        case MeasuredQuantity::Conductivity:
            break;
    }
    return kConductivityDerivativeTitle;
}

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
    TextRect startTime;
    TextRect description;
    std::array<int, kSizeClasses> squareHalf;
    std::array<int, kSizeClasses> circleRadius;
    int selectedOuterHalf;  // n < 20 only
    int selectedInnerHalf;  // n < 100
    SurfacePoint dotEnd;    // the selected point's dot runs from (-1, -1) to this, around the point
};

PassStyle ScreenStyle(const SharedState& state, int width, int height) {
    const auto pen = [](PenStyle style, Rgb colour) { return Pen{style, 1, colour}; };
    return {
        .area = {width, height, 0},
        .pens = {pen(PenStyle::Solid, kBlack), pen(PenStyle::Dot, kGrey),
                 pen(PenStyle::Solid, ResolveColour(state, ColourRole::SourcePoints)),
                 pen(PenStyle::Solid, ResolveColour(state, ColourRole::InterpolatedCurve)),
                 pen(PenStyle::Solid, ResolveColour(state, ColourRole::EquivalencePointMarks))},
        .labelHalfHeight = 20,
        .pointLabelLeft = 0,
        .valueTitleLeft = 5,
        .valueTitleRight = 100,
        .valueTitleHalfHeight = 20,
        .valueTitleAlign = HAlign::Right,
        .volumeTitleHalfWidth = 40,
        .volumeTitleHeight = 20,
        .volumeLabelTop = 2,
        .volumeLabelBottom = 20,
        .endPointHalfWidth = 20,
        .markHalfWidth = 40,
        .startTime = {2, 22, width - 2, 42},
        .description = {2, 2, width - 2, 22},
        .squareHalf = {3, 2, 1},
        .circleRadius = {4, 3, 2},
        .selectedOuterHalf = 2,
        .selectedInnerHalf = 1,
        .dotEnd = {0, 0},
    };
}

// The page: a fixed 160 x 120 mm layout in 0.1 mm, in black with grey grid lines.
PassStyle PageStyle() {
    const Pen black{PenStyle::Solid, 4, kBlack};
    return {
        .area = {1600, 1200, 200},
        .pens = {black, Pen{PenStyle::Dot, 3, kGrey}, black, black, black},
        .labelHalfHeight = 200,
        .pointLabelLeft = 200,
        .valueTitleLeft = 200,
        .valueTitleRight = 1000,
        .valueTitleHalfHeight = 200,
        .valueTitleAlign = HAlign::Left,
        .volumeTitleHalfWidth = 400,
        .volumeTitleHeight = 100,
        .volumeLabelTop = 20,
        .volumeLabelBottom = 200,
        .endPointHalfWidth = 200,
        .markHalfWidth = 400,
        .startTime = {220, 70, 1580, 120},
        .description = {220, 20, 1580, 70},
        .squareHalf = {6, 5, 4},
        .circleRadius = {7, 6, 4},
        .selectedOuterHalf = 4,
        .selectedInnerHalf = 3,
        .dotEnd = {1, -1},
    };
}

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

private:
    Surface& target_;
};

void AppendTwoDigits(FixedText<64>& text, int value) {
    text.Append(TwoDigitText(value).view());
}

// dd.mm.yyyy, two spaces, hh:mm.
FixedText<64> StartTimeText(const StartTime& t) {
    FixedText<64> text;
    AppendTwoDigits(text, t.day);
    text.Append('.');
    AppendTwoDigits(text, t.month);
    text.Append('.');
    AppendTwoDigits(text, t.year);
    text.Append("  ");
    AppendTwoDigits(text, t.hour);
    text.Append(':');
    AppendTwoDigits(text, t.minute);
    return text;
}

// One pass of the steps the screen and the page share. Returns false when the
// record is empty and nothing was drawn.
class GraphPass {
public:
    GraphPass(SharedState& state, Surface& surface, const PassStyle& style)
        : state_(state), surface_(surface), style_(style) {}

    bool Run() {
        // Recording the view's document for RedrawViews is the view's own part.
        surface_.SelectPen(style_.pens.axis);
        if (state_.record.pointCount <= 0) {
            state_.record.pointCount = 0;
            return false;
        }
        LayOutPlot(state_, style_.area, layout_);
        n_ = layout_.series.count;
        curveMode_ = state_.display.viewMode == ViewMode::Curve;
        processed_ = state_.curve.curveProcessed != 0;
        firstSegment_ = curveMode_ ? 1 : 2;
        sizeClass_ = SizeClass(n_);

        DrawReferenceLines();
        DrawAxes();
        DrawTitles();
        DrawFirstPoint();
        DrawLastPoint();
        DrawSelectedPoint();
        if (!processed_) {
            DrawMeasuredLine();
        } else {
            DrawProcessedCurve();
        }
        if (!processed_ || curveMode_) {
            DrawMarkers();
        }
        if (processed_) {
            DrawEquivalencePoints();
        }
        return true;
    }

private:
    const PlotScale& Scale() const { return layout_.scale; }

    void Line(SurfacePoint from, SurfacePoint to) {
        surface_.MoveTo(from.x, from.y);
        surface_.LineTo(to.x, to.y);
    }

    void Square(SurfacePoint p, int h) { surface_.Rectangle(p.x - h, p.y - h, p.x + h, p.y + h); }

    void ValueLabel(double value, int py, int left) {
        const int h = style_.labelHalfHeight;
        surface_.DrawText(ValueText(state_, value), {left, py - h, Scale().x0 - 10, py + h},
                          HAlign::Right, VAlign::Centre);
    }

    void VolumeLabel(double volume, int px, int halfWidth) {
        const int y = Scale().yBase;
        surface_.DrawText(VolumeText(state_, volume),
                          {px - halfWidth, y + style_.volumeLabelTop, px + halfWidth,
                           y + style_.volumeLabelBottom},
                          HAlign::Centre, VAlign::Top);
    }

    void DrawReferenceLines() {
        if (layout_.lines.lineCount == 0) {
            return;
        }
        surface_.SelectPen(style_.pens.grid);
        for (int j = 0; j < layout_.lines.lineCount; ++j) {
            const double value = layout_.lines.lineValue[j];
            const int py = MapGridLine(Scale(), value);
            Line({Scale().x0, py}, {Scale().xAxisEnd, py});
            ValueLabel(value, py, 0);
        }
    }

    void DrawAxes() {
        const PlotScale& s = Scale();
        surface_.SelectPen(style_.pens.axis);
        Line({s.x0, s.yBase}, {s.xAxisEnd, s.yBase});
        Line({s.x0, s.yBase}, {s.x0, s.yAxisTop});
    }

    void DrawTitles() {
        const PlotScale& s = Scale();
        const int hh = style_.valueTitleHalfHeight;
        surface_.DrawText(
            ValueAxisTitle(state_.record.quantity, state_.display.viewMode),
            {style_.valueTitleLeft, s.yAxisTop - hh, style_.valueTitleRight, s.yAxisTop + hh},
            style_.valueTitleAlign, VAlign::Centre);
        const int hw = style_.volumeTitleHalfWidth;
        surface_.DrawText(
            kVolumeTitle,
            {s.xAxisEnd - hw, s.yBase - style_.volumeTitleHeight, s.xAxisEnd + hw, s.yBase},
            HAlign::Centre, VAlign::Top);
        if (state_.record.startTimeKnown != 0) {
            surface_.DrawText(StartTimeText(state_.record.startTime), style_.startTime,
                              HAlign::Right, VAlign::Top);
        }
        surface_.DrawText(DescriptionView(state_.record), style_.description, HAlign::Centre,
                          VAlign::Top);
    }

    void DrawFirstPoint() {
        const SurfacePoint p = layout_.measured[0];
        if (curveMode_) {
            ValueLabel(state_.record.points[0].value, p.y, style_.pointLabelLeft);
        }
        VolumeLabel(state_.record.points[0].volume, p.x, style_.endPointHalfWidth);
    }

    // Lines from a point to the y axis (at x `toX`) and down to the x axis, and
    // its labels.
    void Projections(int i, int toX, int valueLabelLeft, int volumeHalfWidth) {
        const SurfacePoint p = layout_.measured[i];
        surface_.SelectPen(style_.pens.grid);
        if (curveMode_) {
            Line(p, {toX, p.y});
        }
        if (curveMode_ || !processed_) {
            Line(p, {p.x, Scale().yBase});
        }
        if (curveMode_) {
            ValueLabel(state_.record.points[i].value, p.y, valueLabelLeft);
        }
        VolumeLabel(state_.record.points[i].volume, p.x, volumeHalfWidth);
    }

    void DrawLastPoint() {
        if (n_ - 1 >= 1) {
            Projections(n_ - 1, Scale().x0, 0, style_.endPointHalfWidth);
        }
    }

    void DrawSelectedPoint() {
        const int s = state_.record.selectedPoint;
        if (s >= 1 && s <= n_ - 2) {
            Projections(s, layout_.measured[0].x, style_.pointLabelLeft, style_.markHalfWidth);
        }
    }

    void DrawMeasuredLine() {
        surface_.SelectPen(style_.pens.measured);
        for (int i = firstSegment_; i < n_; ++i) {
            Line(layout_.measured[i - 1], layout_.measured[i]);
        }
    }

    void DrawProcessedCurve() {
        surface_.SelectPen(style_.pens.curve);
        const ProcessedSeries& c = layout_.processed;
        for (int k = 0; k < c.count; ++k) {
            curvePoints_[k] = MapCurvePoint(Scale(), c.x[k], c.y[k]);
        }
        for (int k = firstSegment_; k < c.count; ++k) {
            Line(curvePoints_[k - 1], curvePoints_[k]);
        }
    }

    void DrawMarkers() {
        surface_.SelectPen(style_.pens.measured);
        const int selected = state_.record.selectedPoint;
        for (int i = firstSegment_ - 1; i < n_; ++i) {
            const SurfacePoint p = layout_.measured[i];
            Square(p, style_.squareHalf[sizeClass_]);
            if (i != selected) {
                continue;
            }
            if (n_ < 20) {
                Square(p, style_.selectedOuterHalf);
            }
            if (n_ < 100) {
                Square(p, style_.selectedInnerHalf);
            }
            Line({p.x - 1, p.y - 1}, {p.x + style_.dotEnd.x, p.y + style_.dotEnd.y});
        }
    }

    void DrawEquivalencePoints() {
        const int count = std::clamp(state_.curve.equivalencePointCount, 0, kEquivalenceCapacity);
        const int r = style_.circleRadius[sizeClass_];
        for (int j = 0; j < count; ++j) {
            const EquivalencePoint& e = state_.curve.equivalencePoints[j];
            const SurfacePoint p =
                MapCurvePoint(Scale(), e.volume, curveMode_ ? e.value : e.derivative);
            surface_.SelectPen(style_.pens.equivalence);
            Line(p, {p.x, Scale().yBase});
            surface_.Ellipse(p.x - r, p.y - r, p.x + r, p.y + r);
            VolumeLabel(e.volume, p.x, style_.markHalfWidth);
        }
    }

    SharedState& state_;
    Surface& surface_;
    const PassStyle& style_;
    PlotLayout layout_;
    std::array<SurfacePoint, kGridCapacity> curvePoints_{};
    int n_ = 0;
    bool curveMode_ = true;
    bool processed_ = false;
    int firstSegment_ = 1;
    int sizeClass_ = 0;
};

// Below the graph: the heading and one row per equivalence point, 5 mm apart;
// the list shows the value also when the graph shows the derivative.
void DrawEquivalenceList(const SharedState& state, Surface& page) {
    page.DrawText(kEquivalenceListHeading, {300, 1250, 800, 1300}, HAlign::Left, VAlign::Top);
    const int count = std::clamp(state.curve.equivalencePointCount, 0, kEquivalenceCapacity);
    for (int j = 0; j < count; ++j) {
        const EquivalencePoint& e = state.curve.equivalencePoints[j];
        const int top = 1300 + 50 * j;
        page.DrawText(VolumeText(state, e.volume), {300, top, 500, top + 50}, HAlign::Left,
                      VAlign::Top);
        page.DrawText(ValueText(state, e.value), {600, top, 800, top + 50}, HAlign::Left,
                      VAlign::Top);
    }
}

}  // namespace

void DrawGraph(SharedState& state, Surface& surface, int width, int height) {
    const PassStyle style = ScreenStyle(state, width, height);
    GraphPass(state, surface, style).Run();
}

void PrintGraph(SharedState& state, Surface& surface) {
    YNegatedSurface page(surface);
    const PassStyle style = PageStyle();
    if (GraphPass(state, page, style).Run()) {
        DrawEquivalenceList(state, page);
    }
}

int PageFontHeight(int screenDotsPerInchY) {
    return static_cast<int>(static_cast<long long>(screenDotsPerInchY) * 256 / 720);
}

}  // namespace kelm
