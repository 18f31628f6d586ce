#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "CurveFixtures.h"
#include "processing/Derivative.h"
#include "processing/Smoothing.h"

namespace kelm {
namespace {

struct SmoothingCase {
    ProcessingSettings settings;
    ProcessedCurve curve;

    SmoothingCase(FilterKind kind, int strength, int n) {
        settings.filterKind = kind;
        settings.filterStrength = strength;
        settings.interpolationPointCount = n;
    }
    double& Y(int i) { return curve.interpolatedValue[i]; }
    double F(int i) const { return curve.smoothedValue[i]; }
    void Smooth() { SmoothCurve(settings, curve); }
};

// The published quadratic smoothing weight of offset j in a window of radius m.
double SavitzkyGolayWeight(int m, int j) {
    const double numerator = 3.0 * m * m + 3.0 * m - 1.0 - 5.0 * j * j;
    const double divisor = (2.0 * m - 1.0) * (2.0 * m + 1.0) * (2.0 * m + 3.0) / 3.0;
    return numerator / divisor;
}

// Smoothing a unit impulse at c writes each weight of the row: F[c - j] = c_j / divisor.
TEST(PolynomialSmoothing, RowsAgreeWithTheClosedFormula) {
    for (int radius = 2; radius <= 7; ++radius) {
        SmoothingCase s(FilterKind::PolynomialSmoothing, radius == 2 ? 5 : 2 * radius + 1, 41);
        s.Y(20) = 1.0;
        s.Smooth();
        for (int j = -radius; j <= radius; ++j) {
            EXPECT_NEAR(s.F(20 - j), SavitzkyGolayWeight(radius, j), 1e-15)
                << "radius " << radius << " offset " << j;
        }
        EXPECT_EQ(s.F(20 - radius - 1), 0.0);
    }
}

TEST(PolynomialSmoothing, ShrinksTheWindowAtTheEndsAndNeverTouchesTheTwoOuterPoints) {
    SmoothingCase s(FilterKind::PolynomialSmoothing, 15, 30);
    for (int i = 0; i < 30; ++i) {
        s.Y(i) = (i * 37 % 11) - 5.0;  // rough data that every filter changes
    }
    s.Smooth();
    for (int i : {0, 1, 28, 29}) {
        EXPECT_EQ(s.F(i), s.Y(i));
    }
    // Point 2 has radius 2 (the 5-point row), point 4 radius 4, from 7 on the full 15.
    auto rowAt = [&](int i, int r) {
        double sum = 0.0;
        for (int j = -r; j <= r; ++j) {
            sum += SavitzkyGolayWeight(r, j) * s.Y(i + j);
        }
        return sum;
    };
    EXPECT_NEAR(s.F(2), rowAt(2, 2), 1e-12);
    EXPECT_NEAR(s.F(4), rowAt(4, 4), 1e-12);
    EXPECT_NEAR(s.F(7), rowAt(7, 7), 1e-12);
    EXPECT_NEAR(s.F(25), rowAt(25, 4), 1e-12);
}

TEST(PolynomialSmoothing, KeepsQuadraticsAndCubicsAndUsesFivePointsForStrengthTwo) {
    for (int strength : {2, 3, 7, 11, 15}) {
        SmoothingCase s(FilterKind::PolynomialSmoothing, strength, 60);
        for (int i = 0; i < 60; ++i) {
            const double x = 0.1 * i;
            s.Y(i) = 3.0 - 2.0 * x + 0.7 * x * x - 0.05 * x * x * x;
        }
        s.Smooth();
        for (int i = 0; i < 60; ++i) {
            EXPECT_NEAR(s.F(i), s.Y(i), 1e-12) << "strength " << strength << " point " << i;
        }
    }
    SmoothingCase impulse(FilterKind::PolynomialSmoothing, 2, 20);
    impulse.Y(10) = 35.0;
    impulse.Smooth();
    EXPECT_DOUBLE_EQ(impulse.F(8), -3.0);  // the 5-point row reaches two points out
}

TEST(MovingAverage, AveragesSymmetricallyAndKeepsTheEnds) {
    SmoothingCase s(FilterKind::MovingAverage, 3, 8);
    for (int i = 0; i < 8; ++i) {
        s.Y(i) = i * i;
    }
    s.Smooth();
    EXPECT_EQ(s.F(0), 0.0);
    EXPECT_EQ(s.F(7), 49.0);
    for (int i = 1; i < 7; ++i) {
        EXPECT_DOUBLE_EQ(s.F(i), (s.Y(i - 1) + s.Y(i) + s.Y(i + 1)) / 3.0);
    }
    // Strength 9 near the start: radius min(i, N-1-i, 4).
    SmoothingCase wide(FilterKind::MovingAverage, 9, 8);
    for (int i = 0; i < 8; ++i) {
        wide.Y(i) = i * i;
    }
    wide.Smooth();
    EXPECT_DOUBLE_EQ(wide.F(2), (0.0 + 1 + 4 + 9 + 16) / 5);
    EXPECT_DOUBLE_EQ(wide.F(3), (0.0 + 1 + 4 + 9 + 16 + 25 + 36) / 7);
}

TEST(FilterWindow, FollowsTheStrengthAndShrinksToTheGrid) {
    // {strength, N, window}: strength above N gives N made odd, and a damaged
    // strength (40, -3) stays in the table.
    const std::tuple<int, int, int> rows[] = {{0, 100, 0}, {1, 100, 0},   {2, 100, 3},
                                              {5, 100, 5}, {14, 100, 15}, {15, 4, 5},
                                              {15, 3, 3},  {40, 100, 15}, {-3, 100, 0}};
    for (const auto& [strength, n, window] : rows) {
        EXPECT_EQ(FilterWindow(strength, n), window) << strength << " " << n;
    }

    SmoothingCase s(FilterKind::MovingAverage, 15, 4);
    for (int i = 0; i < 4; ++i) {
        s.Y(i) = i * i * i;
    }
    s.Smooth();
    EXPECT_DOUBLE_EQ(s.F(1), (0.0 + 1 + 8) / 3);
    EXPECT_DOUBLE_EQ(s.F(2), (1.0 + 8 + 27) / 3);
}

TEST(SmoothCurve, StrengthBelowTwoOrAnUnknownKindCopiesTheCurve) {
    const FilterKind unknown = static_cast<FilterKind>(7);
    const std::pair<FilterKind, int> cases[] = {
        {FilterKind::MovingAverage, 0},
        {FilterKind::MovingAverage, 1},
        {FilterKind::PolynomialSmoothing, 0},
        {FilterKind::PolynomialSmoothing, 1},
        {unknown, 9},
    };
    for (const auto& [kind, strength] : cases) {
        SmoothingCase s(kind, strength, 12);
        for (int i = 0; i < 12; ++i) {
            s.Y(i) = (i * 7 % 5) + 0.1;
        }
        s.Smooth();
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(s.F(i), s.Y(i));
        }
    }
}

// Every point of every grid size and strength is the plain sum of the rule,
// added from offset -r to +r, divided last: to the bit, whether the point is
// smoothed with its neighbours in a block, alone near the ends or after them.
TEST(SmoothCurve, EveryPointIsThePlainSumOfItsWindowToTheBit) {
    const int rowsByRadius[8][8] = {{},
                                    {},
                                    {17, 12, -3},
                                    {7, 6, 3, -2},
                                    {59, 54, 39, 14, -21},
                                    {89, 84, 69, 44, 9, -36},
                                    {25, 24, 21, 16, 9, 0, -11},
                                    {167, 162, 147, 122, 87, 42, -13, -78}};
    const int divisors[8] = {1, 1, 35, 21, 231, 429, 143, 1105};
    for (FilterKind kind : {FilterKind::MovingAverage, FilterKind::PolynomialSmoothing}) {
        for (int n = 3; n <= 40; ++n) {
            for (int strength = 2; strength <= 15; ++strength) {
                SmoothingCase s(kind, strength, n);
                for (int i = 0; i < n; ++i) {
                    s.Y(i) = std::sin(1.7 * i) * 3.0 + (i % 3 == 0 ? -0.0 : 0.1 * i);
                }
                s.Smooth();
                const int window = FilterWindow(strength, n);
                const bool average = kind == FilterKind::MovingAverage;
                const int radius = average ? window / 2 : std::max(window / 2, 2);
                for (int i = 0; i < n; ++i) {
                    const int r = std::min({i, n - 1 - i, radius});
                    double expected = s.Y(i);
                    if (average || r >= 2) {
                        double sum = 0.0;
                        for (int j = -r; j <= r; ++j) {
                            sum +=
                                average ? s.Y(i + j) : rowsByRadius[r][j < 0 ? -j : j] * s.Y(i + j);
                        }
                        expected = sum / (average ? 2 * r + 1 : divisors[r]);
                    }
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(s.F(i)),
                              std::bit_cast<std::uint64_t>(expected))
                        << static_cast<int>(kind) << " N " << n << " strength " << strength
                        << " point " << i;
                }
            }
        }
    }
}

TEST(DifferentiateCurve, GivesTheSlopeOfALineAndZeroForAConstant) {
    ProcessedCurve line;
    test::FillGrid(line, 50, 0.0, 0.2, [](double x) { return 1.5 - 4.0 * x; });
    DifferentiateCurve(50, line);
    for (int i = 0; i < 50; ++i) {
        EXPECT_NEAR(line.firstDerivative[i], -4.0, 1e-9);
    }
    for (int i = 1; i < 49; ++i) {
        EXPECT_EQ(line.secondDerivative[i], 0.0);  // snapped, not merely small
    }

    ProcessedCurve flat;
    test::FillGrid(flat, 20, 0.0, 0.5, [](double) { return 7.0; });
    DifferentiateCurve(20, flat);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(flat.firstDerivative[i], 0.0);
        EXPECT_EQ(flat.secondDerivative[i], 0.0);
    }
}

TEST(DifferentiateCurve, SnapsOnlyInteriorValuesStrictlyInsideTheBound) {
    ProcessedCurve c;
    test::FillGrid(c, 3, 0.0, 1.0, [](double) { return 0.0; });
    c.smoothedValue = {0.0, 5e-11, 1e-10};
    DifferentiateCurve(3, c);
    EXPECT_EQ(c.firstDerivative[0], 5e-11);  // forward difference, never snapped
    EXPECT_EQ(c.firstDerivative[1], 0.0);    // (1e-10 - 0) / 2
    EXPECT_EQ(c.firstDerivative[2], 5e-11);

    c.smoothedValue = {0.0, 0.0, 2e-10};
    DifferentiateCurve(3, c);
    EXPECT_EQ(c.firstDerivative[1], 1e-10);  // on the bound: kept
    EXPECT_EQ(c.secondDerivative[1], (c.firstDerivative[2] - c.firstDerivative[0]) / 2.0);
}

// Every interior value follows one rule wherever it falls (two at a time or
// the last one alone): the central difference, 0.0 over no volume, and 0.0
// strictly inside the bound, a negative zero included; inf and NaN pass.
TEST(DifferentiateCurve, EveryInteriorValueFollowsTheCentralRuleToTheBit) {
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0,      -0.0, 5e-11, -5e-11, 2e-10, -2e-10, 3e-10,
                             -1.5e-10, 1.0,  -7.25, inf,    4.0,   -inf,   1e-300};
    auto central = [](double rise, double run) {
        if (run == 0.0) {
            return 0.0;
        }
        const double q = rise / run;
        return q > -kDerivativeSnap && q < kDerivativeSnap ? 0.0 : q;
    };
    for (int n = 3; n <= 12; ++n) {
        for (int shift = 0; shift < 14; ++shift) {
            ProcessedCurve c;
            for (int i = 0; i < n; ++i) {
                // Now and then three equal volumes in a row: no volume under a central difference.
                c.gridVolume[i] = (i + shift) % 5 < 2 && i > 0 ? c.gridVolume[i - 1] : 0.5 * i;
                c.smoothedValue[i] = values[(i + shift) % 14];
            }
            DifferentiateCurve(n, c);
            for (int i = 1; i + 1 < n; ++i) {
                const double* x = c.gridVolume.data();
                const double* f = c.smoothedValue.data();
                const double* d1 = c.firstDerivative.data();
                EXPECT_EQ(
                    std::bit_cast<std::uint64_t>(d1[i]),
                    std::bit_cast<std::uint64_t>(central(f[i + 1] - f[i - 1], x[i + 1] - x[i - 1])))
                    << "N " << n << " shift " << shift << " first, point " << i;
                EXPECT_EQ(std::bit_cast<std::uint64_t>(c.secondDerivative[i]),
                          std::bit_cast<std::uint64_t>(
                              central(d1[i + 1] - d1[i - 1], x[i + 1] - x[i - 1])))
                    << "N " << n << " shift " << shift << " second, point " << i;
            }
        }
    }
}

// Two grid volumes that coincide would divide by zero; the slope over no volume is 0.
TEST(DifferentiateCurve, CoincidingGridVolumesGiveZeroNotNaN) {
    ProcessedCurve c;
    c.gridVolume = {1.0, 2.0, 2.0, 2.0, 3.0};
    c.smoothedValue = {1.0, 4.0, 5.0, 6.0, 9.0};
    DifferentiateCurve(5, c);
    EXPECT_TRUE(test::AllFinite(std::span(c.firstDerivative).first(5)));
    EXPECT_TRUE(test::AllFinite(std::span(c.secondDerivative).first(5)));
    EXPECT_EQ(c.firstDerivative[2], 0.0);  // X[3] == X[1]
    EXPECT_EQ(c.firstDerivative[1], 4.0);  // (F2 - F0) / (X2 - X0) is still a slope

    ProcessedCurve allAtZero;  // every grid volume 0
    allAtZero.smoothedValue = {2.0, 3.0, 5.0, 4.0};
    DifferentiateCurve(4, allAtZero);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(allAtZero.firstDerivative[i], 0.0);
        EXPECT_EQ(allAtZero.secondDerivative[i], 0.0);
    }
}

}  // namespace
}  // namespace kelm
