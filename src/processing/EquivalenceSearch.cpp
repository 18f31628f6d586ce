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

// The searches are made twice, with and without the window's tests, so that
// the plain search, by far the most common, pays nothing for them.
template <bool Windowed>
bool Inside(const EvaluationSettings& evaluation, double volume) {
    return !Windowed || evaluation.Contains(volume);
}

// A point that falls outside the window (between its last grid volume and
// the next) is not reported either.
template <bool Windowed>
void AddInside(const EvaluationSettings& evaluation, ProcessedCurve& curve, double volume,
               double value, double derivative) {
    if (Inside<Windowed>(evaluation, volume)) {
        Add(curve, volume, value, derivative);
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

template <bool Windowed>
void SearchGivenValue(double target, int n, const EvaluationSettings& evaluation,
                      ProcessedCurve& curve) {
    const double* x = curve.gridVolume.data();
    const double* f = curve.smoothedValue.data();
    const double* d1 = curve.firstDerivative.data();
    int s = 0;
    for (int i = 1; i <= n - 2; ++i) {
        if (i < s) {
            continue;
        }
        const auto add = [&](double v, double y, double d) {
            AddInside<Windowed>(evaluation, curve, v, y, d);
        };
        if (f[i] == target && f[i + 1] != target) {
            // A touch, or the last grid point of a flat stretch.
            add(x[i], f[i], d1[i]);
        } else if ((f[i] < target && target < f[i + 1]) || (f[i] > target && target > f[i + 1])) {
            const double v = x[i] + (x[i + 1] - x[i]) * (target - f[i]) / (f[i + 1] - f[i]);
            add(v, target, Along(v, x[i], d1[i], x[i + 1], d1[i + 1]));
        } else if (f[i] == target && f[i + 1] == target) {
            // The middle of a flat stretch; its last point follows when the scan resumes there.
            s = EndOfStretch(f, i, n, target);
            add((x[s] + x[i]) / 2, target, 0.0);
        }
    }
}

// The largest |D1| at the grid volumes the window contains, from 0.0, over
// four running maxima side by side: the largest is the same in any order, a
// volume outside counts as 0.0, which no maximum from 0.0 on changes, and a
// NaN is passed over by each.
template <bool Windowed>
double LargestSlopeInWindow(const double* x, const double* d1, int n,
                            const EvaluationSettings& evaluation) {
    auto inWindow = [&](int i) {
        return Inside<Windowed>(evaluation, x[i]) ? std::fabs(d1[i]) : 0.0;
    };
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    int i = 0;
    for (; i + 3 < n; i += 4) {
        a = std::max(a, inWindow(i));
        b = std::max(b, inWindow(i + 1));
        c = std::max(c, inWindow(i + 2));
        d = std::max(d, inWindow(i + 3));
    }
    for (; i < n; ++i) {
        a = std::max(a, inWindow(i));
    }
    return std::max(std::max(a, b), std::max(c, d));
}

template <bool Windowed>
void SearchDerivativeExtrema(std::span<const CurvePoint> points, int n,
                             const EvaluationSettings& evaluation, ProcessedCurve& curve) {
    const double* x = curve.gridVolume.data();
    const double* f = curve.smoothedValue.data();
    const double* d1 = curve.firstDerivative.data();
    const double* d2 = curve.secondDerivative.data();
    const int m = static_cast<int>(points.size());

    // The threshold is a share of the steepest slope the window holds: a steep
    // artefact outside it no longer hides a flatter jump inside.
    const double threshold =
        kExtremumThreshold * LargestSlopeInWindow<Windowed>(x, d1, n, evaluation);
    const double firstVolume = points[1].volume;
    const double lastVolume = points[m - 2].volume;

    int s = 0;
    for (int i = 1; i <= n - 2; ++i) {
        if (i <= s || !(firstVolume <= x[i] && x[i] <= lastVolume) ||
            !Inside<Windowed>(evaluation, x[i]) || !(std::fabs(d1[i]) >= threshold)) {
            continue;
        }
        const double left = d2[i - 1];
        const double middle = d2[i];
        const double right = d2[i + 1];
        if (middle == 0.0 && ((left < 0.0 && right > 0.0) || (left > 0.0 && right < 0.0))) {
            AddInside<Windowed>(evaluation, curve, x[i], f[i], d1[i]);
        } else if (middle == 0.0 && right == 0.0 && d1[i] != 0.0) {
            s = EndOfStretch(d2, i, n, 0.0);
            if (s == n - 1) {
                continue;  // the stretch runs to the end of the grid: no sign change after it
            }
            const double after = d2[s + 1];
            if ((left < 0.0 && after > 0.0) || (left > 0.0 && after < 0.0)) {
                const double v = (x[s] + x[i]) / 2;
                AddInside<Windowed>(evaluation, curve, v, Along(v, x[i], f[i], x[s], f[s]),
                                    Along(v, x[i], d1[i], x[s], d1[s]));
            }
        } else if ((left < 0.0 && middle < 0.0 && right > 0.0) ||
                   (left > 0.0 && middle > 0.0 && right < 0.0)) {
            const double v = x[i] + (x[i + 1] - x[i]) * (-middle) / (right - middle);
            AddInside<Windowed>(evaluation, curve, v, Along(v, x[i], f[i], x[i + 1], f[i + 1]),
                                Along(v, x[i], d1[i], x[i + 1], d1[i + 1]));
        }
    }
}

// Marks for removal all but the point with the largest |derivative| in each
// measured interval [V[k], V[k+1]), the first one on a tie, gathering each
// interval's points from the whole list: right for any order of volumes.
void RemoveAllButOnePerInterval(std::span<const CurvePoint> points, const ProcessedCurve& curve,
                                std::array<bool, kEquivalenceCapacity>& removed) {
    const int count = curve.equivalencePointCount;
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
}

// Whether the points' volumes never decrease (NaN counts as a decrease).
template <typename Volume>
bool Ascending(int count, Volume volume) {
    for (int i = 1; i < count; ++i) {
        if (!(volume(i - 1) <= volume(i))) {
            return false;
        }
    }
    return true;
}

// Keeps in each measured interval [V[k], V[k+1]) only the point with the
// largest |derivative|, the first one on a tie.
void KeepOnePointPerInterval(std::span<const CurvePoint> points, ProcessedCurve& curve) {
    const int count = curve.equivalencePointCount;
    std::array<bool, kEquivalenceCapacity> removed{};
    const int m = static_cast<int>(points.size());
    const auto found = [&](int e) { return curve.equivalencePoints[e].volume; };
    const auto measured = [&](int k) { return points[k].volume; };
    if (Ascending(m, measured) && Ascending(count, found)) {
        // The intervals follow one another and so do the points: one pass
        // meets each interval's points together and in list order, as the
        // scan over every interval below does.
        int k = 0;
        int best = -1;
        int bestInterval = -1;
        for (int e = 0; e < count; ++e) {
            const double v = found(e);
            while (k + 1 < m && measured(k + 1) <= v) {
                ++k;
            }
            if (!(k + 1 < m && measured(k) <= v && v < measured(k + 1))) {
                continue;  // outside every interval
            }
            if (bestInterval != k) {
                best = e;
                bestInterval = k;
            } else if (std::fabs(curve.equivalencePoints[e].derivative) >
                       std::fabs(curve.equivalencePoints[best].derivative)) {
                removed[best] = true;
                best = e;
            } else {
                removed[e] = true;
            }
        }
    } else {
        RemoveAllButOnePerInterval(points, curve, removed);
    }
    int kept = 0;
    for (int e = 0; e < count; ++e) {
        if (!removed[e]) {
            curve.equivalencePoints[kept++] = curve.equivalencePoints[e];
        }
    }
    curve.equivalencePointCount = kept;
}
// Keeps the points the choice reports, in volume order, and notes how many
// were found and which were left out.
void ApplyChoice(const EvaluationSettings& evaluation, ProcessedCurve& curve) {
    const int found = curve.equivalencePointCount;
    EvaluationOutcome& outcome = curve.evaluation;
    outcome.foundCount = found;
    const int keep = evaluation.Expected();
    if (keep == 0 || found <= keep) {
        return;
    }
    std::array<bool, kEquivalenceCapacity> kept{};
    if (evaluation.choice == PointChoice::First) {
        kept[0] = true;
    } else if (evaluation.choice == PointChoice::Last) {
        kept[found - 1] = true;
    } else {
        // The `keep` greatest |derivative|; on a tie the earlier point.
        for (int k = 0; k < keep; ++k) {
            int best = -1;
            for (int e = 0; e < found; ++e) {
                if (!kept[e] &&
                    (best < 0 || std::fabs(curve.equivalencePoints[e].derivative) >
                                     std::fabs(curve.equivalencePoints[best].derivative))) {
                    best = e;
                }
            }
            kept[best] = true;
        }
    }
    int count = 0;
    for (int e = 0; e < found; ++e) {
        if (kept[e]) {
            curve.equivalencePoints[count++] = curve.equivalencePoints[e];
        } else if (outcome.leftOutCount++ < EvaluationOutcome::kLeftOutShown) {
            outcome.leftOut[outcome.leftOutCount - 1] = curve.equivalencePoints[e].volume;
        }
    }
    curve.equivalencePointCount = count;
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
    return FindEquivalencePoints(points, quantity, settings, EvaluationSettings{}, curve);
}

int FindEquivalencePoints(std::span<const CurvePoint> points, MeasuredQuantity quantity,
                          const ProcessingSettings& settings, const EvaluationSettings& evaluation,
                          ProcessedCurve& curve) {
    curve.evaluation = {};
    curve.evaluation.applied = evaluation;
    const int n = std::clamp(settings.interpolationPointCount, 0, kMaxGridPoints);
    if (settings.criterion == EndPointCriterion::GivenValue) {
        const double target = EndValue(quantity, settings);
        if (evaluation.HasWindow()) {
            SearchGivenValue<true>(target, n, evaluation, curve);
        } else {
            SearchGivenValue<false>(target, n, evaluation, curve);
        }
    } else {
        if (!SecondDerivativeTakesBothSigns(curve, n)) {
            return kNoSignChangeOfD2;
        }
        if (points.size() < 3) {
            return kSearchDone;  // no measured interval lies inside the curve
        }
        if (evaluation.HasWindow()) {
            SearchDerivativeExtrema<true>(points, n, evaluation, curve);
        } else {
            SearchDerivativeExtrema<false>(points, n, evaluation, curve);
        }
        KeepOnePointPerInterval(points, curve);
    }
    ApplyChoice(evaluation, curve);
    return kSearchDone;
}

double EndValue(MeasuredQuantity quantity, const ProcessingSettings& settings) {
    return quantity == MeasuredQuantity::Emf ? settings.endValueEmf : settings.endValuePh;
}

}  // namespace kelm
