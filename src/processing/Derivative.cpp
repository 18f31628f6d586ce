#include "processing/Derivative.h"

#include <algorithm>

namespace kelm {

namespace {

double Slope(double rise, double run) {
    return run == 0.0 ? 0.0 : rise / run;
}

void Differentiate(const double* x, const double* f, double* d, int n) {
    d[0] = Slope(f[1] - f[0], x[1] - x[0]);
    d[n - 1] = Slope(f[n - 1] - f[n - 2], x[n - 1] - x[n - 2]);
    for (int i = 1; i <= n - 2; ++i) {
        d[i] = Slope(f[i + 1] - f[i - 1], x[i + 1] - x[i - 1]);
        if (d[i] > -kDerivativeSnap && d[i] < kDerivativeSnap) {
            d[i] = 0.0;
        }
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
