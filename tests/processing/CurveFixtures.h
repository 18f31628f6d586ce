// Records and grids the processing tests build their cases from.
#pragma once

#include <cmath>
#include <initializer_list>
#include <memory>
#include <span>

#include "core/SharedState.h"

namespace kelm::test {

inline std::unique_ptr<SharedState> StateWithPoints(std::initializer_list<CurvePoint> points) {
    auto state = std::make_unique<SharedState>();
    NewRecord(*state);
    for (const CurvePoint& p : points) {
        state->record.points[state->record.pointCount++] = p;
    }
    return state;
}

// A strong acid titrated with a strong base as a chemist records it: pH 2 to
// 12 with the steepest rise at `equivalence` mL, points every `step` mL.
inline std::unique_ptr<SharedState> AcidBaseTitration(int count, double step, double equivalence) {
    auto state = StateWithPoints({});
    state->record.quantity = MeasuredQuantity::Ph;
    for (int i = 0; i < count; ++i) {
        const double v = step * i;
        state->record.points[i] = {v, 7.0 + 5.0 * std::tanh(4.0 * (v - equivalence))};
    }
    state->record.pointCount = count;
    return state;
}

// 255 points of a diprotic acid: two jumps, at 8 and 17 mL, with a little
// measurement noise; processed on the largest grid.
inline std::unique_ptr<SharedState> DiproticTitration() {
    auto state = StateWithPoints({});
    state->record.quantity = MeasuredQuantity::Ph;
    state->record.pointCount = kMaxPoints;
    for (int i = 0; i < kMaxPoints; ++i) {
        const double v = 0.1 * i;
        const double noise = 0.01 * std::sin(17.0 * i);
        state->record.points[i] = {
            v, 4.0 + 2.0 * std::tanh(3.0 * (v - 8.0)) + 3.0 * std::tanh(3.0 * (v - 17.0)) + noise};
    }
    state->processing.autoPointCount = 0;
    state->processing.interpolationPointCount = kMaxGridPoints;
    state->processing.endValuePh = 7.0;
    return state;
}

// A uniform grid x = x0 + k*h of n points with the given smoothed curve.
template <typename Function>
void FillGrid(ProcessedCurve& curve, int n, double x0, double h, Function f) {
    for (int k = 0; k < n; ++k) {
        curve.gridVolume[k] = x0 + h * k;
        curve.smoothedValue[k] = f(curve.gridVolume[k]);
    }
}

inline bool AllFinite(std::span<const double> values) {
    for (double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

}  // namespace kelm::test
