#include "processing/ReplicateStatistics.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace kelm {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Up to this many degrees of freedom the quantile is found from the exact
// distribution; above it the asymptotic series is exact to double precision.
constexpr int kExactLimit = 1000;

// The 0.975 quantile of the standard normal distribution.
constexpr double kNormal975 = 1.959963984540054;

// P(|T| <= t) for Student's t with df degrees of freedom, by the finite
// series in theta = atan(t / sqrt(df)) that holds for whole df (all its terms
// are positive, so it loses no precision).
double TwoSidedProbability(double t, int df) {
    const double theta = std::atan(t / std::sqrt(static_cast<double>(df)));
    const double c = std::cos(theta);
    const double c2 = c * c;
    if (df % 2 == 1) {
        // 2/pi (theta + sin theta (cos + 2/3 cos^3 + 2*4/(3*5) cos^5 + ...)), to cos^(df-2).
        double sum = 0.0;
        if (df > 1) {
            double term = c;
            sum = term;
            for (int k = 3; k <= df - 2; k += 2) {
                term *= c2 * (k - 1) / k;
                sum += term;
            }
        }
        return 2.0 / std::numbers::pi * (theta + std::sin(theta) * sum);
    }
    // sin theta (1 + 1/2 cos^2 + 1*3/(2*4) cos^4 + ...), to cos^(df-2).
    double term = 1.0;
    double sum = 1.0;
    for (int k = 2; k <= df - 2; k += 2) {
        term *= c2 * (k - 1) / k;
        sum += term;
    }
    return std::sin(theta) * sum;
}

// The quantile where TwoSidedProbability reaches 0.95, by bisection: t(0.975, 1)
// = 12.7 is the largest of all, so [0, 16] holds every one.
double ExactQuantile(int df) {
    double low = 0.0;
    double high = 16.0;
    for (int i = 0; i < 200 && high - low > 0.0; ++i) {
        const double middle = 0.5 * (low + high);
        if (middle == low || middle == high) {
            break;
        }
        (TwoSidedProbability(middle, df) < 0.95 ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

// The Cornish-Fisher series of the quantile in powers of 1/df around the
// normal quantile x (four terms); its error is 3e-8 at df = 30 and below
// 1e-12 from df = 1000 on.
double AsymptoticQuantile(int df) {
    const double x = kNormal975;
    const double x2 = x * x;
    const double g1 = (x2 + 1.0) * x / 4.0;
    const double g2 = ((5.0 * x2 + 16.0) * x2 + 3.0) * x / 96.0;
    const double g3 = (((3.0 * x2 + 19.0) * x2 + 17.0) * x2 - 15.0) * x / 384.0;
    const double g4 =
        ((((79.0 * x2 + 776.0) * x2 + 1482.0) * x2 - 1920.0) * x2 - 945.0) * x / 92160.0;
    const double v = 1.0 / df;
    return x + v * (g1 + v * (g2 + v * (g3 + v * g4)));
}

}  // namespace

double StudentT975(int degreesOfFreedom) {
    if (degreesOfFreedom < 1) {
        return kNaN;
    }
    return degreesOfFreedom <= kExactLimit ? ExactQuantile(degreesOfFreedom)
                                           : AsymptoticQuantile(degreesOfFreedom);
}

SampleStatistics ComputeSampleStatistics(std::span<const double> values) {
    SampleStatistics s{static_cast<int>(values.size()), kNaN, kNaN, kNaN, kNaN, kNaN};
    if (values.empty()) {
        return s;
    }
    double sum = 0.0;
    for (double v : values) {
        sum += v;
    }
    s.mean = sum / s.n;
    if (s.n < 2) {
        return s;
    }
    // Two passes: the squares of the deviations, not of the values, keep the
    // digits of a spread that is tiny beside the mean.
    double squares = 0.0;
    for (double v : values) {
        squares += (v - s.mean) * (v - s.mean);
    }
    s.standardDeviation = std::sqrt(squares / (s.n - 1));
    if (s.mean != 0.0) {
        s.relativeStandardDeviationPercent = 100.0 * s.standardDeviation / std::fabs(s.mean);
    }
    s.studentT = StudentT975(s.n - 1);
    s.confidenceHalfWidth95 = s.studentT * s.standardDeviation / std::sqrt(s.n);
    return s;
}

}  // namespace kelm
