// A part of the graph: the axes of a visible range, lines cut at its edges,
// and what the screen, the page and the overlay draw of it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "GraphRecords.h"
#include "RecordingSurface.h"
#include "graph/GraphDrawing.h"
#include "graph/OverlayDrawing.h"

namespace kelm {
namespace {

using test::Record;
using test::RecordingSurface;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

constexpr double kOpen = kOpenEnd;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// "xMin..xMax x yMin..yMax: line line ...", the numbers as %g writes them.
std::string AxisText(const RoundedValueAxis& axis) {
    const AxisRanges& r = axis.ranges;
    char text[200];
    std::snprintf(text, sizeof text, "%g..%g x %g..%g:", r.xMin, r.xMax, r.yMin, r.yMax);
    std::string out = text;
    for (int j = 0; j < axis.lines.lineCount; ++j) {
        std::snprintf(text, sizeof text, " %g", axis.lines.lineValue[j]);
        out += text;
    }
    return out;
}

TEST(VisibleAxis, GivenEndsStayFittedOnesRoundOutToTheirLines) {
    const AxisRanges whole{0, 10, 100, 600};
    const struct {
        VisibleRange visible;
        ValueFit fit;
        int decimals;
        const char* axis;
    } rows[] = {
        // A rectangle: as given, lines at round values inside.
        {{4.5, 5.5, 212, 587}, {}, 2, "4.5..5.5 x 212..587: 250 300 350 400 450 500 550"},
        // Volumes only: the values drawn there, rounded out to their lines.
        {{4, 6, -kOpen, kOpen},
         {231, 577},
         2,
         "4..6 x 200..600: 200 250 300 350 400 450 500 550 600"},
        // An open end takes the data's; not a number counts as open.
        {{kNaN, 6, -kOpen, kNaN}, {150, 350}, 2, "0..6 x 150..350: 150 200 250 300 350"},
        // Nothing drawn there: the whole values; an end beyond the data.
        {{20, kOpen, -kOpen, kOpen}, {}, 2, "20..20 x 100..600: 100 200 300 400 500 600"},
        {{4, 6, -kOpen, kOpen}, {250, 250}, 2, "4..6 x 235..265: 235 240 245 250 255 260 265"},
        // No finer than the labels' last decimal; upside down is put right.
        {{4, 6, 1.012, 1.0}, {}, 2, "4..6 x 1..1.012: 1 1.01"},
        {{4, 6, 1.0, 1.006}, {}, 3, "4..6 x 1..1.006: 1 1.001 1.002 1.003 1.004 1.005 1.006"},
        {{4, 6, -1e308, 1e308}, {}, 2, "4..6 x -1e+308..1e+308:"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AxisText(VisibleAxis(whole, row.visible, row.fit, row.decimals)), row.axis);
    }
}

TEST(FitDrawnValues, TakesThePointsInsideAndWhereLinesCrossTheEnds) {
    TitrationRecord r;
    r.pointCount = 4;
    r.points[0] = {0, 100};
    r.points[1] = {2, 200};
    r.points[2] = {4, 600};
    r.points[3] = {6, 300};
    const PlottedSeries curve = BuildPlottedSeries(r, ViewMode::Curve);
    const PlottedSeries slopes = BuildPlottedSeries(r, ViewMode::Derivative);  // 0 50 200 -150
    const double gridX[] = {0, 3, 6}, gridY[] = {50, 900, 20};
    const ProcessedSeries grid{3, gridX, gridY};
    const struct {
        const PlottedSeries& series;
        bool measuredDrawn;
        ProcessedSeries processed;
        ViewMode mode;
        double from, to, low, high;
    } rows[] = {
        {curve, true, {}, ViewMode::Curve, 2, 4, 200, 600},           // points only
        {curve, true, {}, ViewMode::Curve, 1, 5, 150, 600},           // halfway along the lines
        {curve, true, grid, ViewMode::Curve, 1, 5, 150, 900},         // and the processed curve
        {curve, false, grid, ViewMode::Curve, 1, 2, 333.33, 616.67},  // it alone
        {slopes, true, {}, ViewMode::Derivative, -1, 4, 50, 200},     // not point 0's 0
    };
    for (const auto& row : rows) {
        ValueFit fit;
        FitDrawnValues(row.series, row.measuredDrawn, row.processed, row.mode,
                       {row.from, row.to, -kOpen, kOpen}, fit);
        EXPECT_NEAR(fit.low, row.low, 0.01) << row.from << ".." << row.to;
        EXPECT_NEAR(fit.high, row.high, 0.01) << row.from << ".." << row.to;
    }
}

// Ten points over 0..9 mL with a jump from 140 to 500 mV, processed on a grid
// along them, equivalence points at 4.5 and 8 mL.
std::unique_ptr<SharedState> Jump() {
    std::vector<CurvePoint> points;
    for (int i = 0; i < 10; ++i) {
        points.push_back({double(i), i < 5 ? 100.0 + 10 * i : 500.0 + 10 * (i - 5)});
    }
    auto s = Record(points);
    s->curve.curveProcessed = 1;
    s->processing.interpolationPointCount = 10;
    for (int k = 0; k < 10; ++k) {
        s->curve.gridVolume[k] = points[k].volume;
        s->curve.smoothedValue[k] = points[k].value;
        s->curve.firstDerivative[k] = k == 5 ? 360.0 : 10.0;
    }
    s->curve.equivalencePointCount = 2;
    s->curve.equivalencePoints[0] = {4.5, 320.0, 360.0};
    s->curve.equivalencePoints[1] = {8.0, 530.0, 10.0};
    return s;
}

// The corners of every entry of a kind, checked to lie in the box.
void ExpectIn(const RecordingSurface& g, const char* kind, int left, int top, int right,
              int bottom) {
    for (const std::string& e : g.Only(kind)) {
        int a = 0, b = 0, c = 0, d = 0;
        ASSERT_EQ(std::sscanf(e.c_str() + std::string(kind).size(), " %d,%d %d,%d", &a, &b, &c, &d),
                  4);
        EXPECT_TRUE(std::min(a, c) >= left && std::max(a, c) <= right && std::min(b, d) >= top &&
                    std::max(b, d) <= bottom)
            << e;
    }
}

TEST(VisiblePart, TheScreenDrawsOnlyWhatIsInViewAndLabelsTheRange) {
    // 3.5 to 5.5 mL, 300 to 500 mV on 800 x 600: kx 320, ky 2.4.
    auto s = Jump();
    RecordingSurface g;
    DrawGraph(*s, g, 800, 600, {3.5, 5.5, 300, 500});
    // Lines and shapes stay in the frame (axes and reference lines run on to 760 and 30).
    ExpectIn(g, "line", 80, 30, 760, 570);
    ExpectIn(g, "ellipse", 77, 87, 723, 573);
    EXPECT_THAT(g.Only("rect"), ElementsAre("rect 557,87 563,93"));  // (5, 500) alone
    // The jump from (4, 140) to (5, 500) enters at 300 mV.
    EXPECT_THAT(g.Only("line 3"), Contains("line 382,570 560,90"));
    EXPECT_THAT(
        g.Only("text"),
        ElementsAre(
            "text '300.' 0,550 70,590 right centre", "text '350.' 0,430 70,470 right centre",
            "text '400.' 0,310 70,350 right centre", "text '450.' 0,190 70,230 right centre",
            "text '500.' 0,70 70,110 right centre", "text 'E, ЭДС' 5,10 100,50 right centre",
            "text 'V, Объём' 720,550 800,570 centre top", "text '' 2,2 798,22 centre top",
            "text '3.5' 60,572 100,590 centre top", "text '5.5' 700,572 740,590 centre top",
            "text '4.5' 360,572 440,590 centre top"));
    EXPECT_THAT(g.Only("ellipse"), ElementsAre("ellipse 396,518 404,526"));
    EXPECT_THAT(g.log, Contains("line 400,522 400,570"));

    // A mark above the view keeps its drop line from the top, not its circle.
    s->display.viewMode = ViewMode::Derivative;
    RecordingSurface d;
    DrawGraph(*s, d, 800, 600, {4, 5, 0, 100});
    EXPECT_THAT(d.Only("ellipse"), IsEmpty());
    EXPECT_THAT(d.log, Contains("line 400,90 400,570"));
}

TEST(VisiblePart, ThePageAndTheOverlayCutTooAndTheWholeCurveIsTheDefault) {
    auto s = Jump();
    auto other = Record({{0, 200}, {10, 400}});
    const std::vector<OverlayCurve> curves = {{s.get(), "a"}, {other.get(), "b"}};
    const VisibleRange part{4, 6, -kOpen, kOpen};
    const std::function<void(RecordingSurface&, const VisibleRange&)> passes[] = {
        [&](RecordingSurface& g, const VisibleRange& v) { DrawGraph(*s, g, 800, 600, v); },
        [&](RecordingSurface& g, const VisibleRange& v) { PrintGraph(*s, g, {}, {}, v); },
        [&](RecordingSurface& g, const VisibleRange& v) {
            DrawOverlay(curves, ViewMode::Curve, g, 800, 600, v);
        },
    };
    for (const auto& pass : passes) {
        RecordingSurface whole, open, zoomed;
        pass(whole, {});
        pass(open, {-kOpen, kOpen, -kOpen, kOpen});
        pass(zoomed, part);
        EXPECT_EQ(whole.log, open.log);
        EXPECT_NE(whole.log, zoomed.log);
    }
    RecordingSurface page;
    PrintGraph(*s, page, {}, {}, part);
    ExpectIn(page, "rect", 354, -1146, 1646, -174);
    EXPECT_THAT(page.log, Contains("text '4.' 160,-1160 560,-1340 centre top"));
    EXPECT_THAT(page.Only("text '8.' 300,"), SizeIs(1));  // the list names every point
    // The overlay: 4 to 6 mL draws 140..510 mV of a, 280..320 of b.
    RecordingSurface overlay;
    DrawOverlay(curves, ViewMode::Curve, overlay, 800, 600, part);
    ExpectIn(overlay, "rect", 77, 87, 723, 573);
    EXPECT_THAT(overlay.Only("text '6.' 700,"), SizeIs(1));
    EXPECT_THAT(overlay.Only("text '100.' 0,550"), SizeIs(1));
    EXPECT_THAT(overlay.Only("text '550.' 0,"), SizeIs(1));
}

}  // namespace
}  // namespace kelm
