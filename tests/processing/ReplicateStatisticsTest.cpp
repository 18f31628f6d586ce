// The statistics of a replicate series against hand-computed values and the
// published quantiles of Student's t.
#include "processing/ReplicateStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace kelm {
namespace {

TEST(StudentT975, MatchesThePublishedQuantilesForEveryDegreeOfFreedom) {
    // Ten digits, on both sides of df 1000 where the way of computing changes.
    const struct {
        int df;
        double t;
    } table[] = {
        {1, 12.706204736},   {2, 4.302652730},   {3, 3.182446305},    {4, 2.776445105},
        {5, 2.570581836},    {10, 2.228138852},  {30, 2.042272456},   {60, 2.000297822},
        {100, 1.983971519},  {120, 1.979930405}, {1000, 1.962339081}, {1001, 1.962336705},
        {2000, 1.961150826},
    };
    for (const auto& row : table) {
        EXPECT_NEAR(StudentT975(row.df), row.t, 1e-8) << "df " << row.df;
    }
    // One and two degrees of freedom have closed forms.
    EXPECT_NEAR(StudentT975(1), std::tan(0.95 * std::numbers::pi / 2.0), 1e-12);
    EXPECT_NEAR(StudentT975(2), 0.95 / std::sqrt(2.0 * 0.975 * 0.025), 1e-12);
}

TEST(StudentT975, FallsSteadilyTowardsTheNormalQuantileAcrossTheBranchChange) {
    double previous = StudentT975(1);
    for (int df = 2; df <= 1200; ++df) {
        const double t = StudentT975(df);
        ASSERT_LT(t, previous) << "df " << df;
        ASSERT_GT(t, 1.959963984540054) << "df " << df;
        previous = t;
    }
    // The first term of the series in 1/df: (x^3 + x) / 4 / df.
    EXPECT_NEAR(StudentT975(1'000'000'000), 1.959963984540054 + 2.3722713e-9, 1e-15);
    EXPECT_TRUE(std::isnan(StudentT975(0)));
    EXPECT_TRUE(std::isnan(StudentT975(-3)));
}

TEST(SampleStatistics, MatchesHandComputedSeries) {
    // Two replicates: mean 20.05, s = 0.1 / sqrt 2, half-width t(1) s / sqrt 2.
    const std::vector<double> two = {20.00, 20.10};
    const SampleStatistics a = ComputeSampleStatistics(two);
    EXPECT_EQ(a.n, 2);
    EXPECT_NEAR(a.mean, 20.05, 1e-12);
    EXPECT_NEAR(a.standardDeviation, 0.0707106781, 1e-9);
    EXPECT_NEAR(a.relativeStandardDeviationPercent, 0.352671711, 1e-8);
    EXPECT_NEAR(a.studentT, 12.706204736, 1e-8);
    EXPECT_NEAR(a.confidenceHalfWidth95, 0.635310237, 1e-8);

    // Three: deviations -0.03, -0.01, 0.04; squares 0.0026 over 2.
    const std::vector<double> three = {20.00, 20.02, 20.07};
    const SampleStatistics b = ComputeSampleStatistics(three);
    EXPECT_NEAR(b.mean, 20.03, 1e-12);
    EXPECT_NEAR(b.standardDeviation, std::sqrt(0.0013), 1e-12);
    EXPECT_NEAR(b.relativeStandardDeviationPercent, 100.0 * std::sqrt(0.0013) / 20.03, 1e-10);
    EXPECT_NEAR(b.confidenceHalfWidth95, 4.302652730 * std::sqrt(0.0013) / std::sqrt(3.0), 1e-8);

    // A spread of 2^-28 beside 10^6 keeps its digits (the sum of squares of
    // the values would lose them all).
    const double d = std::ldexp(1.0, -28);
    const std::vector<double> tight = {1e6, 1e6 + d, 1e6 + 2 * d};
    EXPECT_DOUBLE_EQ(ComputeSampleStatistics(tight).standardDeviation, d);
}

TEST(SampleStatistics, LeavesWhatCannotBeComputedUndefined) {
    const std::vector<double> one = {20.0};
    const SampleStatistics a = ComputeSampleStatistics(one);
    EXPECT_EQ(a.n, 1);
    EXPECT_EQ(a.mean, 20.0);
    EXPECT_TRUE(std::isnan(a.standardDeviation));
    EXPECT_TRUE(std::isnan(a.relativeStandardDeviationPercent));
    EXPECT_TRUE(std::isnan(a.confidenceHalfWidth95));

    const SampleStatistics none = ComputeSampleStatistics({});
    EXPECT_EQ(none.n, 0);
    EXPECT_TRUE(std::isnan(none.mean));

    // Identical replicates: no spread; a mean of 0 has no relative spread.
    const std::vector<double> same = {5.0, 5.0, 5.0};
    EXPECT_EQ(ComputeSampleStatistics(same).standardDeviation, 0.0);
    EXPECT_EQ(ComputeSampleStatistics(same).confidenceHalfWidth95, 0.0);
    const std::vector<double> aroundZero = {-1.0, 1.0};
    EXPECT_TRUE(std::isnan(ComputeSampleStatistics(aroundZero).relativeStandardDeviationPercent));
}

}  // namespace
}  // namespace kelm
