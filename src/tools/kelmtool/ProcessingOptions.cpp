#include "ProcessingOptions.h"

#include <array>
#include <cmath>

#include "processing/EvaluationNotice.h"
#include "processing/Processing.h"

namespace kelm::tool {

namespace {

std::optional<std::pair<PointChoice, int>> ParseSelect(std::string_view word) {
    if (const std::optional<PointChoice> choice = ChoiceNamed(word)) {
        return std::pair(*choice, 1);
    }
    if (const std::optional<int> count = ParseIntInRange(word, 1, kMaxChoiceCount)) {
        return std::pair(PointChoice::GreatestN, *count);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadProcessingOverrides(const ParsedArgs& args,
                                                   ProcessingOverrides& overrides) {
    if (auto word = args.Value("--criterion")) {
        if (*word == "end-value") {
            overrides.criterion = EndPointCriterion::GivenValue;
        } else if (*word == "extremum") {
            overrides.criterion = EndPointCriterion::DerivativeExtremum;
        } else {
            return "--criterion takes end-value or extremum";
        }
    }
    if (auto word = args.Value("--end-value")) {
        overrides.endValue = ParseFiniteNumber(*word);
        if (!overrides.endValue) {
            return "--end-value takes a number, such as 7 or -50.5";
        }
    }
    if (auto word = args.Value("--interpolation")) {
        if (*word == "cubic") {
            overrides.interpolation = InterpolationKind::CubicSpline;
        } else if (*word == "linear") {
            overrides.interpolation = InterpolationKind::Linear;
        } else {
            return "--interpolation takes cubic or linear";
        }
    }
    if (auto word = args.Value("--grid")) {
        overrides.gridCount =
            *word == "auto" ? std::optional<int>(-1) : ParseIntInRange(*word, 0, kMaxGridPoints);
        if (!overrides.gridCount) {
            return "--grid takes auto or a count from 0 to 500";
        }
    }
    if (auto word = args.Value("--filter")) {
        if (*word == "polynomial") {
            overrides.filter = FilterKind::PolynomialSmoothing;
        } else if (*word == "moving-average") {
            overrides.filter = FilterKind::MovingAverage;
        } else {
            return "--filter takes polynomial or moving-average";
        }
    }
    if (auto word = args.Value("--strength")) {
        overrides.strength = ParseIntInRange(*word, 0, 15);
        if (!overrides.strength) {
            return "--strength takes a whole number from 0 to 15";
        }
    }
    if (auto word = args.Value("--window")) {
        overrides.window = ParseVolumeRange(*word);
        if (!overrides.window) {
            return "--window takes FROM:TO in mL, such as 4.5:6, 4.5: or :6 (FROM not above TO, "
                   "neither below 0)";
        }
    }
    if (auto word = args.Value("--select")) {
        overrides.select = ParseSelect(*word);
        if (!overrides.select) {
            return "--select takes all, greatest, first, last or a count from 1 to 250";
        }
    }
    const SeparatorChoice separator = ReadSeparator(args);
    if (separator.conflict) {
        return std::string(kSeparatorConflict);
    }
    overrides.decimalComma = separator.decimalComma;
    return std::nullopt;
}

void ApplyOverrides(const ProcessingOverrides& o, SharedState& state) {
    ProcessingSettings& p = state.processing;
    if (o.criterion) {
        p.criterion = *o.criterion;
    }
    if (o.endValue) {
        (state.record.quantity == MeasuredQuantity::Emf ? p.endValueEmf : p.endValuePh) =
            *o.endValue;
    }
    if (o.interpolation) {
        p.interpolationKind = *o.interpolation;
    }
    if (o.gridCount) {
        p.autoPointCount = *o.gridCount < 0 ? 1 : 0;
        if (*o.gridCount >= 0) {
            p.interpolationPointCount = *o.gridCount;
        }
    }
    if (o.filter) {
        p.filterKind = *o.filter;
    }
    if (o.strength) {
        p.filterStrength = *o.strength;
    }
    if (o.decimalComma) {
        state.display.decimalComma = *o.decimalComma;
    }
    EvaluationSettings& e = state.notes.evaluation;
    if (o.window) {
        e.windowFrom = o.window->first;
        e.windowTo = o.window->second;
    }
    if (o.select) {
        e.choice = o.select->first;
        e.count = o.select->second;
    }
}

FileOutcome LoadAndProcess(const std::filesystem::path& path, const ProcessingOverrides& overrides,
                           SharedState& state) {
    InitFreshState(state);
    const RecordLoad load = ReadRecordFile(path, state);
    if (load.status != kExitOk) {
        return {load.status, load.reason, false, {}};
    }
    ApplyOverrides(overrides, state);
    const int result = RunProcessing(state);
    if (result == kProcessingDone) {
        return {kExitOk, {}, true, EvaluationNoticeText(state, NoticeLanguage::English, "; ")};
    }
    return {result,
            std::string(result == kNoPointFound ? kNoPointFoundMessage : kTooFewPointsMessage),
            true,
            {}};
}

}  // namespace kelm::tool
