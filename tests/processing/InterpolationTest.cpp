#include "processing/Interpolation.h"

#include <gtest/gtest.h>

#include <vector>

#include "CurveFixtures.h"

namespace kelm {
namespace {

double Cubic(double v) {
    const double t = v - 25.0;
    return 7.0 + 2.0 * t - 30.0 * t * t + 400.0 * t * t * t;
}

// The value of the polyline through the points at x (ascending volumes).
double OnPolyline(std::span<const CurvePoint> p, double x) {
    if (x <= p.front().volume) {
        return p.front().value;
    }
    for (std::size_t i = 1; i < p.size(); ++i) {
        if (x <= p[i].volume) {
            const double t = (x - p[i - 1].volume) / (p[i].volume - p[i - 1].volume);
            return p[i - 1].value + t * (p[i].value - p[i - 1].value);
        }
    }
    return p.back().value;
}

TEST(GridPointCount, FollowsTheSizeRule) {
    EXPECT_EQ(GridPointCount(3, 1, 0), 15);
    EXPECT_EQ(GridPointCount(120, 1, 0), 500);   // 600 is lowered
    EXPECT_EQ(GridPointCount(40, 0, 0), 40);     // a new record's 0 is raised
    EXPECT_EQ(GridPointCount(10, 0, 300), 300);  // a fixed count is kept
    EXPECT_EQ(GridPointCount(10, 0, 9000), 500);
    EXPECT_EQ(GridPointCount(10, 0, -7), 10);  // a damaged setting
}

// Four points of a steep pH jump: Cramer's rule on raw volumes gave 6.48 at
// the measured 25.00 mL; the divided differences give the measured 7.00.
TEST(CubicInterpolation, KeepsItsDigitsAtVolumesOfTensOfMillilitres) {
    const std::vector<CurvePoint> p = {{24.90, 3.3}, {24.95, 4.0}, {25.00, 7.0}, {25.05, 10.0}};
    ASSERT_EQ(BracketIndex(p, 25.00), 2);
    EXPECT_NEAR(InterpolateAt(p, InterpolationKind::CubicSpline, 25.00, 2), 7.0, 1e-12);

    // Between the measured points it is the cubic through all four (Lagrange form).
    const double x = 24.97;
    long double lagrange = 0;
    for (int a = 0; a < 4; ++a) {
        long double term = p[a].value;
        for (int b = 0; b < 4; ++b) {
            if (b != a) {
                term *= (x - static_cast<long double>(p[b].volume)) / (p[a].volume - p[b].volume);
            }
        }
        lagrange += term;
    }
    EXPECT_NEAR(InterpolateAt(p, InterpolationKind::CubicSpline, x, 2),
                static_cast<double>(lagrange), 1e-11);
}

TEST(CubicInterpolation, ReproducesACubicInTheInteriorIntervals) {
    std::vector<CurvePoint> p;
    for (int k = 0; k < 10; ++k) {
        const double v = 24.80 + 0.05 * k;
        p.push_back({v, Cubic(v)});
    }
    // Every interior interval (V[1], V[n-2]] is the cubic; the first and last are lines.
    for (double x = p[1].volume + 0.001; x <= p[8].volume; x += 0.0037) {
        const int bracket = BracketIndex(p, x);
        ASSERT_GE(bracket, 2);
        ASSERT_LE(bracket, 8);
        EXPECT_NEAR(InterpolateAt(p, InterpolationKind::CubicSpline, x, bracket), Cubic(x), 1e-9)
            << "at " << x;
    }
    const double inFirst = (p[0].volume + p[1].volume) / 2;
    EXPECT_DOUBLE_EQ(InterpolateAt(p, InterpolationKind::CubicSpline, inFirst, 1),
                     OnPolyline(p, inFirst));
}

TEST(LinearInterpolation, LiesOnThePolylineAndOnMeasuredValuesAtMeasuredVolumes) {
    const std::vector<CurvePoint> p = {{0.5, 2.1},  {1.0, 2.4},  {2.5, 3.9}, {2.9, 7.5},
                                       {3.2, 10.2}, {5.0, 11.0}, {8.0, 11.4}};
    ProcessedCurve curve;
    BuildGrid(p, InterpolationKind::Linear, 137, curve);
    for (int k = 0; k < 137; ++k) {
        EXPECT_NEAR(curve.interpolatedValue[k], OnPolyline(p, curve.gridVolume[k]), 1e-12);
    }
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_NEAR(
            InterpolateAt(p, InterpolationKind::Linear, p[i].volume, BracketIndex(p, p[i].volume)),
            p[i].value, 1e-12);
    }
}

TEST(BuildGrid, RunsFromZeroToTheLastVolumeFlatOutsideTheMeasuredPoints) {
    const std::vector<CurvePoint> p = {{4.0, 2.0}, {6.0, 5.0}, {8.0, 9.0}, {10.0, 10.0}};
    ProcessedCurve curve;
    BuildGrid(p, InterpolationKind::CubicSpline, 21, curve);
    EXPECT_EQ(curve.gridVolume[0], 0.0);
    EXPECT_NEAR(curve.gridVolume[20], 10.0, 1e-12);
    for (int k = 0; k <= 8; ++k) {  // volumes 0 .. 4.0
        EXPECT_EQ(curve.interpolatedValue[k], 2.0);
    }
    // A grid volume carried past the last measured one by rounding takes its value.
    EXPECT_EQ(InterpolateAt(p, InterpolationKind::CubicSpline, 10.0 + 1e-12, 4), 10.0);
}

TEST(CubicInterpolation, EqualsLinearOnThreePoints) {
    const std::vector<CurvePoint> p = {{1.0, 3.0}, {2.0, 8.0}, {3.0, 9.0}};
    ProcessedCurve cubic;
    ProcessedCurve linear;
    BuildGrid(p, InterpolationKind::CubicSpline, 15, cubic);
    BuildGrid(p, InterpolationKind::Linear, 15, linear);
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(cubic.interpolatedValue[k], linear.interpolatedValue[k]);
    }
}

TEST(CubicInterpolation, FallsBackToTheLineWhereTwoOfTheFourVolumesCoincide) {
    // Points 1 and 2 share a volume: the intervals using both take the straight line.
    const std::vector<CurvePoint> p = {{0.0, 1.0}, {1.0, 2.0}, {1.0, 4.0},
                                       {2.0, 6.0}, {3.0, 9.0}, {4.0, 9.5}};
    for (double x : {1.25, 1.5, 2.0}) {  // bracket 3: points 1..4
        const int bracket = BracketIndex(p, x);
        ASSERT_EQ(bracket, 3);
        EXPECT_DOUBLE_EQ(InterpolateAt(p, InterpolationKind::CubicSpline, x, bracket),
                         4.0 + 2.0 * (x - 1.0));
    }
    // Volumes that repeat further apart (non-ascending) count as well.
    const std::vector<CurvePoint> q = {{0.0, 1.0}, {2.0, 2.0}, {3.0, 4.0}, {2.0, 6.0}, {5.0, 7.0}};
    EXPECT_DOUBLE_EQ(InterpolateAt(q, InterpolationKind::CubicSpline, 2.5, 2), 3.0);
}

// Volumes in any order (a hand-edited file) stay inside the points and never
// divide by zero: the bracket guarantees V[p-1] < x <= V[p]. The grid resumes
// its bracket scan where the last one stopped; a fresh scan must agree.
TEST(BuildGrid, StaysFiniteAndAgreesWithAFreshScanForVolumesInAnyOrder) {
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 1000) / 100.0 - 2.0;
    };
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 3 + trial % 12;
        std::vector<CurvePoint> p(n);  // exactly n: a read past the end is an ASan error
        for (CurvePoint& point : p) {
            point = {trial % 3 == 0 ? std::round(next()) : next(), next()};
        }
        if (p.back().volume == 0.0) {
            p.back().volume = 1.0;
        }
        for (InterpolationKind kind : {InterpolationKind::Linear, InterpolationKind::CubicSpline}) {
            ProcessedCurve curve;
            BuildGrid(p, kind, 5 * n, curve);
            for (int k = 0; k < 5 * n; ++k) {
                const double x = curve.gridVolume[k];
                ASSERT_TRUE(std::isfinite(curve.interpolatedValue[k])) << "trial " << trial;
                ASSERT_EQ(curve.interpolatedValue[k], InterpolateAt(p, kind, x, BracketIndex(p, x)))
                    << "trial " << trial << " grid point " << k;
            }
        }
    }
}

}  // namespace
}  // namespace kelm
