#include "processing/Derivative.h"

#include <algorithm>
#include <cmath>

#include "processing/DoublePair.h"

namespace kelm {

namespace {

// An interior central difference: snapped to exactly 0.0 strictly inside
// (-kDerivativeSnap, kDerivativeSnap), and 0.0 over no volume, where
// `quotient` is inf or NaN. |q| < bound is that test without a branch on the
// sign, which a curve's derivative changes unpredictably.
double Central(double quotient, double run) {
    return run == 0.0 || std::fabs(quotient) < kDerivativeSnap ? 0.0 : quotient;
}

double Slope(double rise, double run) {
    return run == 0.0 ? 0.0 : rise / run;
}

void Differentiate(const double* x, const double* f, double* d, int n) {
    d[0] = Slope(f[1] - f[0], x[1] - x[0]);
    d[n - 1] = Slope(f[n - 1] - f[n - 2], x[n - 1] - x[n - 2]);
    // The central differences two at a time: each lane's quotient is the one
    // a lone division would give.
    int i = 1;
    for (; i + 1 <= n - 2; i += 2) {
        const DoublePair run = LoadPair(x + i + 1) - LoadPair(x + i - 1);
        const DoublePair quotient = (LoadPair(f + i + 1) - LoadPair(f + i - 1)) / run;
        d[i] = Central(quotient[0], run[0]);
        d[i + 1] = Central(quotient[1], run[1]);
    }
    if (i == n - 2) {
        const double run = x[i + 1] - x[i - 1];
        d[i] = Central((f[i + 1] - f[i - 1]) / run, run);
    }
}

}  // namespace

void DifferentiateCurve(int gridPointCount, ProcessedCurve& curve) {
    const int n = std::min(gridPointCount, kMaxGridPoints);
    if (n < 3) {
        return;
    }
    const double* x = curve.gridVolume.data();
    Differentiate(x, curve.smoothedValue.data(), curve.firstDerivative.data(), n);
    Differentiate(x, curve.firstDerivative.data(), curve.secondDerivative.data(), n);
}

}  // namespace kelm
