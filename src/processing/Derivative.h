// The first and second derivatives of the smoothed grid curve by volume.
#pragma once

#include "core/SharedState.h"

namespace kelm {

// Interior derivative values closer to 0 than this become exactly 0.0: the
// equivalence search recognises extrema and flat stretches by equality with 0.
inline constexpr double kDerivativeSnap = 1e-10;

// Fills firstDerivative from smoothedValue and gridVolume, then
// secondDerivative from firstDerivative, over the first gridPointCount entries:
// one-sided differences at the ends, central ones inside. Where two grid
// volumes coincide the slope over no volume is taken as 0.0, not inf or NaN.
// Fewer than 3 points are left alone.
void DifferentiateCurve(int gridPointCount, ProcessedCurve& curve);

}  // namespace kelm
