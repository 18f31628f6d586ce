#include "processing/EquivalenceSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "CurveFixtures.h"
#include "processing/Derivative.h"

namespace kelm {
namespace {

// A grid X = 0, 1, ..., N-1 whose curves the test writes by hand.
struct SearchCase {
    ProcessingSettings settings;
    ProcessedCurve curve;
    std::vector<CurvePoint> points;  // exactly the measured points: ASan sees any overrun
    MeasuredQuantity quantity = MeasuredQuantity::Ph;

    SearchCase(int n, EndPointCriterion criterion) {
        settings.interpolationPointCount = n;
        settings.criterion = criterion;
        for (int i = 0; i < n; ++i) {
            curve.gridVolume[i] = i;
        }
    }
    int N() const { return settings.interpolationPointCount; }
    void SetF(const std::function<double(int)>& f) {
        for (int i = 0; i < N(); ++i) {
            curve.smoothedValue[i] = f(i);
        }
    }
    // Sets D1 and takes D2 as its central differences (one-sided at the ends).
    void SetD1(const std::function<double(int)>& d1) {
        for (int i = 0; i < N(); ++i) {
            curve.firstDerivative[i] = d1(i);
            curve.smoothedValue[i] = 100.0 + i;
        }
        const double* d = curve.firstDerivative.data();
        curve.secondDerivative[0] = d[1] - d[0];
        curve.secondDerivative[N() - 1] = d[N() - 1] - d[N() - 2];
        for (int i = 1; i < N() - 1; ++i) {
            curve.secondDerivative[i] = (d[i + 1] - d[i - 1]) / 2.0;
        }
    }
    void SetMeasuredVolumes(std::initializer_list<double> volumes) {
        points.clear();
        for (double v : volumes) {
            points.push_back({v, 0.0});
        }
    }
    int Search() {
        curve.equivalencePointCount = 0;
        return FindEquivalencePoints(points, quantity, settings, curve);
    }
    int Count() const { return curve.equivalencePointCount; }
    std::vector<double> Volumes() const {
        std::vector<double> out;
        for (int k = 0; k < Count(); ++k) {
            out.push_back(At(k).volume);
        }
        return out;
    }
    const EquivalencePoint& At(int k) const { return curve.equivalencePoints[k]; }
};

// A triangular peak of the first derivative: height h at c, h/2 one step away.
double Peak(int i, int c, double h) {
    return h * std::max(0.0, 1.0 - std::abs(i - c) / 2.0);
}

TEST(GivenValueCriterion, FindsTheLinearlyInterpolatedCrossingOfAnSCurve) {
    SearchCase s(101, EndPointCriterion::GivenValue);
    s.SetMeasuredVolumes({0.0, 50.0, 100.0});
    s.SetF([](int i) { return 7.0 + 5.0 * std::tanh((i - 50.3) / 8.0); });
    DifferentiateCurve(101, s.curve);
    s.settings.endValuePh = 7.0;
    ASSERT_EQ(s.Search(), kSearchDone);
    ASSERT_EQ(s.Count(), 1);
    const double* f = s.curve.smoothedValue.data();
    const double expected = 50.0 + (7.0 - f[50]) / (f[51] - f[50]);
    EXPECT_DOUBLE_EQ(s.At(0).volume, expected);
    EXPECT_EQ(s.At(0).value, 7.0);
    const double* d1 = s.curve.firstDerivative.data();
    EXPECT_DOUBLE_EQ(s.At(0).derivative, d1[50] + (d1[51] - d1[50]) * (expected - 50.0));

    s.settings.endValuePh = 12.5;  // never reached: no point and no failure
    EXPECT_EQ(s.Search(), kSearchDone);
    EXPECT_EQ(s.Count(), 0);
}

TEST(GivenValueCriterion, AFlatStretchAtTheEndValueGivesItsMiddleAndItsLastPoint) {
    SearchCase s(10, EndPointCriterion::GivenValue);
    s.curve.smoothedValue = {5, 6, 7, 7, 7, 7, 8, 9, 10, 11};
    DifferentiateCurve(10, s.curve);
    s.settings.endValuePh = 7.0;
    s.Search();
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.At(0).volume, 3.5);  // (X[5] + X[2]) / 2
    EXPECT_EQ(s.At(0).value, 7.0);
    EXPECT_EQ(s.At(0).derivative, 0.0);
    EXPECT_EQ(s.At(1).volume, 5.0);
    EXPECT_EQ(s.At(1).derivative, s.curve.firstDerivative[5]);
}

TEST(GivenValueCriterion, CountsTouchesAndCrossingsThroughGridPointsOnceButNotAtTheGridEnds) {
    SearchCase s(9, EndPointCriterion::GivenValue);
    s.settings.endValuePh = 7.0;
    // A touch at 2, a crossing through the grid point 5, 7 at the last point.
    s.curve.smoothedValue = {6, 6.5, 7, 6.5, 6.8, 7, 7.5, 7.2, 7};
    s.Search();
    EXPECT_EQ(s.Volumes(), (std::vector{2.0, 5.0}));

    // Crossing between grid points 0 and 1 and 7 at the first point: not seen.
    s.curve.smoothedValue = {7, 9, 9, 9, 9, 9, 9, 9, 9};
    s.Search();
    EXPECT_EQ(s.Count(), 0);
    s.curve.smoothedValue = {5, 9, 9, 9, 9, 9, 9, 9, 9};
    s.Search();
    EXPECT_EQ(s.Count(), 0);
}

TEST(GivenValueCriterion, UsesTheEmfEndValueOnlyForEmfRecords) {
    SearchCase s(101, EndPointCriterion::GivenValue);
    s.SetF([](int i) { return 3.0 * i; });  // 0 .. 300
    s.settings.endValueEmf = 150.0;
    s.settings.endValuePh = 7.5;
    const std::pair<MeasuredQuantity, double> cases[] = {{MeasuredQuantity::Emf, 50.0},
                                                         {MeasuredQuantity::Ph, 2.5},
                                                         {MeasuredQuantity::Px, 2.5},
                                                         {MeasuredQuantity::Conductivity, 2.5}};
    for (const auto& [quantity, volume] : cases) {
        s.quantity = quantity;
        s.Search();
        ASSERT_EQ(s.Count(), 1);
        EXPECT_DOUBLE_EQ(s.At(0).volume, volume);
    }
}

TEST(GivenValueCriterion, KeepsTheFirst250Points) {
    SearchCase s(500, EndPointCriterion::GivenValue);
    s.SetF([](int i) { return i % 2 == 0 ? 6.0 : 8.0; });  // 498 crossings of 7
    s.settings.endValuePh = 7.0;
    s.Search();
    std::vector<double> first250;
    for (int k = 0; k < kMaxEquivalencePoints; ++k) {
        first250.push_back(k + 1.5);
    }
    EXPECT_EQ(s.Volumes(), first250);
}

TEST(ExtremumCriterion, FindsOnePointPerJumpInDifferentMeasuredIntervals) {
    SearchCase s(41, EndPointCriterion::DerivativeExtremum);
    s.SetMeasuredVolumes({0, 10, 20, 30, 40});
    s.SetD1([](int i) { return Peak(i, 15, 6.0) + Peak(i, 25, -5.0); });
    ASSERT_EQ(s.Search(), kSearchDone);
    EXPECT_EQ(s.Volumes(), (std::vector{15.0, 25.0}));  // D2 is 0 on the grid points
    EXPECT_EQ(s.At(0).derivative, 6.0);
    EXPECT_EQ(std::tuple(s.At(1).derivative, s.At(1).value), std::tuple(-5.0, 125.0));
}

TEST(ExtremumCriterion, KeepsTheSteeperOfTwoPointsInOneIntervalAndTheFirstOnATie) {
    SearchCase s(41, EndPointCriterion::DerivativeExtremum);
    s.SetMeasuredVolumes({0, 10, 30, 40});
    s.SetD1([](int i) { return Peak(i, 15, 4.0) + Peak(i, 25, -5.0); });
    s.Search();
    EXPECT_EQ(s.Volumes(), std::vector{25.0});

    s.SetD1([](int i) { return Peak(i, 15, 5.0) + Peak(i, 25, -5.0); });
    s.Search();
    EXPECT_EQ(s.Volumes(), std::vector{15.0});
}

TEST(ExtremumCriterion, KeepsOnePointPerIntervalWhateverTheOrderOfTheMeasuredVolumes) {
    struct Case {
        std::vector<double> measured;
        std::vector<double> kept;
    };
    // Peaks at 12 (4), 17 (6) and 25 (5).
    const Case cases[] = {
        {{0, 10, 20, 30, 40}, {17, 25}},
        {{0, 10, 20, 20, 30, 40}, {17, 25}},  // a repeated volume: an empty interval
        {{0, 10, 13, 30, 40}, {12, 17}},      // 17 and 25 share [13, 30)
        {{0, 10, 30, 20, 40}, {17}},          // backwards: only 10 to 20 is searched
        // Overlapping intervals [5, 30) and [10, 35) each keep 17 alone.
        {{0, 5, 30, 10, 35, 40}, {17}},
    };
    for (const Case& c : cases) {
        SearchCase s(41, EndPointCriterion::DerivativeExtremum);
        s.points.clear();
        for (double v : c.measured) {
            s.points.push_back({v, 0.0});
        }
        s.SetD1([](int i) { return Peak(i, 12, 4.0) + Peak(i, 17, 6.0) + Peak(i, 25, 5.0); });
        ASSERT_EQ(s.Search(), kSearchDone);
        EXPECT_EQ(s.Volumes(), c.kept) << c.measured[2] << ' ' << c.measured[3];
    }
}

TEST(ExtremumCriterion, IgnoresTheOuterMeasuredIntervalsAndShallowExtrema) {
    SearchCase s(41, EndPointCriterion::DerivativeExtremum);
    s.SetMeasuredVolumes({0, 20, 22, 24, 26, 40});
    // Steep jumps at 10 and 33 lie in the first and last measured intervals;
    // 21 reaches 0.4 of the steepest, 25 only 0.2.
    s.SetD1([](int i) {
        return Peak(i, 10, 10.0) + Peak(i, 21, 4.0) + Peak(i, 25, 2.0) + Peak(i, 33, 10.0);
    });
    s.Search();
    EXPECT_EQ(s.Volumes(), std::vector{21.0});
}

TEST(ExtremumCriterion, FindsSignChangesBetweenGridPointsAndAcrossFlatStretches) {
    SearchCase s(30, EndPointCriterion::DerivativeExtremum);
    for (int i = 0; i < 30; ++i) {
        s.curve.firstDerivative[i] = 8.0;
        s.curve.smoothedValue[i] = 2.0 * i;
    }
    // Between grid points: D2 goes +, +, -  at 8, 9, 10 -> zero at 9 + 1/3.
    // Flat stretch: D2 -, 0, 0, 0, + at 15..19 -> the middle of 16..18.
    double d2[30] = {};
    for (int i = 0; i < 30; ++i) {
        d2[i] = i < 10 ? 1.0 : (i < 16 ? -1.0 : (i < 19 ? 0.0 : 1.0));
    }
    d2[9] = 0.5;
    std::copy(d2, d2 + 30, s.curve.secondDerivative.begin());
    s.SetMeasuredVolumes({0, 5, 12, 25, 29});  // the two points in different intervals
    s.Search();
    ASSERT_EQ(s.Count(), 2);
    EXPECT_DOUBLE_EQ(s.At(0).volume, 9.0 + 0.5 / 1.5);
    EXPECT_DOUBLE_EQ(s.At(0).value, 2.0 * s.At(0).volume);
    EXPECT_EQ(std::tuple(s.At(1).volume, s.At(1).value, s.At(1).derivative),
              std::tuple(17.0, 34.0, 8.0));

    // A zero stretch that runs to the end of the grid adds nothing.
    for (int i = 16; i < 30; ++i) {
        s.curve.secondDerivative[i] = 0.0;
    }
    s.Search();
    EXPECT_EQ(s.Count(), 1);
}

TEST(ExtremumCriterion, FailsWhenTheSecondDerivativeNeverTakesBothSigns) {
    SearchCase s(20, EndPointCriterion::DerivativeExtremum);
    s.SetMeasuredVolumes({0, 5, 10, 19});
    s.SetD1([](int) { return 0.0; });
    EXPECT_EQ(s.Search(), kNoSignChangeOfD2);
    EXPECT_EQ(s.Count(), 0);
    s.SetD1([](int i) { return i * i * 0.1; });  // D2 > 0 everywhere
    EXPECT_EQ(s.Search(), kNoSignChangeOfD2);
}

// A second derivative that alternates in sign from point to point has no
// stretch of one sign before its change: no point, as the rule says.
TEST(ExtremumCriterion, IgnoresAlternatingSecondDerivative) {
    SearchCase s(20, EndPointCriterion::DerivativeExtremum);
    s.SetMeasuredVolumes({0, 2, 17, 19});
    for (int i = 0; i < 20; ++i) {
        s.curve.firstDerivative[i] = 1.0;
        s.curve.secondDerivative[i] = i % 2 == 0 ? 1.0 : -1.0;
    }
    EXPECT_EQ(s.Search(), kSearchDone);
    EXPECT_EQ(s.Count(), 0);
}

// The sign test is that of the smallest and the largest value as a scan from
// the first value finds them: a NaN first value is never replaced (no sign
// change), a NaN later is passed over, and signs late in the curve count.
TEST(ExtremumCriterion, TakesTheSignsOfTheSecondDerivativeAsItsSmallestAndLargestValues) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Row {
        std::array<double, 8> d2;
        int result;
    };
    const Row rows[] = {
        {{nan, -1, 1, 0, 0, 0, 0, 0}, kNoSignChangeOfD2},
        {{0, nan, -1, 1, 0, 0, 0, 0}, kSearchDone},
        {{-1, -2, nan, 0, 0, 0, 0, 0}, kNoSignChangeOfD2},
        {{0, 0, 0, -inf, 0, 0, 0, 1}, kSearchDone},
        {{0, 0, 0, 0, 0, 0, -1, 1}, kSearchDone},
        {{1, 2, 3, 4, 5, 6, 7, -0.0}, kNoSignChangeOfD2},
        {{0, 0, 0, 0, 0, 0, 0, 0}, kNoSignChangeOfD2},
        {{nan, nan, nan, nan, nan, nan, nan, nan}, kNoSignChangeOfD2},
    };
    for (const Row& row : rows) {
        SearchCase s(8, EndPointCriterion::DerivativeExtremum);
        s.SetMeasuredVolumes({0, 2, 4, 7});
        s.SetD1([](int) { return 0.0; });
        std::copy(row.d2.begin(), row.d2.end(), s.curve.secondDerivative.begin());
        EXPECT_EQ(s.Search(), row.result) << "row " << (&row - rows);
    }
}

// The 0.3 share is of the largest |first derivative| wherever it lies on the
// grid, or in the search window, whatever its sign; a NaN there is passed
// over, not taken as the largest.
TEST(ExtremumCriterion, TakesTheThresholdFromTheLargestFirstDerivativeAnywhere) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double open = std::numeric_limits<double>::infinity();
    struct Row {
        int index;     // where the value is put, away from both peaks
        double value;  // |100| makes the threshold 30: the peak of 29 is dropped
        double from, to;
        std::vector<double> volumes;
    };
    const Row rows[] = {
        {0, 100.0, -open, open, {25.0}},
        {1, -100.0, -open, open, {25.0}},
        {2, 100.0, -open, open, {25.0}},
        {3, 100.0, -open, open, {25.0}},
        {38, 100.0, -open, open, {25.0}},
        {40, -100.0, -open, open, {25.0}},
        {0, nan, -open, open, {15.0, 25.0}},
        {1, nan, -open, open, {15.0, 25.0}},
        {3, nan, -open, open, {15.0, 25.0}},
        {40, nan, -open, open, {15.0, 25.0}},
        // Outside the window the steep value no longer counts.
        {2, 100.0, 5.0, 38.0, {15.0, 25.0}},
        {38, -100.0, 5.0, 37.5, {15.0, 25.0}},
        {38, -100.0, 5.0, 38.0, {25.0}},
    };
    for (const Row& row : rows) {
        SearchCase s(41, EndPointCriterion::DerivativeExtremum);
        s.SetMeasuredVolumes({0, 10, 20, 30, 40});
        s.SetD1([&](int i) {
            return i == row.index ? row.value : Peak(i, 15, 29.0) + Peak(i, 25, 31.0);
        });
        for (int i = 0; i < 41; ++i) {
            if (std::isnan(s.curve.secondDerivative[i])) {
                s.curve.secondDerivative[i] = 0.0;  // only the first derivative is damaged
            }
        }
        EvaluationSettings window;
        window.windowFrom = row.from;
        window.windowTo = row.to;
        ASSERT_EQ(FindEquivalencePoints(s.points, s.quantity, s.settings, window, s.curve),
                  kSearchDone)
            << "row " << (&row - rows);
        EXPECT_EQ(s.Volumes(), row.volumes) << "row " << (&row - rows);
    }
}

}  // namespace
}  // namespace kelm
