#include "processing/EquivalenceSearch.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelm {

namespace {

// y at x on the line through (x0, y0) and (x1, y1); y0 when the two volumes
// coincide, so that a degenerate grid gives no NaN.
double Along(double x, double x0, double y0, double x1, double y1) {
    if (x1 == x0) {
        return y0;
    }
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

void Add(ProcessedCurve& curve, double volume, double value, double derivative) {
    if (curve.equivalencePointCount < kMaxEquivalencePoints) {
        curve.equivalencePoints[curve.equivalencePointCount++] = {volume, value, derivative};
    }
}

// The last index j >= i (at most n - 1) such that a[i..j] all equal `level`.
int EndOfStretch(const double* a, int i, int n, double level) {
    int j = i;
    while (j + 1 <= n - 1 && a[j + 1] == level) {
        ++j;
    }
    return j;
}

void SearchGivenValue(double target, int n, ProcessedCurve& curve) {
    const double* x = curve.gridVolume.data();
    const double* f = curve.smoothedValue.data();
    const double* d1 = curve.firstDerivative.data();
    int s = 0;
    for (int i = 1; i <= n - 2; ++i) {
        if (i < s) {
            continue;
        }
        if (f[i] == target && f[i + 1] != target) {
            // A touch, or the last grid point of a flat stretch.
            Add(curve, x[i], f[i], d1[i]);
        } else if ((f[i] < target && target < f[i + 1]) || (f[i] > target && target > f[i + 1])) {
            const double v = x[i] + (x[i + 1] - x[i]) * (target - f[i]) / (f[i + 1] - f[i]);
            Add(curve, v, target, Along(v, x[i], d1[i], x[i + 1], d1[i + 1]));
        } else if (f[i] == target && f[i + 1] == target) {
            // The middle of a flat stretch; its last point follows when the scan resumes there.
            s = EndOfStretch(f, i, n, target);
            Add(curve, (x[s] + x[i]) / 2, target, 0.0);
        }
    }
}

// The largest |a[i]|, from 0.0, over four running maxima side by side: the
// largest is the same in any order, and a NaN is passed over by each.
double LargestMagnitude(const double* a, int n) {
    std::array<double, 4> largest{};
    int i = 0;
    for (; i + 3 < n; i += 4) {
        for (int lane = 0; lane < 4; ++lane) {
            largest[lane] = std::max(largest[lane], std::fabs(a[i + lane]));
        }
    }
    for (; i < n; ++i) {
        largest[0] = std::max(largest[0], std::fabs(a[i]));
    }
    return std::max(std::max(largest[0], largest[1]), std::max(largest[2], largest[3]));
}

void SearchDerivativeExtrema(std::span<const CurvePoint> points, int n, ProcessedCurve& curve) {
    const double* x = curve.gridVolume.data();
    const double* f = curve.smoothedValue.data();
    const double* d1 = curve.firstDerivative.data();
    const double* d2 = curve.secondDerivative.data();
    const int m = static_cast<int>(points.size());

    const double threshold = kExtremumThreshold * LargestMagnitude(d1, n);
    const double firstVolume = points[1].volume;
    const double lastVolume = points[m - 2].volume;

    int s = 0;
    for (int i = 1; i <= n - 2; ++i) {
        if (i <= s || !(firstVolume <= x[i] && x[i] <= lastVolume) ||
            !(std::fabs(d1[i]) >= threshold)) {
            continue;
        }
        const double left = d2[i - 1];
        const double middle = d2[i];
        const double right = d2[i + 1];
        if (middle == 0.0 && ((left < 0.0 && right > 0.0) || (left > 0.0 && right < 0.0))) {
            Add(curve, x[i], f[i], d1[i]);
        } else if (middle == 0.0 && right == 0.0 && d1[i] != 0.0) {
            s = EndOfStretch(d2, i, n, 0.0);
            if (s == n - 1) {
                continue;  // the stretch runs to the end of the grid: no sign change after it
            }
            const double after = d2[s + 1];
            if ((left < 0.0 && after > 0.0) || (left > 0.0 && after < 0.0)) {
                const double v = (x[s] + x[i]) / 2;
                Add(curve, v, Along(v, x[i], f[i], x[s], f[s]), Along(v, x[i], d1[i], x[s], d1[s]));
            }
        } else if ((left < 0.0 && middle < 0.0 && right > 0.0) ||
                   (left > 0.0 && middle > 0.0 && right < 0.0)) {
            const double v = x[i] + (x[i + 1] - x[i]) * (-middle) / (right - middle);
            Add(curve, v, Along(v, x[i], f[i], x[i + 1], f[i + 1]),
                Along(v, x[i], d1[i], x[i + 1], d1[i + 1]));
        }
    }
}

// Keeps in each measured interval [V[k], V[k+1]) only the point with the
// largest |derivative|, the first one on a tie.
void KeepOnePointPerInterval(std::span<const CurvePoint> points, ProcessedCurve& curve) {
    const int count = curve.equivalencePointCount;
    std::array<bool, kEquivalenceCapacity> removed{};
    const int m = static_cast<int>(points.size());
    for (int k = 0; k + 1 < m; ++k) {
        const double low = points[k].volume;
        const double high = points[k + 1].volume;
        int best = -1;
        for (int e = 0; e < count; ++e) {
            const EquivalencePoint& p = curve.equivalencePoints[e];
            if (!(low <= p.volume && p.volume < high)) {
                continue;
            }
            if (best < 0) {
                best = e;
            } else if (std::fabs(p.derivative) >
                       std::fabs(curve.equivalencePoints[best].derivative)) {
                removed[best] = true;
                best = e;
            } else {
                removed[e] = true;
            }
        }
    }
    int kept = 0;
    for (int e = 0; e < count; ++e) {
        if (!removed[e]) {
            curve.equivalencePoints[kept++] = curve.equivalencePoints[e];
        }
    }
    curve.equivalencePointCount = kept;
}

// Whether the smallest D2 is below 0 and the largest above. Both hold as soon
// as one value below and one above 0 are seen, so the scan stops there;
// unless the first value, where the smallest and the largest start, is NaN:
// no value replaces it then.
bool SecondDerivativeTakesBothSigns(const ProcessedCurve& curve, int n) {
    const double* d2 = curve.secondDerivative.data();
    if (n <= 0 || std::isnan(d2[0])) {
        return false;
    }
    bool below = false;
    bool above = false;
    for (int i = 0; i < n && !(below && above); ++i) {
        below = below || d2[i] < 0.0;
        above = above || d2[i] > 0.0;
    }
    return below && above;
}

}  // namespace

int FindEquivalencePoints(std::span<const CurvePoint> points, MeasuredQuantity quantity,
                          const ProcessingSettings& settings, ProcessedCurve& curve) {
    const int n = std::clamp(settings.interpolationPointCount, 0, kMaxGridPoints);
    if (settings.criterion == EndPointCriterion::GivenValue) {
        const double target =
            quantity == MeasuredQuantity::Emf ? settings.endValueEmf : settings.endValuePh;
        SearchGivenValue(target, n, curve);
        return kSearchDone;
    }
    if (!SecondDerivativeTakesBothSigns(curve, n)) {
        return kNoSignChangeOfD2;
    }
    if (points.size() < 3) {
        return kSearchDone;  // no measured interval lies inside the curve
    }
    SearchDerivativeExtrema(points, n, curve);
    KeepOnePointPerInterval(points, curve);
    return kSearchDone;
}

}  // namespace kelm
