#include "processing/Processing.h"

#include <cmath>
#include <span>

#include "processing/Derivative.h"
#include "processing/EquivalenceSearch.h"
#include "processing/EvaluationNotice.h"
#include "processing/Interpolation.h"
#include "processing/Smoothing.h"

namespace kelm {

namespace {

constexpr int kMinPoints = 3;

// A damaged record (a value that is not a number) gives no data to compute from.
bool AllFinite(std::span<const CurvePoint> points) {
    for (const CurvePoint& p : points) {
        if (!std::isfinite(p.volume) || !std::isfinite(p.value)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int RunProcessing(SharedState& state) {
    const int n = PointCount(state.record);
    if (n < kMinPoints) {
        return kTooFewPoints;
    }
    const std::span<const CurvePoint> points(state.record.points.data(), n);
    ProcessingSettings& settings = state.processing;
    const int gridCount =
        GridPointCount(n, settings.autoPointCount, settings.interpolationPointCount);
    // Without any titrant volume (the last volume 0) every grid volume is 0 and
    // no slope exists: that is as little data as too few points, and nothing changes.
    const double step = GridStep(points.back().volume, gridCount);
    if (!AllFinite(points) || step == 0.0 || !std::isfinite(step)) {
        return kTooFewPoints;
    }
    settings.interpolationPointCount = gridCount;
    // The processing dialog refreshes its point count (to show N) after the
    // run returns: nothing is shown in between, so the UI does it then.

    ProcessedCurve& curve = state.curve;
    BuildGrid(points, settings.interpolationKind, gridCount, curve);
    SmoothCurve(settings, curve);
    DifferentiateCurve(gridCount, curve);
    curve.equivalencePointCount = 0;
    if (FindEquivalencePoints(points, state.record.quantity, settings, state.notes.evaluation,
                              curve) != kSearchDone) {
        return kNoPointFound;
    }
    AssessEvaluation(points, state.record.quantity, settings, curve);
    curve.curveProcessed = 1;
    return kProcessingDone;
}

}  // namespace kelm
