#include "processing/EvaluationNotice.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "core/Quantity.h"
#include "processing/EquivalenceSearch.h"

namespace kelm {

namespace {

constexpr std::array<std::pair<std::string_view, PointChoice>, 4> kChoiceWords = {{
    {"all", PointChoice::All},
    {"greatest", PointChoice::Greatest},
    {"first", PointChoice::First},
    {"last", PointChoice::Last},
}};

constexpr int kVolumeDecimals = 3;
// A suggested window's ends are rounded to hundredths of a mL, inwards.
constexpr double kSuggestedStep = 0.01;

bool IsExtremum(const double* d2, int i) {
    const double left = d2[i - 1];
    const double middle = d2[i];
    const double right = d2[i + 1];
    return (middle == 0.0 && ((left < 0.0 && right > 0.0) || (left > 0.0 && right < 0.0))) ||
           (left < 0.0 && middle < 0.0 && right > 0.0) ||
           (left > 0.0 && middle > 0.0 && right < 0.0);
}

// A round window start above `excluded` that still holds `kept`; `fallback`
// when rounding finds none.
double StartAbove(double excluded, double kept, double fallback) {
    const double start = (std::floor(excluded / kSuggestedStep) + 1.0) * kSuggestedStep;
    return start > excluded && start <= kept ? start : fallback;
}

double EndBelow(double excluded, double kept, double fallback) {
    const double end = (std::ceil(excluded / kSuggestedStep) - 1.0) * kSuggestedStep;
    return end < excluded && end >= kept ? end : fallback;
}

// The lowest and highest value measured around a volume: the two points on
// either side of it. A curve that passes a jump there stays within them; one
// that swings beyond them overshoots the points (a spline ringing after an
// artefact) and holds no jump.
std::pair<double, double> MeasuredAround(std::span<const CurvePoint> points, double volume) {
    const int m = static_cast<int>(points.size());
    // The interval from point k to k + 1 holds the volume (a binary search:
    // volumes that do not ascend give some interval, never one outside).
    const auto after =
        std::partition_point(points.begin() + 1, points.end() - 1,
                             [&](const CurvePoint& p) { return p.volume <= volume; });
    const int k = static_cast<int>(after - points.begin()) - 1;
    double low = points[k].value;
    double high = low;
    for (int j = std::max(0, k - 1); j <= std::min(m - 1, k + 2); ++j) {
        low = std::min(low, points[j].value);
        high = std::max(high, points[j].value);
    }
    return {low, high};
}

bool AmongMeasured(std::span<const CurvePoint> points, double volume, double value) {
    const auto [low, high] = MeasuredAround(points, volume);
    return low <= value && value <= high;
}

// No point by the extremum criterion: where the curve is steepest, and the
// window in which the steepest jump of the range searched would pass the
// threshold, the slopes beside it no longer setting it.
void AssessNoExtremum(std::span<const CurvePoint> points, int n, ProcessedCurve& curve) {
    EvaluationOutcome& o = curve.evaluation;
    const EvaluationSettings& e = o.applied;
    const double* x = curve.gridVolume.data();
    const double* d1 = curve.firstDerivative.data();
    const double* d2 = curve.secondDerivative.data();
    const int m = static_cast<int>(points.size());
    if (n < 3 || m < 3) {
        return;
    }
    int steepest = 0;
    for (int i = 1; i < n; ++i) {
        if (std::fabs(d1[i]) > std::fabs(d1[steepest])) {
            steepest = i;
        }
    }
    o.searchableFrom = points[1].volume;
    o.searchableTo = points[m - 2].volume;
    o.searchedFrom = std::max(e.windowFrom, o.searchableFrom);
    o.searchedTo = std::min(e.windowTo, o.searchableTo);
    o.steepestVolume = x[steepest];
    o.steepestOutside = !(o.searchedFrom <= x[steepest] && x[steepest] <= o.searchedTo);

    const double* f = curve.smoothedValue.data();
    int jump = -1;
    for (int i = 1; i <= n - 2; ++i) {
        if (o.searchedFrom <= x[i] && x[i] <= o.searchedTo && d1[i] != 0.0 && IsExtremum(d2, i) &&
            AmongMeasured(points, x[i], f[i]) &&
            (jump < 0 || std::fabs(d1[i]) > std::fabs(d1[jump]))) {
            jump = i;
        }
    }
    if (jump >= 0) {
        const double slope = std::fabs(d1[jump]);
        const auto passes = [&](int i) { return kExtremumThreshold * std::fabs(d1[i]) <= slope; };
        int low = jump;
        while (low > 0 && passes(low - 1)) {
            --low;
        }
        int high = jump;
        while (high < n - 1 && passes(high + 1)) {
            ++high;
        }
        o.windowSuggested = true;
        o.jumpVolume = x[jump];
        o.suggestedFrom = low == 0 ? -kOpenEnd : StartAbove(x[low - 1], x[jump], x[low]);
        o.suggestedTo = high == n - 1 ? kOpenEnd : EndBelow(x[high + 1], x[jump], x[high]);
    }
    o.noPoint = o.steepestOutside || o.windowSuggested;
}

// No point by the end value inside a window: the first crossing outside it.
void AssessNoCrossing(double target, int n, ProcessedCurve& curve) {
    EvaluationOutcome& o = curve.evaluation;
    if (!o.applied.HasWindow()) {
        return;
    }
    const double* x = curve.gridVolume.data();
    const double* f = curve.smoothedValue.data();
    for (int i = 1; i <= n - 2; ++i) {
        if (f[i] == target) {
            o.crossingVolume = x[i];
        } else if ((f[i] < target && target < f[i + 1]) || (f[i] > target && target > f[i + 1])) {
            o.crossingVolume = x[i] + (x[i + 1] - x[i]) * (target - f[i]) / (f[i + 1] - f[i]);
        } else {
            continue;
        }
        o.crossingOutside = true;
        o.noPoint = true;
        return;
    }
}

// The length of the measured interval that holds `volume` (the last one past
// the last point).
double IntervalAt(std::span<const CurvePoint> points, double volume) {
    const int m = static_cast<int>(points.size());
    for (int k = 0; k + 1 < m; ++k) {
        if (volume < points[k + 1].volume) {
            return points[k + 1].volume - points[k].volume;
        }
    }
    return points[m - 1].volume - points[m - 2].volume;
}

void AssessValues(std::span<const CurvePoint> points, ProcessedCurve& curve) {
    EvaluationOutcome& o = curve.evaluation;
    for (int k = 0; k < curve.equivalencePointCount; ++k) {
        const EquivalencePoint& p = curve.equivalencePoints[k];
        if (const auto [low, high] = MeasuredAround(points, p.volume);
            p.value < low || p.value > high) {
            o.valueOutside = true;
            o.outsideVolume = p.volume;
            o.outsideValue = p.value;
            o.measuredLow = low;
            o.measuredHigh = high;
            return;
        }
    }
}

void AssessEdges(std::span<const CurvePoint> points, ProcessedCurve& curve) {
    EvaluationOutcome& o = curve.evaluation;
    const EvaluationSettings& e = o.applied;
    if (!e.HasWindow()) {
        return;
    }
    for (int k = 0; k < curve.equivalencePointCount; ++k) {
        const double v = curve.equivalencePoints[k].volume;
        const double interval = IntervalAt(points, v);
        for (const double edge : {e.windowFrom, e.windowTo}) {
            if (std::isfinite(edge) && std::fabs(v - edge) < interval) {
                o.nearEdge = true;
                o.nearEdgeVolume = v;
                o.edgeVolume = edge;
                return;
            }
        }
    }
}

// Numbers and words of one language.
class Wording {
public:
    Wording(NoticeLanguage language, bool decimalComma)
        : russian_(language == NoticeLanguage::Russian), comma_(russian_ && decimalComma) {}

    bool Russian() const { return russian_; }
    std::string Number(double value, int decimals) const {
        return ProseNumber(value, decimals, comma_).str();
    }
    std::string Volume(double value) const { return Number(value, kVolumeDecimals); }
    // "от 1,25 до 8 мл", "от 1,25 мл"; for the tool "1.25:8", "1.25:".
    std::string Window(double from, double to, int decimals) const {
        if (!russian_) {
            return (std::isfinite(from) ? Number(from, decimals) : "") + ":" +
                   (std::isfinite(to) ? Number(to, decimals) : "");
        }
        std::string text;
        if (std::isfinite(from)) {
            text = "от " + Number(from, decimals);
        }
        if (std::isfinite(to)) {
            text += (text.empty() ? "до " : " до ") + Number(to, decimals);
        }
        return text + " мл";
    }

private:
    bool russian_;
    bool comma_;
};

std::string NoPointText(const EvaluationOutcome& o, const Wording& w, double target,
                        int valueDecimals) {
    if (o.crossingOutside) {
        const std::string value = w.Number(target, valueDecimals);
        return w.Russian()
                   ? "Точка эквивалентности не найдена: кривая достигает значения " + value +
                         " при " + w.Volume(o.crossingVolume) + " мл, вне окна поиска " +
                         w.Window(o.applied.windowFrom, o.applied.windowTo, 6) + "."
                   : "no equivalence point found: the curve reaches the end value " + value +
                         " at " + w.Volume(o.crossingVolume) + " mL, outside the search window " +
                         w.Window(o.applied.windowFrom, o.applied.windowTo, 6);
    }
    std::string text;
    const std::string steepest = w.Volume(o.steepestVolume);
    if (o.searchedFrom > o.searchedTo) {
        // The window misses the part of the curve a point can lie in.
        const std::string window = w.Window(o.applied.windowFrom, o.applied.windowTo, 6);
        const std::string curve =
            w.Volume(o.searchableFrom) + (w.Russian() ? "–" : " to ") + w.Volume(o.searchableTo);
        text = w.Russian() ? "Точка эквивалентности не найдена: окно поиска " + window +
                                 " лежит вне участка кривой, где ищутся точки (" + curve +
                                 " мл); кривая круче всего при " + steepest + " мл."
                           : "no equivalence point found: the search window " + window +
                                 " holds no part of the curve searched, " + curve +
                                 " mL; the curve is steepest at " + steepest + " mL";
    } else if (o.steepestOutside) {
        const std::string range =
            w.Volume(o.searchedFrom) + (w.Russian() ? "–" : " to ") + w.Volume(o.searchedTo);
        text = w.Russian() ? "Точка эквивалентности не найдена: кривая круче всего при " +
                                 steepest + " мл, вне области поиска " + range + " мл."
                           : "no equivalence point found: the curve is steepest at " + steepest +
                                 " mL, outside the searched range " + range + " mL";
    } else {
        text = w.Russian() ? "Точка эквивалентности не найдена: кривая круче всего при " +
                                 steepest + " мл, и этот участок задаёт порог поиска."
                           : "no equivalence point found: the curve is steepest at " + steepest +
                                 " mL, which sets the search threshold";
    }
    if (o.windowSuggested) {
        const std::string window = w.Window(o.suggestedFrom, o.suggestedTo, 2);
        text += w.Russian() ? " Скачок при " + w.Volume(o.jumpVolume) +
                                  " мл найдётся с окном поиска " + window + "."
                            : "; the jump at " + w.Volume(o.jumpVolume) +
                                  " mL is found with --window " + window;
    } else {
        text += w.Russian() ? " Задайте окно поиска вокруг ожидаемого скачка."
                            : "; set a search window around the expected jump (--window FROM:TO)";
    }
    return text;
}

std::string LeftOutText(const EvaluationOutcome& o, const Wording& w, int reported) {
    const PointChoice choice = o.applied.choice;
    std::string text;
    if (w.Russian()) {
        text = "Найдено точек: " + std::to_string(o.foundCount) + ", ";
        switch (choice) {
            case PointChoice::Greatest:
                text += "показана наибольшая.";
                break;
            case PointChoice::First:
                text += "показана первая.";
                break;
            case PointChoice::Last:
                text += "показана последняя.";
                break;
            default:
                text += "показано наибольших: " + std::to_string(reported) + ".";
                break;
        }
        text += " Не показаны точки при ";
    } else {
        text = std::to_string(o.foundCount) + " points found, " + std::to_string(reported) +
               " reported; not reported: ";
    }
    // "; " between Russian volumes, whose decimal separator may be the comma.
    const std::string between = w.Russian() ? "; " : ", ";
    const int shown = std::min(o.leftOutCount, EvaluationOutcome::kLeftOutShown);
    for (int k = 0; k < shown; ++k) {
        text += (k == 0 ? "" : between) + w.Volume(o.leftOut[k]);
    }
    text += w.Russian() ? " мл" : " mL";
    if (o.leftOutCount > shown) {
        const std::string more = std::to_string(o.leftOutCount - shown);
        text += w.Russian() ? " и ещё " + more : " and " + more + " more";
    }
    return w.Russian() ? text + "." : text;
}

std::string OutsideValuesText(const EvaluationOutcome& o, const Wording& w, int decimals) {
    const std::string range = w.Number(o.measuredLow, decimals) + (w.Russian() ? "–" : " to ") +
                              w.Number(o.measuredHigh, decimals);
    return w.Russian()
               ? "Точка при " + w.Volume(o.outsideVolume) + " мл со значением " +
                     w.Number(o.outsideValue, decimals) +
                     " лежит вне значений, измеренных рядом (" + range +
                     "): здесь интерполированная кривая выходит за точки, скачка нет. Оставьте "
                     "этот участок вне окна поиска или выберите линейную интерполяцию."
               : "the point at " + w.Volume(o.outsideVolume) + " mL has the value " +
                     w.Number(o.outsideValue, decimals) +
                     ", outside the values measured around it, " + range +
                     ": the interpolated curve overshoots the points there and holds no jump; "
                     "leave that part out with --window FROM:TO or use --interpolation linear";
}

std::string NearEdgeText(const EvaluationOutcome& o, const Wording& w) {
    return w.Russian()
               ? "Точка при " + w.Volume(o.nearEdgeVolume) + " мл лежит у края окна поиска (" +
                     w.Volume(o.edgeVolume) +
                     " мл), ближе одной добавки титранта: окно может обрезать скачок."
               : "the point at " + w.Volume(o.nearEdgeVolume) +
                     " mL lies within one titrant addition of the search window's edge at " +
                     w.Volume(o.edgeVolume) + " mL: the window may cut the jump";
}

}  // namespace

void AssessEvaluation(std::span<const CurvePoint> points, MeasuredQuantity quantity,
                      const ProcessingSettings& settings, ProcessedCurve& curve) {
    const int n = std::clamp(settings.interpolationPointCount, 0, kMaxGridPoints);
    if (curve.equivalencePointCount > 0) {
        AssessValues(points, curve);
        AssessEdges(points, curve);
    } else if (settings.criterion == EndPointCriterion::GivenValue) {
        AssessNoCrossing(EndValue(quantity, settings), n, curve);
    } else {
        AssessNoExtremum(points, n, curve);
    }
}

std::string EvaluationNoticeText(const SharedState& state, NoticeLanguage language,
                                 std::string_view separator) {
    const EvaluationOutcome& o = state.curve.evaluation;
    const Wording w(language, state.display.decimalComma != 0);
    std::string text;
    const auto add = [&](const std::string& sentence) {
        text += (text.empty() ? "" : std::string(separator)) + sentence;
    };
    if (o.noPoint) {
        add(NoPointText(o, w, EndValue(state.record.quantity, state.processing),
                        QuantityValueDecimals(state.record.quantity)));
    }
    if (o.valueOutside) {
        add(OutsideValuesText(o, w, QuantityValueDecimals(state.record.quantity)));
    }
    if (o.leftOutCount > 0) {
        add(LeftOutText(o, w, state.curve.equivalencePointCount));
    }
    if (o.nearEdge) {
        add(NearEdgeText(o, w));
    }
    return text;
}

FixedText<160> EvaluationSummary(const EvaluationSettings& evaluation, bool decimalComma) {
    static constexpr Cp1251Literal kWindow("Окно поиска:");
    static constexpr Cp1251Literal kFrom(" от ");
    static constexpr Cp1251Literal kTo(" до ");
    static constexpr Cp1251Literal kMillilitres(" мл");
    static constexpr Cp1251Literal kChoice("Выбор точек: ");
    static constexpr Cp1251Literal kChoiceAfter("; выбор точек: ");
    static constexpr Cp1251Literal kGreatest("наибольшая");
    static constexpr Cp1251Literal kFirst("первая");
    static constexpr Cp1251Literal kLast("последняя");
    static constexpr Cp1251Literal kGreatestN(" наибольших");
    FixedText<160> text;
    if (evaluation.HasWindow()) {
        text.Append(kWindow.view());
        if (std::isfinite(evaluation.windowFrom)) {
            text.Append(kFrom.view());
            text.Append(ProseNumber(evaluation.windowFrom, 6, decimalComma).view());
        }
        if (std::isfinite(evaluation.windowTo)) {
            text.Append(kTo.view());
            text.Append(ProseNumber(evaluation.windowTo, 6, decimalComma).view());
        }
        text.Append(kMillilitres.view());
    }
    if (evaluation.choice == PointChoice::All) {
        return text;
    }
    text.Append(text.empty() ? kChoice.view() : kChoiceAfter.view());
    switch (evaluation.choice) {
        case PointChoice::Greatest:
            text.Append(kGreatest.view());
            break;
        case PointChoice::First:
            text.Append(kFirst.view());
            break;
        case PointChoice::Last:
            text.Append(kLast.view());
            break;
        default:
            char digits[16];
            const auto written = std::to_chars(digits, digits + sizeof digits, evaluation.count);
            text.Append(std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)));
            text.Append(kGreatestN.view());
            break;
    }
    return text;
}

std::string WindowOptionText(const EvaluationSettings& evaluation) {
    const auto end = [](double value) {
        return std::isfinite(value) ? ExactNumberText(value, false).str() : std::string();
    };
    return end(evaluation.windowFrom) + ":" + end(evaluation.windowTo);
}

std::string SelectOptionText(const EvaluationSettings& evaluation) {
    if (evaluation.choice == PointChoice::GreatestN) {
        return std::to_string(evaluation.count);
    }
    for (const auto& [name, choice] : kChoiceWords) {
        if (choice == evaluation.choice) {
            return std::string(name);
        }
    }
    return {};
}

std::optional<PointChoice> ChoiceNamed(std::string_view word) {
    for (const auto& [name, choice] : kChoiceWords) {
        if (word == name) {
            return choice;
        }
    }
    return std::nullopt;
}

}  // namespace kelm
