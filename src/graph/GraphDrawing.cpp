#include "graph/GraphDrawing.h"

#include <array>

#include "core/Cp1251.h"
#include "core/FixedText.h"
#include "core/NumberText.h"
#include "core/Quantity.h"
#include "graph/GraphFrame.h"
#include "graph/PlotLayout.h"
#include "processing/EvaluationNotice.h"

namespace kelm {

namespace {

constexpr Cp1251Literal kEquivalenceListHeading("Точки эквивалентности:");

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
        : state_(state), surface_(surface), style_(style), frame_(state, surface, style, Scale()) {}

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

        frame_.ReferenceLines(layout_.lines);
        frame_.Axes();
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

    void Square(SurfacePoint p, int h) { surface_.Rectangle(p.x - h, p.y - h, p.x + h, p.y + h); }

    void DrawTitles() {
        frame_.AxisTitles(state_.record.quantity, state_.display.viewMode);
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
            frame_.ValueLabel(state_.record.points[0].value, p.y, style_.pointLabelLeft);
        }
        frame_.VolumeLabel(state_.record.points[0].volume, p.x, style_.endPointHalfWidth);
    }

    // Lines from a point to the y axis (at x `toX`) and down to the x axis, and
    // its labels.
    void Projections(int i, int toX, int valueLabelLeft, int volumeHalfWidth) {
        const SurfacePoint p = layout_.measured[i];
        surface_.SelectPen(style_.pens.grid);
        if (curveMode_) {
            frame_.Line(p, {toX, p.y});
        }
        if (curveMode_ || !processed_) {
            frame_.Line(p, {p.x, Scale().yBase});
        }
        if (curveMode_) {
            frame_.ValueLabel(state_.record.points[i].value, p.y, valueLabelLeft);
        }
        frame_.VolumeLabel(state_.record.points[i].volume, p.x, volumeHalfWidth);
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
            frame_.Line(layout_.measured[i - 1], layout_.measured[i]);
        }
    }

    void DrawProcessedCurve() {
        surface_.SelectPen(style_.pens.curve);
        const ProcessedSeries& c = layout_.processed;
        for (int k = 0; k < c.count; ++k) {
            curvePoints_[k] = MapCurvePoint(Scale(), c.x[k], c.y[k]);
        }
        for (int k = firstSegment_; k < c.count; ++k) {
            frame_.Line(curvePoints_[k - 1], curvePoints_[k]);
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
            frame_.Line({p.x - 1, p.y - 1}, {p.x + style_.dotEnd.x, p.y + style_.dotEnd.y});
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
            frame_.Line(p, {p.x, Scale().yBase});
            surface_.Ellipse(p.x - r, p.y - r, p.x + r, p.y + r);
            frame_.VolumeLabel(e.volume, p.x, style_.markHalfWidth);
        }
    }

    SharedState& state_;
    Surface& surface_;
    const PassStyle& style_;
    PlotLayout layout_;
    FrameDrawer frame_;  // draws on layout_.scale once it is laid out
    std::array<SurfacePoint, kGridCapacity> curvePoints_{};
    int n_ = 0;
    bool curveMode_ = true;
    bool processed_ = false;
    int firstSegment_ = 1;
    int sizeClass_ = 0;
};

// Below the graph: the heading and one row per equivalence point, 5 mm apart;
// the list shows the value also when the graph shows the derivative. A layer
// above may add a note to each row (its result) and a line below the rows
// (the sample and the titrant). A run that searched in a window or chose among
// the points says so in a row of its own below them.
void DrawEquivalenceList(const SharedState& state, Surface& page,
                         std::span<const std::string> pointNotes,
                         std::span<const std::string> listNotes) {
    page.DrawText(kEquivalenceListHeading, {300, 1250, 800, 1300}, HAlign::Left, VAlign::Top);
    const int count = std::clamp(state.curve.equivalencePointCount, 0, kEquivalenceCapacity);
    for (int j = 0; j < count; ++j) {
        const EquivalencePoint& e = state.curve.equivalencePoints[j];
        const int top = 1300 + 50 * j;
        page.DrawText(VolumeText(state, e.volume), {300, top, 500, top + 50}, HAlign::Left,
                      VAlign::Top);
        page.DrawText(ValueText(state, e.value), {600, top, 800, top + 50}, HAlign::Left,
                      VAlign::Top);
        if (std::size_t(j) < pointNotes.size()) {
            page.DrawText(pointNotes[j], {900, top, 1640, top + 50}, HAlign::Left, VAlign::Top);
        }
    }
    int row = count;
    for (const std::string& note : listNotes) {
        const int top = 1300 + 50 * row++;
        page.DrawText(note, {300, top, 1640, top + 50}, HAlign::Left, VAlign::Top);
    }
    if (state.curve.curveProcessed != 0) {
        const auto summary =
            EvaluationSummary(state.curve.evaluation.applied, state.display.decimalComma != 0);
        if (!summary.empty()) {
            const int top = 1300 + 50 * row;
            page.DrawText(summary.view(), {300, top, 1600, top + 50}, HAlign::Left, VAlign::Top);
        }
    }
}

}  // namespace

void DrawGraph(SharedState& state, Surface& surface, int width, int height) {
    const PassStyle style = ScreenStyle(state, width, height);
    GraphPass(state, surface, style).Run();
}

void PrintGraph(SharedState& state, Surface& surface, std::span<const std::string> pointNotes,
                std::span<const std::string> listNotes) {
    YNegatedSurface page(surface);
    const PassStyle style = PageStyle();
    if (GraphPass(state, page, style).Run()) {
        DrawEquivalenceList(state, page, pointNotes, listNotes);
    }
}

int PageFontHeight(int screenDotsPerInchY) {
    return static_cast<int>(static_cast<long long>(screenDotsPerInchY) * 256 / 720);
}

}  // namespace kelm
