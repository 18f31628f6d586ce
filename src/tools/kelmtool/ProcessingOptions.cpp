#include "ProcessingOptions.h"

#include "processing/Processing.h"

namespace kelm::tool {

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
}

FileOutcome LoadAndProcess(const std::filesystem::path& path, const ProcessingOverrides& overrides,
                           SharedState& state) {
    InitFreshState(state);
    const RecordLoad load = ReadRecordFile(path, state);
    if (load.status != kExitOk) {
        return {load.status, load.reason, false};
    }
    ApplyOverrides(overrides, state);
    const int result = RunProcessing(state);
    if (result == kProcessingDone) {
        return {kExitOk, {}, true};
    }
    return {result,
            std::string(result == kNoPointFound ? kNoPointFoundMessage : kTooFewPointsMessage),
            true};
}

}  // namespace kelm::tool
