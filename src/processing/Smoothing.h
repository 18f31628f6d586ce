// Noise filtering of the grid curve: a moving average or quadratic
// Savitzky-Golay smoothing, with a window set by the filter strength.
#pragma once

#include "core/SharedState.h"

namespace kelm {

// The strongest filtering the settings hold; stronger values count as this.
inline constexpr int kMaxFilterStrength = 15;

// The window a strength gives on N grid points: the smaller of the two, made
// odd; 0 when the strength (below 2) asks for no filtering.
int FilterWindow(int filterStrength, int gridPointCount);

// Fills smoothedValue from interpolatedValue over the first N =
// settings.interpolationPointCount entries (3 <= N <= 500), by the settings'
// filter kind and strength. Each point is computed from the unfiltered curve.
void SmoothCurve(const ProcessingSettings& settings, ProcessedCurve& curve);

}  // namespace kelm
