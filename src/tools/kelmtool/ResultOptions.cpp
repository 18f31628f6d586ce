#include "ResultOptions.h"

#include "core/SharedState.h"
#include "results/ResultUnits.h"

namespace kelm::tool {

namespace {

// A number option: nothing when absent, the error text when not a number.
std::optional<std::string> ReadNumber(const ParsedArgs& args, std::string_view option,
                                      std::optional<double>& out) {
    if (const auto word = args.Value(option)) {
        out = ParseFiniteNumber(*word);
        if (!out) {
            return std::string(option) + " takes a number with a decimal point, such as 0.1";
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadResultOverrides(const ParsedArgs& args, ResultOverrides& o) {
    const std::pair<std::string_view, std::optional<double>*> numbers[] = {
        {"--sample", &o.sample},
        {"--titrant-concentration", &o.concentration},
        {"--titer", &o.titer},
        {"--blank", &o.blank},
        {"--ratio", &o.ratio},
        {"--molar-mass", &o.molarMass},
        {"--standard-mass", &o.standardMass},
        {"--standard-molar-mass", &o.standardMolarMass},
        {"--purity", &o.purity},
    };
    for (const auto& [option, value] : numbers) {
        if (auto error = ReadNumber(args, option, *value)) {
            return error;
        }
    }
    if (const auto word = args.Value("--sample-unit")) {
        o.sampleUnit = SampleUnitFromToolName(*word);
        if (!o.sampleUnit) {
            return "--sample-unit takes mL or g";
        }
    }
    if (const auto word = args.Value("--unit")) {
        o.unit = UnitFromToolName(*word);
        if (!o.unit) {
            return "--unit takes " + std::string(ToolUnitChoices());
        }
    }
    if (const auto word = args.Value("--point")) {
        o.point = ParseIntInRange(*word, 1, kMaxEquivalencePoints);
        if (!o.point) {
            return "--point takes the number of an equivalence point, 1 to 250";
        }
    }
    return std::nullopt;
}

void ApplyResultOverrides(const ResultOverrides& o, ResultSettings& s) {
    const std::pair<const std::optional<double>*, double ResultSettings::*> numbers[] = {
        {&o.sample, &ResultSettings::sampleAmount},
        {&o.concentration, &ResultSettings::concentration},
        {&o.titer, &ResultSettings::titer},
        {&o.blank, &ResultSettings::blank},
        {&o.ratio, s.titerDetermination ? &ResultSettings::standardRatio : &ResultSettings::ratio},
        {&o.molarMass, &ResultSettings::molarMass},
        {&o.standardMass, &ResultSettings::standardMass},
        {&o.standardMolarMass, &ResultSettings::standardMolarMass},
        {&o.purity, &ResultSettings::standardPurity},
    };
    for (const auto& [value, field] : numbers) {
        if (*value) {
            s.*field = **value;
        }
    }
    if (o.sampleUnit) {
        s.sampleUnit = *o.sampleUnit;
    }
    if (o.unit) {
        s.unit = *o.unit;
    }
}

}  // namespace kelm::tool
