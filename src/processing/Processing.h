// The processing run: grid, interpolation, smoothing, derivatives and the
// equivalence points, from the record and its processing settings.
#pragma once

#include <string_view>

#include "core/SharedState.h"

namespace kelm {

enum ProcessingResult : int {
    kProcessingDone = 0,  // the processed curve and the equivalence points are ready
    kNoPointFound = 1,    // the extremum criterion found no sign change of d2
    // Fewer than three measured points, no titrant volume at all (the last
    // volume 0), or a point that is not a number; nothing changed.
    kTooFewPoints = 2,
};

// What the UI shows for the two failed outcomes (UTF-8, caption "Информация").
inline constexpr std::string_view kTooFewPointsMessage = "Недостаточно данных для расчёта";
inline constexpr std::string_view kNoPointFoundMessage = "Точка не обнаружена";
inline constexpr std::string_view kProcessingMessageCaption = "Информация";

// Runs the processing on the state and returns a ProcessingResult. Shows
// nothing, allocates nothing. The points are searched and chosen by the
// record's evaluation settings (notes.evaluation), and curve.evaluation says
// what was doubtful. A completed run also sets curveProcessed; the redraw and
// the results window are the caller's.
int RunProcessing(SharedState& state);

}  // namespace kelm
