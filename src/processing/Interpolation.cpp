#include "processing/Interpolation.h"

#include <algorithm>
#include <array>

#include "processing/DoublePair.h"

namespace kelm {

namespace {

constexpr int kGridPointsPerMeasuredPoint = 5;

// The line through (x0, y0) and (x1, y1) at x, for the first, last and linear intervals.
double LineAt(double x, double x0, double y0, double x1, double y1) {
    return y0 + (x - x0) * (y1 - y0) / (x1 - x0);
}

bool AnyTwoVolumesEqual(const CurvePoint* q) {
    const double a = q[0].volume, b = q[1].volume, c = q[2].volume, d = q[3].volume;
    // Volumes as the entry window records them ascend, and ascending ones
    // differ; the others are counted without a branch per pair.
    if (a < b && b < c && c < d) {
        return false;
    }
    return (a == b) + (a == c) + (a == d) + (b == c) + (b == d) + (c == d) > 0;
}

// Newton's divided differences of measured points, by order: first[k] over
// the points k and k+1, second[k] over k..k+2, third[k] over k..k+3. Cramer's
// rule on raw volumes (rows V^3, V^2, V, 1) loses most digits at volumes of
// tens of millilitres; the divided differences keep them. Neighbouring
// intervals share most of their differences, so a grid computes each once.
// A difference over two coinciding volumes is inf or NaN and never used:
// distinct[k] tells whether the four volumes k..k+3 all differ, so that the
// cubic through them exists; an interval without it falls back to the line.
struct DividedDifferences {
    std::array<double, kPointCapacity> first;
    std::array<double, kPointCapacity> second;
    std::array<double, kPointCapacity> third;
    std::array<bool, kPointCapacity> distinct;
};

// One order m of the differences: out[k] = (lower(k + 1) - lower(k)) /
// (V[k + m] - V[k]), from the differences `lower` of order m - 1, for the
// points from..to-1; two divisions at a time, each the one alone would give.
template <int order, typename Lower>
void FillOrder(const CurvePoint* v, int from, int to, const Lower& lower, double* out) {
    int k = from;
    for (; k + 1 + order < to; k += 2) {
        const DoublePair rise = {lower(k + 1) - lower(k), lower(k + 2) - lower(k + 1)};
        const DoublePair run = {v[k + order].volume - v[k].volume,
                                v[k + 1 + order].volume - v[k + 1].volume};
        StorePair(out + k, rise / run);
    }
    if (k + order < to) {
        out[k] = (lower(k + 1) - lower(k)) / (v[k + order].volume - v[k].volume);
    }
}

// The differences among the points from..to-1 (the whole record for a grid,
// the four points of one interval for InterpolateAt), at their own indices.
void FillDividedDifferences(std::span<const CurvePoint> points, int from, int to,
                            DividedDifferences& d) {
    const CurvePoint* v = points.data();
    FillOrder<1>(
        v, from, to, [v](int k) { return v[k].value; }, d.first.data());
    FillOrder<2>(
        v, from, to, [&d](int k) { return d.first[k]; }, d.second.data());
    FillOrder<3>(
        v, from, to, [&d](int k) { return d.second[k]; }, d.third.data());
    for (int k = from; k + 3 < to; ++k) {
        d.distinct[k] = !AnyTwoVolumesEqual(v + k);
    }
}

// The cubic through the four points q[0..3] in Newton's form, from their
// divided differences at index k. The order of the operations is fixed so
// that other implementations agree to the last digits.
double CubicAt(double x, const CurvePoint* q, const DividedDifferences& d, int k) {
    return q[0].value +
           (x - q[0].volume) *
               (d.first[k] + (x - q[1].volume) * (d.second[k] + (x - q[2].volume) * d.third[k]));
}

// InterpolateAt with the divided differences of all the points at hand
// (`differences` null for the linear kind).
double ValueAt(std::span<const CurvePoint> points, const DividedDifferences* differences, double x,
               int p) {
    const int n = static_cast<int>(points.size());
    const CurvePoint* v = points.data();
    // The interior intervals first, where nearly every grid volume lies; with
    // at least three points the cases below do not overlap them.
    if (p >= 2 && p <= n - 2) {
        // The scan that found p guarantees V[p-1] < x <= V[p], so the line
        // never divides by zero; the cubic needs four distinct volumes.
        if (differences == nullptr) {
            return LineAt(x, v[p - 1].volume, v[p - 1].value, v[p].volume, v[p].value);
        }
        if (!differences->distinct[p - 2]) {
            return v[p - 1].value + (v[p].value - v[p - 1].value) *
                                        ((x - v[p - 1].volume) / (v[p].volume - v[p - 1].volume));
        }
        return CubicAt(x, v + (p - 2), *differences, p - 2);
    }
    if (p <= 0) {
        return v[0].value;
    }
    if (p == 1) {
        return LineAt(x, v[0].volume, v[0].value, v[1].volume, v[1].value);
    }
    if (p == n - 1) {
        return LineAt(x, v[n - 2].volume, v[n - 2].value, v[n - 1].volume, v[n - 1].value);
    }
    return v[n - 1].value;  // beyond the last measured volume
}

}  // namespace

int GridPointCount(int pointCount, int autoPointCount, int requestedCount) {
    int n = autoPointCount == 1 ? kGridPointsPerMeasuredPoint * pointCount : requestedCount;
    n = std::max(n, pointCount);
    return std::min(n, kMaxGridPoints);
}

double GridStep(double lastVolume, int gridPointCount) {
    return lastVolume / static_cast<double>(gridPointCount - 1);
}

int BracketIndex(std::span<const CurvePoint> points, double x, int from) {
    const int n = static_cast<int>(points.size());
    int i = from;
    while (i <= n - 1 && x > points[i].volume) {
        ++i;
    }
    return i;
}

double InterpolateAt(std::span<const CurvePoint> points, InterpolationKind kind, double x, int p) {
    if (kind == InterpolationKind::Linear || p < 2 || p > static_cast<int>(points.size()) - 2) {
        return ValueAt(points, nullptr, x, p);
    }
    DividedDifferences d;
    FillDividedDifferences(points, p - 2, p + 2, d);
    return ValueAt(points, &d, x, p);
}

void BuildGrid(std::span<const CurvePoint> points, InterpolationKind kind, int gridPointCount,
               ProcessedCurve& curve) {
    DividedDifferences differences;
    const bool cubic = kind != InterpolationKind::Linear;
    if (cubic) {
        FillDividedDifferences(points, 0, static_cast<int>(points.size()), differences);
    }
    const double h = GridStep(points.back().volume, gridPointCount);
    // Repeated addition, as the grid has always been built: the last volume
    // equals the last measured one only up to rounding.
    double x = 0.0;
    // On an ascending grid every point below the previous bracket lies below x
    // too, whatever the order of the volumes: the scan may resume there.
    const bool ascending = h > 0.0;
    int p = 0;
    for (int k = 0; k < gridPointCount; ++k) {
        curve.gridVolume[k] = x;
        p = BracketIndex(points, x, ascending ? p : 0);
        curve.interpolatedValue[k] = ValueAt(points, cubic ? &differences : nullptr, x, p);
        x = x + h;
    }
}

}  // namespace kelm
