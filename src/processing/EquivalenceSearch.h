// The equivalence points of the processed curve: where the smoothed curve
// reaches the given end value, or the steep extrema of the first derivative.
#pragma once

#include <span>

#include "core/SharedState.h"

namespace kelm {

enum EquivalenceSearchResult : int {
    kSearchDone = 0,        // the list is ready, possibly empty
    kNoSignChangeOfD2 = 1,  // extremum criterion: the second derivative never changes sign
};

// Share of the largest |first derivative| that an extremum must reach.
inline constexpr double kExtremumThreshold = 0.3;

// Searches the first N = settings.interpolationPointCount grid entries of
// `curve` by the settings' criterion and appends what it finds to the
// equivalence-point list (at most 250, ascending volume). `points` are the
// measured points: their volumes bound the extremum search and its one point
// per measured interval. Expects equivalencePointCount to start at 0.
int FindEquivalencePoints(std::span<const CurvePoint> points, MeasuredQuantity quantity,
                          const ProcessingSettings& settings, ProcessedCurve& curve);

// The same inside the evaluation's window, reporting the points its choice
// keeps; curve.evaluation gets the settings applied, the count found and the
// points left out. With the default evaluation the list is the one above.
// Within the window the extremum threshold is a share of the steepest slope
// the window holds; the end-value criterion reports the crossings inside it.
int FindEquivalencePoints(std::span<const CurvePoint> points, MeasuredQuantity quantity,
                          const ProcessingSettings& settings, const EvaluationSettings& evaluation,
                          ProcessedCurve& curve);

// The value the end-value criterion looks for: the EMF end value for an EMF
// record, the pH one for every other quantity.
double EndValue(MeasuredQuantity quantity, const ProcessingSettings& settings);

}  // namespace kelm
