#include "processing/Smoothing.h"

#include <algorithm>
#include <array>

namespace kelm {

namespace {

constexpr int kMinSavitzkyGolayRadius = 2;
constexpr int kMaxSavitzkyGolayRadius = 7;

// The quadratic Savitzky-Golay rows for radius 2..7, offsets 0..r (the rows are
// symmetric), with their divisors. The 7- and 13-point rows are reduced by 5.
struct SavitzkyGolayRow {
    std::array<int, kMaxSavitzkyGolayRadius + 1> coefficient;
    int divisor;
};

constexpr std::array<SavitzkyGolayRow, kMaxSavitzkyGolayRadius + 1> kSavitzkyGolay = {{
    {{}, 1},
    {{}, 1},
    {{17, 12, -3}, 35},
    {{7, 6, 3, -2}, 21},
    {{59, 54, 39, 14, -21}, 231},
    {{89, 84, 69, 44, 9, -36}, 429},
    {{25, 24, 21, 16, 9, 0, -11}, 143},
    {{167, 162, 147, 122, 87, 42, -13, -78}, 1105},
}};

void MovingAverage(const double* y, double* f, int n, int window) {
    const int half = window / 2;
    for (int i = 0; i < n; ++i) {
        const int r = std::min({i, n - 1 - i, half});
        double sum = 0.0;
        for (int j = i - r; j <= i + r; ++j) {
            sum += y[j];
        }
        f[i] = sum / static_cast<double>(2 * r + 1);
    }
}

void SavitzkyGolay(const double* y, double* f, int n, int window) {
    // A 3-point window would be no smoothing at all; it uses the 5-point row.
    const int radius = std::max(window / 2, kMinSavitzkyGolayRadius);
    for (int i = 0; i < n; ++i) {
        const int r = std::min({i, n - 1 - i, radius});
        if (r < kMinSavitzkyGolayRadius) {
            continue;  // the first two and last two points keep their value
        }
        const SavitzkyGolayRow& row = kSavitzkyGolay[r];
        double sum = 0.0;
        for (int j = -r; j <= r; ++j) {
            sum += static_cast<double>(row.coefficient[j < 0 ? -j : j]) * y[i + j];
        }
        f[i] = sum / static_cast<double>(row.divisor);
    }
}

}  // namespace

int FilterWindow(int filterStrength, int gridPointCount) {
    const int strength = std::min(filterStrength, kMaxFilterStrength);
    if (strength < 2) {
        return 0;
    }
    int w = std::min(strength, gridPointCount);
    if (w % 2 == 0 && w >= 2 && w <= 14) {
        ++w;
    }
    return w;
}

void SmoothCurve(const ProcessingSettings& settings, ProcessedCurve& curve) {
    const int n = std::clamp(settings.interpolationPointCount, 0, kMaxGridPoints);
    const double* y = curve.interpolatedValue.data();
    double* f = curve.smoothedValue.data();
    std::copy_n(y, n, f);
    const int window = FilterWindow(settings.filterStrength, n);
    if (window == 0) {
        return;
    }
    switch (settings.filterKind) {
        case FilterKind::MovingAverage:
            MovingAverage(y, f, n, window);
            break;
        case FilterKind::PolynomialSmoothing:
            SavitzkyGolay(y, f, n, window);
            break;
    }
}

}  // namespace kelm
