// The window's zoom as volumes and values, and the status bar's readout of
// the place under the cursor.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "GraphRecords.h"
#include "core/Cp1251.h"
#include "graph/CursorReadout.h"
#include "graph/GraphDrawing.h"
#include "graph/PlotZoom.h"

namespace kelm {
namespace {

using test::Record;

constexpr double kOpen = kOpenEnd;

// 0..10 mL and 0..100 on 800 x 600: kx 64, ky 4.8, x0 80, yBase 570.
const PlotScale kWhole = ComputePlotScale({0, 10, 0, 100}, {800, 600, 0});

PlotScale Shown(const PlotZoom& zoom) {
    const VisibleRange v = zoom.Visible(ViewMode::Curve);
    if (v.Whole()) {
        return kWhole;
    }
    return ComputePlotScale({v.xFrom, v.xTo, v.yFrom, v.yTo}, {800, 600, 0});
}

std::string Range(const VisibleRange& v) {
    const auto end = [](double e) {
        return std::isfinite(e) ? std::to_string(e).substr(0, std::to_string(e).find('.') + 4)
                                : std::string("open");
    };
    return end(v.xFrom) + ".." + end(v.xTo) + " x " + end(v.yFrom) + ".." + end(v.yTo);
}

TEST(PlotZoom, ZoomsToRectanglesAboutPointsAndBackToTheWholeCurve) {
    using Step = std::function<void(PlotZoom&)>;
    const auto rect = [](SurfacePoint a, SurfacePoint b) {
        return Step([a, b](PlotZoom& z) { z.ZoomToRect(Shown(z), kWhole, ViewMode::Curve, a, b); });
    };
    const auto about = [](SurfacePoint at, double factor) {
        return Step([at, factor](PlotZoom& z) {
            z.ZoomAbout(Shown(z), kWhole, ViewMode::Curve, at, factor);
        });
    };
    const auto pan = [](double right, double up) {
        return Step(
            [right, up](PlotZoom& z) { z.Pan(Shown(z), kWhole, ViewMode::Curve, right, up); });
    };
    const auto reveal = [](DataPoint point) {
        return Step([point](PlotZoom& z) { z.Reveal(Shown(z), kWhole, ViewMode::Curve, point); });
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        const char* range;
    } rows[] = {
        {"nothing done", {}, "open..open x open..open"},
        // x 144 and 400 are 1 and 5 mL, y 570 and 90 the values 0 and 100.
        {"a rectangle", {rect({144, 570}, {400, 90})}, "1.000..5.000 x 0.000..100.000"},
        {"too small a drag", {rect({144, 570}, {148, 90})}, "open..open x open..open"},
        {"twice about the middle", {about({400, 330}, 2)}, "2.500..7.500 x 25.000..75.000"},
        {"in and out again",
         {about({400, 330}, 2), about({400, 330}, 0.5)},
         "open..open x open..open"},
        {"out past the whole",
         {about({400, 330}, 2), about({100, 330}, 0.2)},
         "open..open x open..open"},
        // A rectangle wider than the curve takes its whole volume range.
        {"wider than the curve", {rect({0, 500}, {800, 400})}, "0.000..10.000 x 14.583..35.416"},
        {"a factor that is none",
         {about({400, 330}, 0), about({400, 330}, std::nan(""))},
         "open..open x open..open"},
        // The deepest zoom is a ten-thousandth of the whole ranges.
        {"as deep as it goes", {about({400, 330}, 1e9)}, "4.999..5.000 x 49.995..50.005"},
        {"pan the whole curve", {pan(0.5, 0.5)}, "open..open x open..open"},
        {"pan no further than the curve",
         {rect({144, 570}, {400, 90}), pan(10, 0)},
         "6.000..10.000 x 0.000..100.000"},
        {"reveal one in view",
         {rect({144, 570}, {400, 90}), reveal({2, 50})},
         "1.000..5.000 x 0.000..100.000"},
        // 2.5..7.5 x 25..75: 90 lies 0.3 of the height above, 1 mL 0.3 of
        // the width to the left; each moves 0.4 (a tenth inside).
        {"reveal a point out of view both ways",
         {about({400, 330}, 2), reveal({1, 90})},
         "0.500..5.500 x 45.000..95.000"},
        {"reveal as far as the curve goes",
         {about({400, 330}, 2), reveal({1e6, -1e6})},
         "5.000..10.000 x 0.000..50.000"},
        // The margins stand for the plot's nearest edge: the view never
        // leaves the curve.
        {"a drag within the left margin", {rect({10, 500}, {60, 200})}, "open..open x open..open"},
        {"a drag out past the plot's corner",
         {rect({144, 570}, {790, 0})},
         "1.000..10.000 x 0.000..100.000"},
        {"the wheel at the corner below left",
         {about({0, 600}, 7523.16)},  // 40 notches of 1.25
         "0.000..0.001 x 0.000..0.013"},
        // 0..5 mL, then out by 0.8 about 0.156 mL: -0.039..6.211 moves right.
        {"out near the start of a zoom",
         {rect({80, 570}, {400, 90}), about({100, 330}, 0.8)},
         "0.000..6.250 x 0.000..100.000"},
    };
    for (const auto& row : rows) {
        PlotZoom zoom;
        for (const Step& step : row.steps) {
            step(zoom);
        }
        EXPECT_EQ(Range(zoom.Visible(ViewMode::Curve)), row.range) << row.what;
    }
}

TEST(PlotZoom, TheValueRangeBelongsToTheViewItWasChosenIn) {
    PlotZoom zoom;
    ASSERT_TRUE(zoom.ZoomToRect(kWhole, kWhole, ViewMode::Curve, {144, 570}, {400, 90}));
    EXPECT_EQ(Range(zoom.Visible(ViewMode::Derivative)), "1.000..5.000 x open..open");
    // Panning the derivative along the volumes keeps its values fitted; up
    // and down gives it a value range of its own.
    const PlotScale derivative = ComputePlotScale({1, 5, -20, 20}, {800, 600, 0});
    const PlotScale wholeDerivative = ComputePlotScale({0, 10, -50, 50}, {800, 600, 0});
    zoom.Pan(derivative, wholeDerivative, ViewMode::Derivative, 0.25, 0);
    EXPECT_EQ(Range(zoom.Visible(ViewMode::Derivative)), "2.000..6.000 x open..open");
    zoom.Pan(derivative, wholeDerivative, ViewMode::Derivative, 0, 0.25);
    EXPECT_EQ(Range(zoom.Visible(ViewMode::Derivative)), "1.000..5.000 x -10.000..30.000");
    EXPECT_EQ(Range(zoom.Visible(ViewMode::Curve)), "1.000..5.000 x open..open");
    zoom.ShowWholeCurve();
    EXPECT_FALSE(zoom.Zoomed());
    // A graph without extent (one point) cannot be zoomed.
    const PlotScale flat = ComputePlotScale({2, 2, 5, 5}, {800, 600, 0});
    EXPECT_FALSE(zoom.ZoomToRect(flat, flat, ViewMode::Curve, {100, 100}, {300, 300}));
}

TEST(PlotZoom, AnAxisWithoutExtentLeavesTheOtherToZoom) {
    using Step = std::function<void(PlotZoom&, const PlotScale&)>;
    const auto rect = [](SurfacePoint a, SurfacePoint b) {
        return Step([a, b](PlotZoom& z, const PlotScale& whole) {
            z.ZoomToRect(whole, whole, ViewMode::Curve, a, b);
        });
    };
    const auto about = [](const PlotScale& shown, SurfacePoint at, double factor) {
        return Step([shown, at, factor](PlotZoom& z, const PlotScale& whole) {
            z.ZoomAbout(shown, whole, ViewMode::Curve, at, factor);
        });
    };
    // A flat conductivity record: 0..10 mL, all at 5.
    const PlotScale flat = ComputePlotScale({0, 10, 5, 5}, {800, 600, 0});
    // The derivative of a flat EMF record: all 0, shown zoomed to 2.5..7.5 mL
    // with its values fitted to -0.05..0.05 around them.
    const PlotScale zero = ComputePlotScale({0, 10, 0, 0}, {800, 600, 0});
    const PlotScale fitted = ComputePlotScale({2.5, 7.5, -0.05, 0.05}, {800, 600, 0});
    const struct {
        const char* what;
        PlotScale whole;
        std::vector<Step> steps;
        const char* range;
    } rows[] = {
        {"the wheel on a flat record",
         flat,
         {about(flat, {400, 570}, 2)},
         "2.500..7.500 x open..open"},
        {"a drag on a flat record",
         flat,
         {rect({144, 570}, {400, 560})},
         "1.000..5.000 x open..open"},
        {"a flat derivative zoomed in",
         zero,
         {about(fitted, {400, 330}, 1.25)},
         "3.000..7.000 x open..open"},
        {"a flat derivative zoomed out",
         zero,
         {about(fitted, {400, 330}, 0.5)},
         "open..open x open..open"},
    };
    for (const auto& row : rows) {
        PlotZoom zoom;
        for (const Step& step : row.steps) {
            step(zoom, row.whole);
        }
        EXPECT_EQ(Range(zoom.Visible(ViewMode::Curve)), row.range) << row.what;
    }
}

// Three EMF points laid out on 800 x 600: x 0..2 mL (kx 320), y 0..500 mV
// (ky 0.96), so (1 mL, 200 mV) stands at (400, 378).
struct Laid {
    std::unique_ptr<SharedState> state;
    PlotLayout layout;
};
std::unique_ptr<Laid> LaidOut(MeasuredQuantity q = MeasuredQuantity::Emf, bool processed = false,
                              ViewMode mode = ViewMode::Curve, int comma = 0) {
    auto laid = std::make_unique<Laid>();
    laid->state = Record({{0, 100}, {1, 200}, {2, 400}}, q);
    SharedState& s = *laid->state;
    s.display.viewMode = mode;
    s.display.decimalComma = comma;
    if (processed) {
        s.curve.curveProcessed = 1;
        s.processing.interpolationPointCount = 5;
        for (int k = 0; k < 5; ++k) {
            s.curve.gridVolume[k] = 0.5 * k;
            s.curve.smoothedValue[k] = 100 + 75 * k;
            s.curve.firstDerivative[k] = 150 + 10 * k;
        }
    }
    LayOutScreen(s, 800, 600, {}, laid->layout);
    return laid;
}

TEST(CursorReadout, NamesTheVolumeValueGridPointAndMeasuredPoint) {
    using Q = MeasuredQuantity;
    const struct {
        const char* what;
        std::unique_ptr<Laid> laid;
        SurfacePoint at;
        const char* text;
    } rows[] = {
        {"between the points", LaidOut(), {240, 378}, "V = 0.5 мл; ЭДС = 200. мВ"},
        {"on point 2", LaidOut(), {401, 379}, "V = 1.003 мл; ЭДС = 198.96 мВ | точка 2"},
        {"pH has no unit", LaidOut(Q::Ph), {240, 330}, "V = 0.5 мл; pH = 250."},
        {"conductivity", LaidOut(Q::Conductivity), {240, 330}, "V = 0.5 мл; УЭП = 250. мСм/см"},
        // The grid point nearest 0.594 mL is the one at 0.5 mL.
        {"a processed record",
         LaidOut(Q::Emf, true),
         {270, 378},
         "V = 0.594 мл; ЭДС = 200. мВ | сглаженная: 175. мВ; dE/dV = 160."},
        // The processed derivative: the measured point is found by its volume alone.
        {"the derivative of a processed record",
         LaidOut(Q::Emf, true, ViewMode::Derivative),
         {403, 100},
         "V = 1.009 мл; dE/dV = 189.38 | сглаженная: 250. мВ; dE/dV = 170. | точка 2"},
        {"off the plot, past the axis ends", LaidOut(), {761, 29}, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Cp1251ToUtf8(CursorReadout(*row.laid->state, row.laid->layout, row.at).view()),
                  row.text)
            << row.what;
    }
}

TEST(CursorReadout, APointIsFoundWithinItsRadiusAndOnlyInView) {
    auto laid = LaidOut();
    const SharedState& s = *laid->state;
    // Point 1 (index 1) at (400, 378): 4 pixels both ways is within 6, 5 beyond.
    EXPECT_EQ(PointAt(s, laid->layout, {404, 382}), 1);
    EXPECT_EQ(PointAt(s, laid->layout, {405, 383}), -1);
    // Zoomed to 1.5..2 mL, the point at 1 mL is cut off, however near its
    // clamped position.
    PlotLayout zoomed;
    LayOutScreen(s, 800, 600, {1.5, 2, -kOpen, kOpen}, zoomed);
    EXPECT_EQ(PointAt(s, zoomed, zoomed.measured[1]), -1);
    EXPECT_EQ(PointAt(s, zoomed, zoomed.measured[2]), 2);
    // Where the view draws the processed derivative, the keyboard cursor on a
    // point stands on that derivative.
    auto derivative = LaidOut(MeasuredQuantity::Emf, true, ViewMode::Derivative);
    EXPECT_EQ(PointCursor(*derivative->state, derivative->layout, 1),
              (SurfacePoint{derivative->layout.measured[1].x,
                            MapCurvePoint(derivative->layout.scale, 1.0, 170.0).y}));
    // The keyboard cursor's readout gives the point's own values, not its pixel's.
    EXPECT_EQ(Cp1251ToUtf8(PointReadout(s, laid->layout, 1).view()),
              "V = 1. мл; ЭДС = 200. мВ | точка 2");
    EXPECT_EQ(Cp1251ToUtf8(PointReadout(*derivative->state, derivative->layout, 1).view()),
              "V = 1. мл; dE/dV = 170. | сглаженная: 250. мВ; dE/dV = 170. | точка 2");
    EXPECT_EQ(PointCursor(s, laid->layout, 99), laid->layout.measured[2]);  // held to the points
}

}  // namespace
}  // namespace kelm
