#include "graph/PlotLayout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace kelm {
namespace {

TEST(RoundValueAxis, RoundsTheValueRangeAndPlacesTheReferenceLines) {
    using Q = MeasuredQuantity;
    const ViewMode curve = ViewMode::Curve, derivative = ViewMode::Derivative;
    const struct {
        Q quantity;
        ViewMode mode;
        double yMin, yMax, roundedMin, roundedMax;
        std::vector<double> lines;
    } rows[] = {
        {Q::Emf, curve, 100, 250, 0, 500, {0, 500}},
        {Q::Emf, curve, -30, 470, -500, 500, {-500, 0, 500}},
        // Twelve lines would fit in 0..5500; only the first ten are kept.
        {Q::Emf, curve, 0, 5000, 0, 5500, {0, 500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500}},
        // One point: an empty span takes step 1, and a maximum on a step still grows.
        {Q::Emf, curve, 250, 250, 250, 251, {250, 251}},
        // The step bounds: a span of exactly 100 takes 50, of exactly 10 takes 5.
        {Q::Emf, curve, 20, 120, 0, 150, {0, 50, 100, 150}},
        {Q::Emf, curve, -12, -2, -15, 0, {-15, -10, -5, 0}},
        {Q::Ph, curve, 2.1, 11.8, 0, 14, {0, 7, 14}},
        {Q::Ph, curve, -0.5, 12, -2, 20, {-2, 0, 7, 14, 20}},
        // Beyond -2..20 the range stays and the lines may lie outside it.
        {Q::Ph, curve, 15, 21, 15, 21, {0, 7, 14}},
        {Q::Px, curve, 1, 9, 0, 10, {0, 5, 10}},
        {Q::Px, curve, 1, 12, 0, 14, {0, 7, 14}},
        // -2..20 with three lines, not the five of pH.
        {Q::Px, curve, -1, 5, -2, 20, {0, 7, 14}},
        {Q::Px, curve, 3, 25, 3, 25, {0, 10, 20}},
        // Conductivity and derivatives are not rounded; a derivative range
        // reaching 0 gets a line there.
        {Q::Conductivity, curve, 0.37, 1.93, 0.37, 1.93, {}},
        {Q::Emf, derivative, 3, 40, 3, 40, {}},
        {Q::Ph, derivative, -3, 40, -3, 40, {0}},
        {Q::Emf, derivative, 0, 40, 0, 40, {0}},
    };
    for (const auto& row : rows) {
        const RoundedValueAxis a =
            RoundValueAxis({0, 1, row.yMin, row.yMax}, row.quantity, row.mode);
        const std::vector<double> lines(a.lines.lineValue.begin(),
                                        a.lines.lineValue.begin() + a.lines.lineCount);
        EXPECT_EQ(std::tuple(a.ranges.yMin, a.ranges.yMax, lines),
                  std::tuple(row.roundedMin, row.roundedMax, row.lines))
            << int(row.quantity) << " " << int(row.mode) << " " << row.yMin << ".." << row.yMax;
    }
}

TEST(BuildPlottedSeries, DerivativeIsPointToPointAndZeroForEqualVolumes) {
    TitrationRecord r;
    r.pointCount = 4;
    r.points[0] = {1.0, 100.0};
    r.points[1] = {2.0, 130.0};
    r.points[2] = {2.0, 180.0};  // same volume as before: slope 0, not a division by 0
    r.points[3] = {2.5, 170.0};
    const PlottedSeries d = BuildPlottedSeries(r, ViewMode::Derivative);
    EXPECT_EQ(d.count, 4);
    EXPECT_EQ(std::vector(d.y.begin(), d.y.begin() + 4), (std::vector{0.0, 30.0, 0.0, -20.0}));
    EXPECT_EQ(d.x[3], 2.5);

    const PlottedSeries c = BuildPlottedSeries(r, ViewMode::Curve);
    EXPECT_EQ(c.y[2], 180.0);

    r.pointCount = -1;
    EXPECT_EQ(BuildPlottedSeries(r, ViewMode::Curve).count, 0);
}

TEST(ComputeRanges, ProcessedCurveWidensAndEmptyProcessedCurveDoesNot) {
    auto s = std::make_unique<SharedState>();
    s->record.pointCount = 2;
    s->record.points[0] = {1.0, 10.0};
    s->record.points[1] = {3.0, 20.0};
    s->curve.curveProcessed = 1;
    s->processing.interpolationPointCount = 0;  // a new record after an earlier run
    PlottedSeries series = BuildPlottedSeries(s->record, ViewMode::Curve);
    AxisRanges r = ComputeRanges(series, ProcessedSeriesOf(*s, ViewMode::Curve), ViewMode::Curve);
    EXPECT_EQ(std::tuple(r.xMin, r.xMax, r.yMin, r.yMax), std::tuple(1.0, 3.0, 10.0, 20.0));

    s->processing.interpolationPointCount = 3;
    s->curve.gridVolume[0] = 0.0;
    s->curve.gridVolume[1] = 1.5;
    s->curve.gridVolume[2] = 3.0;
    s->curve.smoothedValue = {9.0, 25.0, 19.0};
    s->curve.firstDerivative = {-4.0, 1.0, 2.0};
    r = ComputeRanges(series, ProcessedSeriesOf(*s, ViewMode::Curve), ViewMode::Curve);
    EXPECT_EQ(r.xMin, 0.0);
    EXPECT_EQ(r.yMin, 9.0);
    EXPECT_EQ(r.yMax, 25.0);

    // The derivative view draws the processed derivative alone: the measured
    // slopes 0 and 5 take no part in its value range, its volumes still do;
    // nor does the first grid point's -4, which it does not draw.
    series = BuildPlottedSeries(s->record, ViewMode::Derivative);
    r = ComputeRanges(series, ProcessedSeriesOf(*s, ViewMode::Derivative), ViewMode::Derivative);
    EXPECT_EQ(std::tuple(r.xMin, r.xMax, r.yMin, r.yMax), std::tuple(0.0, 3.0, 1.0, 2.0));

    // Without a completed run the arrays are not looked at.
    s->curve.curveProcessed = 0;
    EXPECT_EQ(ProcessedSeriesOf(*s, ViewMode::Curve).count, 0);
    // A grid size beyond the arrays is never trusted.
    s->curve.curveProcessed = 1;
    s->processing.interpolationPointCount = 100000;
    EXPECT_EQ(ProcessedSeriesOf(*s, ViewMode::Curve).count, kMaxGridPoints);
}

TEST(ComputePlotScale, PageFrameAndCollapsedRanges) {
    const PlotScale page = ComputePlotScale({0.0, 10.0, 0.0, 500.0}, {1600, 1200, 200});
    EXPECT_EQ(std::tuple(page.x0, page.yBase, page.xAxisEnd, page.yAxisTop, page.kx, page.ky),
              std::tuple(360, 1140, 1520, 60, 128.0, 1.92));
    // The data reach x0 + 1280, past the end of the axis.
    EXPECT_EQ(MapMeasuredPoint(page, 10.0, 500.0), (SurfacePoint{1640, 180}));

    const PlotScale one = ComputePlotScale({2.0, 2.0, 250.0, 251.0}, {800, 600, 0});
    EXPECT_EQ(one.kx, 0.0);
    EXPECT_EQ(MapMeasuredPoint(one, 2.0, 250.0), (SurfacePoint{80, 570}));
}

TEST(Mapping, MeasuredAndCurvePointsTruncateInTheirOwnOrder) {
    const PlotScale s = ComputePlotScale({0.0, 8.0, 0.0, 48.0}, {800, 600, 0});  // ky = 10
    // 570 - trunc(10.5) = 560, trunc(570 - 10.5) = 559.
    EXPECT_EQ(MapMeasuredPoint(s, 0.0, 1.05).y, 560);
    EXPECT_EQ(MapCurvePoint(s, 0.0, 1.05).y, 559);
    EXPECT_EQ(MapGridLine(s, 1.05), 560);
    // Below the minimum the offset is negative: 80 + trunc(-2.5) = 78, trunc(77.5) = 77.
    EXPECT_EQ(MapMeasuredPoint(s, -0.03125, 0.0).x, 78);
    EXPECT_EQ(MapCurvePoint(s, -0.03125, 0.0).x, 77);
}

TEST(Mapping, ExtremeAndNonFiniteDataStayInsideTheCoordinateLimit) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    // A pH range far narrower than its fixed reference lines.
    const PlotScale narrow = ComputePlotScale({0.0, 1.0, 100.0, 100.0 + 1e-12}, {800, 600, 0});
    EXPECT_EQ(MapGridLine(narrow, 0.0), 570 + kCoordinateLimit);
    EXPECT_EQ(MapCurvePoint(narrow, 0.0, -1e300).y, 570 + kCoordinateLimit);

    // Ranges that cannot be scaled collapse like an empty one.
    const PlotScale wide = ComputePlotScale({-1e308, 1e308, -inf, 5.0}, {800, 600, 0});
    EXPECT_EQ(wide.kx, 0.0);
    EXPECT_EQ(wide.ky, 0.0);
    EXPECT_EQ(MapMeasuredPoint(wide, inf, nan), (SurfacePoint{80, 570}));
    EXPECT_EQ(MapCurvePoint(wide, nan, inf), (SurfacePoint{80, 570}));

    const PlotScale normal = ComputePlotScale({0.0, 1.0, 0.0, 1.0}, {800, 600, 0});
    EXPECT_EQ(MapMeasuredPoint(normal, nan, -inf), (SurfacePoint{80, 570 + kCoordinateLimit}));
}

TEST(LabelTexts, DecimalsFollowTheQuantityAndSeparatorTheUser) {
    auto s = std::make_unique<SharedState>();
    s->record.quantity = MeasuredQuantity::Emf;
    EXPECT_EQ(ValueText(*s, 123.456), "123.46");
    EXPECT_EQ(VolumeText(*s, 1.23456), "1.235");
    s->record.quantity = MeasuredQuantity::Conductivity;
    s->display.decimalComma = 1;
    EXPECT_EQ(ValueText(*s, 1.23456), "1,235");
}

}  // namespace
}  // namespace kelm
