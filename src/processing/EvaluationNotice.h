// What was doubtful about the evaluation of a run's equivalence points, and
// how the window and kelmtool say it: no point found while the curve is
// steepest outside the range searched (with a window that finds the jump),
// a point where the interpolated curve swings beyond the measured values,
// more points found than the choice reports, a point at the window's edge.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/FixedText.h"
#include "core/SharedState.h"

namespace kelm {

// After a completed search (FindEquivalencePoints with its evaluation): fills
// the notice's numbers in curve.evaluation. Allocates nothing.
void AssessEvaluation(std::span<const CurvePoint> points, MeasuredQuantity quantity,
                      const ProcessingSettings& settings, ProcessedCurve& curve);

enum class NoticeLanguage {
    Russian,  // the window's, with the user's decimal separator
    English,  // kelmtool's, with the decimal point
};

// The notice of the last run as sentences joined by `separator` (UTF-8);
// empty when there is nothing to say.
std::string EvaluationNoticeText(const SharedState& state, NoticeLanguage language,
                                 std::string_view separator = "\n");

// The evaluation settings in words, in code page 1251, for the printed page:
// "Окно поиска: от 4,5 до 6 мл; выбор точек: наибольшая"; empty for the
// default evaluation. Allocates nothing.
FixedText<160> EvaluationSummary(const EvaluationSettings& evaluation, bool decimalComma);

// The settings as kelmtool's options and the history write them: the window
// "4.5:6", "4.5:", ":" and the choice "all", "greatest", "first", "last" or
// the number of the greatest points ("3").
std::string WindowOptionText(const EvaluationSettings& evaluation);
std::string SelectOptionText(const EvaluationSettings& evaluation);
// The choice a word names ("greatest"); a number of points is no name.
std::optional<PointChoice> ChoiceNamed(std::string_view word);

}  // namespace kelm
