#include "graph/GraphDrawing.h"

#include <algorithm>
#include <array>
#include <bitset>

#include "core/Cp1251.h"
#include "core/FixedText.h"
#include "core/NumberText.h"
#include "core/Quantity.h"
#include "graph/GraphFrame.h"
#include "graph/LabelPlacer.h"
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
    GraphPass(SharedState& state, Surface& surface, const PassStyle& style,
              const VisibleRange& visible)
        : state_(state),
          surface_(surface),
          style_(style),
          visible_(visible),
          frame_(state, surface, style, Scale()) {}

    bool Run() {
        // Recording the view's document for RedrawViews is the view's own part.
        surface_.SelectPen(style_.pens.axis);
        if (state_.record.pointCount <= 0) {
            state_.record.pointCount = 0;
            return false;
        }
        LayOutPlot(state_, style_.area, visible_, layout_);
        frame_.SetZoomed(layout_.zoomed);
        n_ = layout_.series.count;
        curveMode_ = state_.display.viewMode == ViewMode::Curve;
        processed_ = state_.curve.curveProcessed != 0;
        firstSegment_ = curveMode_ ? 1 : 2;
        sizeClass_ = SizeClass(n_);
        selected_ = state_.record.selectedPoint;
        markCount_ = std::clamp(state_.curve.equivalencePointCount, 0, kEquivalenceCapacity);

        PlaceLabels();
        frame_.ReferenceLines(layout_.lines, shown_.lines);
        frame_.Axes();
        DrawTitles();
        DrawRangeEnds();
        DrawFirstPoint();
        DrawLastPoint();
        DrawSelectedPoint();
        if (!processed_) {
            DrawMeasuredLine();
        } else {
            DrawProcessedCurve();
        }
        if (MeasuredPointsDrawn(state_, state_.display.viewMode)) {
            DrawMarkers();
        }
        if (processed_) {
            DrawEquivalencePoints();
        }
        return true;
    }

private:
    // Which labels a pass draws: those that stand clear of the labels put down
    // before them, in this order: the axis titles; the ends of a zoomed volume
    // range; the first and the last point's labels, the ends of the curve; the
    // equivalence points' volumes; the reference lines' values; the selected
    // point's labels. Zoomed, only the labels of what is in view.
    struct ShownLabels {
        bool rangeStart = false;
        bool rangeEnd = false;
        bool firstValue = false;
        bool firstVolume = false;
        bool lastValue = false;
        bool lastVolume = false;
        bool selectedValue = false;
        bool selectedVolume = false;
        std::bitset<kMaxGridLines> lines;
        std::bitset<kEquivalenceCapacity> marks;
    };

    const PlotScale& Scale() const { return layout_.scale; }

    bool HasLast() const { return n_ - 1 >= 1; }
    bool HasSelected() const { return selected_ >= 1 && selected_ <= n_ - 2; }

    bool ShowsPoint(int i) const { return frame_.Shows(layout_.series.x[i], layout_.series.y[i]); }
    bool ShowsVolume(int i) const { return frame_.ShowsVolume(layout_.series.x[i]); }
    DataPoint SeriesPoint(int i) const { return {layout_.series.x[i], layout_.series.y[i]}; }

    // The ends of a zoomed volume range, at the ends of the data's width.
    Label RangeStartLabel() const {
        return frame_.VolumeLabel(Scale().xMin, Scale().x0, style_.endPointHalfWidth);
    }
    Label RangeEndLabel() const {
        return frame_.VolumeLabel(Scale().xMax, MapCurvePoint(Scale(), Scale().xMax, 0.0).x,
                                  style_.endPointHalfWidth);
    }
    bool HasRangeEnd() const { return layout_.zoomed && Scale().xMax != Scale().xMin; }

    // The value label of measured point i (curve mode only) and its volume label.
    Label PointValueLabel(int i, int left) const {
        return frame_.ValueLabel(state_.record.points[i].value, layout_.measured[i].y, left);
    }
    Label PointVolumeLabel(int i, int halfWidth) const {
        return frame_.VolumeLabel(state_.record.points[i].volume, layout_.measured[i].x, halfWidth);
    }
    DataPoint MarkData(int j) const {
        const EquivalencePoint& e = state_.curve.equivalencePoints[j];
        return {e.volume, curveMode_ ? e.value : e.derivative};
    }
    SurfacePoint MarkPoint(int j) const {
        const DataPoint d = MarkData(j);
        return MapCurvePoint(Scale(), d.x, d.y);
    }
    Label MarkLabel(int j) const {
        return frame_.VolumeLabel(state_.curve.equivalencePoints[j].volume, MarkPoint(j).x,
                                  style_.markHalfWidth);
    }

    void PlaceLabels() {
        placer_ = LabelPlacer(style_.labelGap);
        shown_ = {};
        frame_.ClaimTitles(placer_, state_.record.quantity, state_.display.viewMode);
        const auto claim = [this](const Label& label) { return placer_.Claim(surface_, label); };
        shown_.rangeStart = layout_.zoomed && claim(RangeStartLabel());
        shown_.rangeEnd = HasRangeEnd() && claim(RangeEndLabel());
        // A point's value label stands level with it, its volume label under it.
        const auto value = [&](int i, int left) {
            return curveMode_ && ShowsPoint(i) && claim(PointValueLabel(i, left));
        };
        const auto volume = [&](int i, int halfWidth) {
            return ShowsVolume(i) && claim(PointVolumeLabel(i, halfWidth));
        };
        shown_.firstValue = value(0, style_.pointLabelLeft);
        shown_.firstVolume = volume(0, style_.endPointHalfWidth);
        if (HasLast()) {
            shown_.lastValue = value(n_ - 1, 0);
            shown_.lastVolume = volume(n_ - 1, style_.endPointHalfWidth);
        }
        if (processed_) {
            for (int j = 0; j < markCount_; ++j) {
                shown_.marks[j] = frame_.ShowsVolume(MarkData(j).x) && claim(MarkLabel(j));
            }
        }
        for (int j = 0; j < layout_.lines.lineCount; ++j) {
            const double value = layout_.lines.lineValue[j];
            shown_.lines[j] = claim(frame_.ValueLabel(value, MapGridLine(Scale(), value), 0));
        }
        if (HasSelected()) {
            shown_.selectedValue = value(selected_, style_.pointLabelLeft);
            shown_.selectedVolume = volume(selected_, style_.markHalfWidth);
        }
    }

    void DrawLabel(bool shown, const Label& label) {
        if (shown) {
            frame_.Draw(label);
        }
    }

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

    void DrawRangeEnds() {
        DrawLabel(shown_.rangeStart, RangeStartLabel());
        DrawLabel(shown_.rangeEnd, RangeEndLabel());
    }

    void DrawFirstPoint() {
        DrawLabel(shown_.firstValue, PointValueLabel(0, style_.pointLabelLeft));
        DrawLabel(shown_.firstVolume, PointVolumeLabel(0, style_.endPointHalfWidth));
    }

    // Lines from a point to the y axis (at x `toX`) and down to the x axis;
    // zoomed, only for a point in view.
    void Projections(int i, int toX) {
        if (!ShowsPoint(i)) {
            return;
        }
        const SurfacePoint p = layout_.measured[i];
        surface_.SelectPen(style_.pens.grid);
        if (curveMode_) {
            frame_.Line(p, {toX, p.y});
        }
        if (curveMode_ || !processed_) {
            frame_.Line(p, {p.x, Scale().yBase});
        }
    }

    void DrawLastPoint() {
        if (HasLast()) {
            Projections(n_ - 1, Scale().x0);
            DrawLabel(shown_.lastValue, PointValueLabel(n_ - 1, 0));
            DrawLabel(shown_.lastVolume, PointVolumeLabel(n_ - 1, style_.endPointHalfWidth));
        }
    }

    void DrawSelectedPoint() {
        if (HasSelected()) {
            Projections(selected_, layout_.measured[0].x);
            DrawLabel(shown_.selectedValue, PointValueLabel(selected_, style_.pointLabelLeft));
            DrawLabel(shown_.selectedVolume, PointVolumeLabel(selected_, style_.markHalfWidth));
        }
    }

    void DrawMeasuredLine() {
        surface_.SelectPen(style_.pens.measured);
        for (int i = firstSegment_; i < n_; ++i) {
            frame_.DataLine(SeriesPoint(i - 1), layout_.measured[i - 1], SeriesPoint(i),
                            layout_.measured[i]);
        }
    }

    void DrawProcessedCurve() {
        surface_.SelectPen(style_.pens.curve);
        const ProcessedSeries& c = layout_.processed;
        for (int k = 0; k < c.count; ++k) {
            curvePoints_[k] = MapCurvePoint(Scale(), c.x[k], c.y[k]);
        }
        for (int k = firstSegment_; k < c.count; ++k) {
            frame_.DataLine({c.x[k - 1], c.y[k - 1]}, curvePoints_[k - 1], {c.x[k], c.y[k]},
                            curvePoints_[k]);
        }
    }

    void DrawMarkers() {
        surface_.SelectPen(style_.pens.measured);
        for (int i = firstSegment_ - 1; i < n_; ++i) {
            if (!ShowsPoint(i)) {
                continue;
            }
            const SurfacePoint p = layout_.measured[i];
            Square(p, style_.squareHalf[sizeClass_]);
            if (i != selected_) {
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
        const int r = style_.circleRadius[sizeClass_];
        for (int j = 0; j < markCount_; ++j) {
            const DataPoint d = MarkData(j);
            if (!frame_.ShowsVolume(d.x)) {
                continue;
            }
            const SurfacePoint p = MarkPoint(j);
            surface_.SelectPen(style_.pens.equivalence);
            frame_.DataLine(d, p, {d.x, Scale().yMin}, {p.x, Scale().yBase});
            if (frame_.Shows(d.x, d.y)) {
                surface_.Ellipse(p.x - r, p.y - r, p.x + r, p.y + r);
            }
            DrawLabel(shown_.marks[j], MarkLabel(j));
        }
    }

    SharedState& state_;
    Surface& surface_;
    const PassStyle& style_;
    const VisibleRange& visible_;
    PlotLayout layout_;
    FrameDrawer frame_;  // draws on layout_.scale once it is laid out
    LabelPlacer placer_{0};
    ShownLabels shown_;
    std::array<SurfacePoint, kGridCapacity> curvePoints_{};
    int n_ = 0;
    bool curveMode_ = true;
    bool processed_ = false;
    int firstSegment_ = 1;
    int sizeClass_ = 0;
    int selected_ = -1;
    int markCount_ = 0;
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

void DrawGraph(SharedState& state, Surface& surface, int width, int height,
               const VisibleRange& visible) {
    const PassStyle style = ScreenStyle(state, width, height);
    GraphPass(state, surface, style, visible).Run();
    surface.Flush();
}

void LayOutScreen(const SharedState& state, int width, int height, const VisibleRange& visible,
                  PlotLayout& layout) {
    LayOutPlot(state, ScreenStyle(state, width, height).area, visible, layout);
}

void PrintGraph(SharedState& state, Surface& surface, std::span<const std::string> pointNotes,
                std::span<const std::string> listNotes, const VisibleRange& visible) {
    YNegatedSurface page(surface);
    const PassStyle style = PageStyle();
    if (GraphPass(state, page, style, visible).Run()) {
        DrawEquivalenceList(state, page, pointNotes, listNotes);
    }
    page.Flush();
}

int PageFontHeight(int screenDotsPerInchY) {
    return static_cast<int>(static_cast<long long>(screenDotsPerInchY) * 256 / 720);
}

}  // namespace kelm
