#include "processing/Interpolation.h"

#include <algorithm>

namespace kelm {

namespace {

constexpr int kGridPointsPerMeasuredPoint = 5;

// The line through (x0, y0) and (x1, y1) at x, for the first, last and linear intervals.
double LineAt(double x, double x0, double y0, double x1, double y1) {
    return y0 + (x - x0) * (y1 - y0) / (x1 - x0);
}

// The cubic through four points in Newton's divided-difference form. Cramer's
// rule on raw volumes (rows V^3, V^2, V, 1) loses most digits at volumes of
// tens of millilitres; the divided differences keep them. The order of the
// operations is fixed so that other implementations agree to the last digits.
double CubicAt(double x, const CurvePoint* q) {
    const double x0 = q[0].volume, x1 = q[1].volume, x2 = q[2].volume, x3 = q[3].volume;
    const double y0 = q[0].value, y1 = q[1].value, y2 = q[2].value, y3 = q[3].value;
    const double d01 = (y1 - y0) / (x1 - x0);
    const double d12 = (y2 - y1) / (x2 - x1);
    const double d23 = (y3 - y2) / (x3 - x2);
    const double d012 = (d12 - d01) / (x2 - x0);
    const double d123 = (d23 - d12) / (x3 - x1);
    const double d0123 = (d123 - d012) / (x3 - x0);
    return y0 + (x - x0) * (d01 + (x - x1) * (d012 + (x - x2) * d0123));
}

bool AnyTwoVolumesEqual(const CurvePoint* q) {
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            if (q[a].volume == q[b].volume) {
                return true;
            }
        }
    }
    return false;
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
    const int n = static_cast<int>(points.size());
    const CurvePoint* v = points.data();
    if (p <= 0) {
        return v[0].value;
    }
    if (p == 1) {
        return LineAt(x, v[0].volume, v[0].value, v[1].volume, v[1].value);
    }
    if (p == n - 1) {
        return LineAt(x, v[n - 2].volume, v[n - 2].value, v[n - 1].volume, v[n - 1].value);
    }
    if (p >= n) {
        return v[n - 1].value;
    }
    // The scan that found p guarantees V[p-1] < x <= V[p], so the line never
    // divides by zero; the cubic needs four distinct volumes.
    if (kind == InterpolationKind::Linear) {
        return LineAt(x, v[p - 1].volume, v[p - 1].value, v[p].volume, v[p].value);
    }
    const CurvePoint* q = v + (p - 2);
    if (AnyTwoVolumesEqual(q)) {
        return v[p - 1].value + (v[p].value - v[p - 1].value) *
                                    ((x - v[p - 1].volume) / (v[p].volume - v[p - 1].volume));
    }
    return CubicAt(x, q);
}

void BuildGrid(std::span<const CurvePoint> points, InterpolationKind kind, int gridPointCount,
               ProcessedCurve& curve) {
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
        curve.interpolatedValue[k] = InterpolateAt(points, kind, x, p);
        x = x + h;
    }
}

}  // namespace kelm
