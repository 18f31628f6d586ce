// kelmtool process: runs the processing on a result file and prints the
// results window's report, or every processed array as JSON.
#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/SharedState.h"
#include "processing/Processing.h"
#include "processing/ResultsReport.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool process FILE.kel [--criterion end-value|extremum] [--end-value X]\n"
    "         [--interpolation cubic|linear] [--grid auto|N] [--filter polynomial|moving-average]\n"
    "         [--strength S] [--comma|--point] [--json] [-o OUT.kel]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Runs the curve processing on the record of FILE.kel with its stored\n"
                 "processing settings, overridden by the options, and prints the list of\n"
                 "equivalence points as the results window shows it (CR LF line ends).\n"
                 "  --criterion      end-value (the given end point) or extremum (of dE/dV)\n"
                 "  --end-value X    the end value of the record's quantity (mV for EMF)\n"
                 "  --interpolation  cubic or linear\n"
                 "  --grid           auto (5 per measured point) or a grid size N, 0 to 500\n"
                 "  --filter         polynomial or moving-average\n"
                 "  --strength S     filter strength 0 to 15 (below 2: no filtering)\n"
                 "  --comma, --point the decimal separator of the report and of OUT.kel\n"
                 "  --json           print the result code and every processed array as JSON\n"
                 "  -o OUT.kel       save the processed record with its equivalence points\n"
                 "Exit status 0; 1 when no point could be searched (\"Точка не обнаружена\"),\n"
                 "2 when there is too little data (\"Недостаточно данных для расчёта\"); then\n"
                 "OUT.kel is not written.\n";
}

// The settings the flags override; what is not given stays as the file has it.
struct Overrides {
    std::optional<EndPointCriterion> criterion;
    std::optional<double> endValue;
    std::optional<InterpolationKind> interpolation;
    std::optional<int> gridCount;  // -1 for "auto"
    std::optional<FilterKind> filter;
    std::optional<int> strength;
    std::optional<int> decimalComma;
};

// Reads the flags into `overrides`; returns the usage error text, or nothing.
std::optional<std::string> ReadOverrides(const ParsedArgs& args, Overrides& overrides) {
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

void Apply(const Overrides& o, SharedState& state) {
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

void PrintArray(std::string_view name, const std::array<double, kGridCapacity>& values, int count) {
    std::cout << ",\"" << name << "\":[";
    for (int i = 0; i < count; ++i) {
        std::cout << (i == 0 ? "" : ",") << JsonNumber(values[i]);
    }
    std::cout << ']';
}

void PrintJson(const SharedState& state, int result) {
    const int count = std::clamp(state.processing.interpolationPointCount, 0, kMaxGridPoints);
    const ProcessedCurve& c = state.curve;
    std::cout << "{\"result\":" << result
              << ",\"interpolationPointCount\":" << state.processing.interpolationPointCount;
    PrintArray("gridVolume", c.gridVolume, count);
    PrintArray("interpolatedValue", c.interpolatedValue, count);
    PrintArray("smoothedValue", c.smoothedValue, count);
    PrintArray("firstDerivative", c.firstDerivative, count);
    PrintArray("secondDerivative", c.secondDerivative, count);
    std::cout << ",\"equivalencePoints\":[";
    const int found = std::clamp(c.equivalencePointCount, 0, kMaxEquivalencePoints);
    for (int k = 0; k < found; ++k) {
        const EquivalencePoint& p = c.equivalencePoints[k];
        std::cout << (k == 0 ? "" : ",") << "{\"volume\":" << JsonNumber(p.volume)
                  << ",\"value\":" << JsonNumber(p.value)
                  << ",\"derivative\":" << JsonNumber(p.derivative) << '}';
    }
    std::cout << "]}\n";
}

}  // namespace

int RunProcess(Args words) {
    const std::optional<ParsedArgs> args = ParseArgs(
        words,
        {"--criterion", "--end-value", "--interpolation", "--grid", "--filter", "--strength", "-o"},
        {"--comma", "--point", "--json"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHelp();
        return kExitOk;
    }
    if (args->positional.size() != 1) {
        return UsageError("process takes one result file", kUsage);
    }
    Overrides overrides;
    if (const auto error = ReadOverrides(*args, overrides)) {
        return UsageError(*error, kUsage);
    }

    auto state = std::make_unique<SharedState>();
    InitFreshState(*state);
    if (const int status = LoadRecordFile(std::string(args->positional[0]), *state);
        status != kExitOk) {
        return status;
    }
    Apply(overrides, *state);

    const int result = RunProcessing(*state);
    if (args->Has("--json")) {
        PrintJson(*state, result);
    } else if (result == kProcessingDone) {
        std::cout << Cp1251ToUtf8(ResultsReport{}.Fill(*state, ReportMode::EquivalencePoints));
    }
    const std::optional<std::string_view> out = args->Value("-o");
    if (result != kProcessingDone) {
        PrintError(result == kNoPointFound ? kNoPointFoundMessage : kTooFewPointsMessage);
        if (out) {
            PrintError(std::string(*out) + " not written: the processing did not complete");
        }
        return result;
    }
    return out ? SaveRecordFile(*state, std::string(*out)) : kExitOk;
}

}  // namespace kelm::tool
