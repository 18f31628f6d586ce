// The uniform grid from volume 0 to the last measured volume and the value of
// the measured curve at each grid volume, linear or by a local cubic.
#pragma once

#include <span>

#include "core/SharedState.h"

namespace kelm {

// The grid size a run uses: 5 per measured point when automatic, otherwise the
// user's count; in both cases at least the point count and at most 500.
int GridPointCount(int pointCount, int autoPointCount, int requestedCount);

// The grid step: the last measured volume over N - 1 intervals.
double GridStep(double lastVolume, int gridPointCount);

// The bracket index of volume x: the first measured point whose volume is not
// below x, or points.size() when x exceeds them all. `from` lets a caller skip
// points already known to lie below x.
int BracketIndex(std::span<const CurvePoint> points, double x, int from = 0);

// The curve value at volume x, p being its bracket index. Flat outside the
// measured points, linear in the first and last measured intervals, and in the
// interior the cubic through the points p-2..p+1 (or the line for Linear).
// Needs at least three points.
double InterpolateAt(std::span<const CurvePoint> points, InterpolationKind kind, double x, int p);

// Fills gridVolume and interpolatedValue with N = gridPointCount entries.
// Needs at least three points and 2 <= N <= 500.
void BuildGrid(std::span<const CurvePoint> points, InterpolationKind kind, int gridPointCount,
               ProcessedCurve& curve);

}  // namespace kelm
