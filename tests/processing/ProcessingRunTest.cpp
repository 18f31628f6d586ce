#include "processing/Processing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CurveFixtures.h"

namespace kelm {
namespace {

using test::AcidBaseTitration;
using test::StateWithPoints;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void ExpectUnchangedByFailedRun(std::unique_ptr<SharedState> state) {
    state->processing.interpolationPointCount = 77;
    state->curve.gridVolume[3] = 1.25;
    state->curve.firstDerivative[3] = 4.5;
    state->curve.equivalencePointCount = 2;
    EXPECT_EQ(RunProcessing(*state), kTooFewPoints);
    const ProcessedCurve& c = state->curve;
    EXPECT_EQ(std::tuple(state->processing.interpolationPointCount, c.gridVolume[3],
                         c.firstDerivative[3], c.equivalencePointCount, c.curveProcessed),
              std::tuple(77, 1.25, 4.5, 2, 0));
}

TEST(RunProcessing, EndsAsTooFewPointsWithoutChangingAnythingWhenThereIsNoCurve) {
    ExpectUnchangedByFailedRun(StateWithPoints({{0.0, 3.0}, {1.0, 5.0}}));
    ExpectUnchangedByFailedRun(StateWithPoints({}));
    // No titrant added at all: every grid volume would be 0 and no slope exists.
    ExpectUnchangedByFailedRun(StateWithPoints({{0.0, 3.0}, {0.0, 3.1}, {0.0, 2.9}, {0.0, 3.0}}));
    // The same for a last volume of 0 after others.
    ExpectUnchangedByFailedRun(StateWithPoints({{0.0, 3.0}, {1.0, 5.0}, {0.0, 9.0}}));
    // A damaged point (not a number, infinite) gives nothing to compute from.
    ExpectUnchangedByFailedRun(StateWithPoints({{0.0, 3.0}, {kNaN, 5.0}, {2.0, 9.0}}));
    ExpectUnchangedByFailedRun(StateWithPoints({{0.0, 3.0}, {1.0, 5.0}, {HUGE_VAL, 9.0}}));
}

TEST(RunProcessing, StoresTheGridSizeItUsed) {
    struct Case {
        int points, autoCount, requested, expected;
    };
    for (const Case c :
         {Case{3, 1, 0, 15}, Case{120, 1, 0, 500}, Case{40, 0, 0, 40}, Case{10, 0, 300, 300}}) {
        auto state = AcidBaseTitration(c.points, 0.5, 1.0);
        state->processing.autoPointCount = c.autoCount;
        state->processing.interpolationPointCount = c.requested;
        RunProcessing(*state);
        EXPECT_EQ(state->processing.interpolationPointCount, c.expected);
        EXPECT_EQ(state->processing.autoPointCount, c.autoCount);
    }
}

// The chemist reads the equivalence volume where the curve is steepest; on a
// symmetric jump that is also where it passes pH 7.
TEST(RunProcessing, PlacesTheEquivalencePointAtTheJumpByEitherCriterion) {
    for (InterpolationKind kind : {InterpolationKind::Linear, InterpolationKind::CubicSpline}) {
        for (FilterKind filter : {FilterKind::MovingAverage, FilterKind::PolynomialSmoothing}) {
            for (EndPointCriterion criterion :
                 {EndPointCriterion::GivenValue, EndPointCriterion::DerivativeExtremum}) {
                auto state = AcidBaseTitration(61, 0.2, 6.13);
                state->processing.interpolationKind = kind;
                state->processing.filterKind = filter;
                state->processing.criterion = criterion;
                ASSERT_EQ(RunProcessing(*state), kProcessingDone);
                EXPECT_EQ(state->curve.curveProcessed, 1);
                ASSERT_EQ(state->curve.equivalencePointCount, 1);
                const double h = state->curve.gridVolume[1];
                EXPECT_NEAR(state->curve.equivalencePoints[0].volume, 6.13, h)
                    << static_cast<int>(kind) << static_cast<int>(filter)
                    << static_cast<int>(criterion);
            }
        }
    }
}

TEST(RunProcessing, AConstantCurveHasNoExtremumButKeepsTheArraysOfTheRun) {
    auto state = StateWithPoints({{0.0, 4.0}, {1.0, 4.0}, {2.0, 4.0}, {3.0, 4.0}});
    state->processing.filterStrength = 0;
    state->curve.equivalencePointCount = 3;
    EXPECT_EQ(RunProcessing(*state), kNoPointFound);
    EXPECT_EQ(state->curve.curveProcessed, 0);
    EXPECT_EQ(state->curve.equivalencePointCount, 0);
    EXPECT_EQ(state->processing.interpolationPointCount, 20);
    EXPECT_DOUBLE_EQ(state->curve.gridVolume[19], 3.0);
    EXPECT_EQ(state->curve.smoothedValue[10], 4.0);
}

// Volumes in any order, negative ones and repeated ones (a hand-edited file):
// every index stays inside the measured points and the grid. The arrays are
// primed with NaN, so a read past the N entries of the run shows as NaN.
TEST(RunProcessing, StaysInsideItsArraysForVolumesInAnyOrder) {
    unsigned seed = 2024;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 10) % range);
    };
    for (int trial = 0; trial < 400; ++trial) {
        const int n = 3 + next(40);
        auto state = StateWithPoints({});
        for (int i = 0; i < n; ++i) {
            state->record.points[i] = {0.25 * (next(60) - 10), 0.1 * next(140)};
        }
        state->record.points[n - 1].volume = trial % 4 == 0 ? -3.0 : 9.5;
        state->record.pointCount = n;
        state->record.quantity = static_cast<MeasuredQuantity>(trial % 4);
        state->processing.interpolationKind = static_cast<InterpolationKind>(trial % 2);
        state->processing.filterKind = static_cast<FilterKind>((trial / 2) % 2);
        state->processing.criterion = static_cast<EndPointCriterion>((trial / 4) % 2);
        state->processing.filterStrength = next(16);
        state->processing.endValuePh = 0.1 * next(140);
        state->processing.autoPointCount = trial % 3 == 0 ? 0 : 1;
        state->processing.interpolationPointCount = next(501);
        for (auto* a : {&state->curve.gridVolume, &state->curve.interpolatedValue,
                        &state->curve.smoothedValue, &state->curve.firstDerivative,
                        &state->curve.secondDerivative}) {
            a->fill(kNaN);
        }

        const int result = RunProcessing(*state);
        ASSERT_NE(result, kTooFewPoints);
        const int gridCount = state->processing.interpolationPointCount;
        ASSERT_GE(gridCount, n);
        ASSERT_LE(gridCount, kMaxGridPoints);
        for (const auto* a : {&state->curve.gridVolume, &state->curve.interpolatedValue,
                              &state->curve.smoothedValue, &state->curve.firstDerivative,
                              &state->curve.secondDerivative}) {
            EXPECT_TRUE(test::AllFinite(std::span(*a).first(gridCount))) << "trial " << trial;
            EXPECT_TRUE(std::isnan((*a)[gridCount])) << "trial " << trial;
        }
        const int found = state->curve.equivalencePointCount;
        ASSERT_GE(found, 0);
        ASSERT_LE(found, kMaxEquivalencePoints);
        for (int k = 0; k < found; ++k) {
            const EquivalencePoint& p = state->curve.equivalencePoints[k];
            EXPECT_TRUE(std::isfinite(p.volume) && std::isfinite(p.value) &&
                        std::isfinite(p.derivative))
                << "trial " << trial;
        }
    }
}

}  // namespace
}  // namespace kelm
