#include "processing/Smoothing.h"

#include <algorithm>
#include <array>
#include <utility>

#include "processing/DoublePair.h"

namespace kelm {

namespace {

constexpr int kMinSavitzkyGolayRadius = 2;
// The widest window, of 15 points, for either filter.
constexpr int kMaxRadius = kMaxFilterStrength / 2;

// The quadratic Savitzky-Golay rows for radius 2..7, offsets 0..r (the rows are
// symmetric), with their divisors. The 7- and 13-point rows are reduced by 5.
struct SavitzkyGolayRow {
    std::array<int, kMaxRadius + 1> coefficient;
    int divisor;
};

constexpr std::array<SavitzkyGolayRow, kMaxRadius + 1> kSavitzkyGolay = {{
    {{}, 1},
    {{}, 1},
    {{17, 12, -3}, 35},
    {{7, 6, 3, -2}, 21},
    {{59, 54, 39, 14, -21}, 231},
    {{89, 84, 69, 44, 9, -36}, 429},
    {{25, 24, 21, 16, 9, 0, -11}, 143},
    {{167, 162, 147, 122, 87, 42, -13, -78}, 1105},
}};

// A filter row as the sums use it: the weights of offsets -r..r (the middle
// one at kMaxRadius) and the divisor.
struct WindowRow {
    std::array<double, 2 * kMaxRadius + 1> weight{};
    double divisor = 1.0;
};
using WindowRows = std::array<WindowRow, kMaxRadius + 1>;

// The moving average of radius r: 2r + 1 weights of 1 (a product with 1 is
// the value itself, to the bit) over 2r + 1.
constexpr WindowRows AverageRows() {
    WindowRows rows{};
    for (int r = 0; r <= kMaxRadius; ++r) {
        for (int j = -r; j <= r; ++j) {
            rows[r].weight[kMaxRadius + j] = 1.0;
        }
        rows[r].divisor = 2 * r + 1;
    }
    return rows;
}

constexpr WindowRows SavitzkyGolayRows() {
    WindowRows rows{};
    for (int r = 0; r <= kMaxRadius; ++r) {
        for (int j = -r; j <= r; ++j) {
            rows[r].weight[kMaxRadius + j] = kSavitzkyGolay[r].coefficient[j < 0 ? -j : j];
        }
        rows[r].divisor = kSavitzkyGolay[r].divisor;
    }
    return rows;
}

constexpr WindowRows kAverageRows = AverageRows();
constexpr WindowRows kSavitzkyGolayRows = SavitzkyGolayRows();

// Points smoothed side by side, in pairs. Each point keeps its own sum,
// added in its own order from offset -r to +r: the block only lets the
// processor work on several independent sums at once.
constexpr int kPairsPerBlock = 4;
constexpr int kBlock = 2 * kPairsPerBlock;

// F = (sum of w_j * Y[j] for j = -r..r, from 0.0) / divisor for one point.
void SmoothPoint(const WindowRow& row, int r, const double* y, double* f) {
    const double* w = row.weight.data() + kMaxRadius;
    double sum = 0.0;
    for (int j = -r; j <= r; ++j) {
        sum += w[j] * y[j];
    }
    *f = sum / row.divisor;
}

// The same for kBlock neighbouring points, y and f pointing at the first.
void SmoothBlock(const WindowRow& row, int r, const double* y, double* f) {
    const double* w = row.weight.data() + kMaxRadius;
    [&]<std::size_t... k>(std::index_sequence<k...>) {
        DoublePair sum[kPairsPerBlock] = {};
        for (int j = -r; j <= r; ++j) {
            ((sum[k] += w[j] * LoadPair(y + 2 * k + j)), ...);
        }
        (StorePair(f + 2 * k, sum[k] / row.divisor), ...);
    }
    (std::make_index_sequence<kPairsPerBlock>{});
}

// Points from..to-1, which all have the radius r.
void SmoothRun(const WindowRow& row, int r, const double* y, double* f, int from, int to) {
    int i = from;
    for (; i + kBlock <= to; i += kBlock) {
        SmoothBlock(row, r, y + i, f + i);
    }
    for (; i < to; ++i) {
        SmoothPoint(row, r, y + i, f + i);
    }
}

// Every point i gets the radius min(i, N-1-i, radius) and the row of that
// radius; a point whose radius is below minRadius keeps its value.
void Smooth(const WindowRows& rows, int minRadius, const double* y, double* f, int n, int radius) {
    for (int i = 0; i < n;) {
        const int r = std::min({i, n - 1 - i, radius});
        // Near the ends each point has a radius of its own; inside, the
        // whole stretch up to N - radius has the full one.
        const int end = r == radius ? n - radius : i + 1;
        if (r >= minRadius) {
            SmoothRun(rows[r], r, y, f, i, end);
        }
        i = end;
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
            Smooth(kAverageRows, 0, y, f, n, window / 2);
            break;
        case FilterKind::PolynomialSmoothing:
            // A 3-point window would be no smoothing at all; it uses the 5-point row.
            Smooth(kSavitzkyGolayRows, kMinSavitzkyGolayRadius, y, f, n,
                   std::max(window / 2, kMinSavitzkyGolayRadius));
            break;
    }
}

}  // namespace kelm
