// The statistics of a replicate series: the mean of the equivalence volumes
// that several titrations of one sample found, their spread and the 95 %
// confidence interval of the mean.
#pragma once

#include <span>

namespace kelm {

struct SampleStatistics {
    int n = 0;
    double mean = 0.0;
    // The sample standard deviation (divisor n - 1); NaN below two values.
    double standardDeviation = 0.0;
    // 100 s / |mean|; NaN below two values and for a mean of 0.
    double relativeStandardDeviationPercent = 0.0;
    // t(0.975, n - 1) s / sqrt(n); NaN below two values.
    double confidenceHalfWidth95 = 0.0;
    double studentT = 0.0;  // the t(0.975, n - 1) used; NaN below two values
};

// Of the values given; every field NaN when there is none.
SampleStatistics ComputeSampleStatistics(std::span<const double> values);

// The two-sided 95 % quantile of Student's t distribution, t(0.975, df), for
// any number of degrees of freedom from 1 up; NaN below 1.
double StudentT975(int degreesOfFreedom);

}  // namespace kelm
