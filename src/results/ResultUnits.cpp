#include "results/ResultUnits.h"

#include <array>

namespace kelm {

namespace {

using U = ResultUnit;
using S = SampleUnit;

constexpr std::array<ResultUnitInfo, kResultUnitCount> kUnits = {{
    {U::MolPerLitre, "моль/л", "mol/L", S::Millilitre, false, 1.0},
    {U::MillimolPerLitre, "ммоль/л", "mmol/L", S::Millilitre, false, 1000.0},
    {U::GramPerLitre, "г/л", "g/L", S::Millilitre, true, 1.0},
    {U::MilligramPerLitre, "мг/л", "mg/L", S::Millilitre, true, 1000.0},
    {U::Percent, "%", "%", S::Gram, true, 0.1},
    {U::MilligramPerGram, "мг/г", "mg/g", S::Gram, true, 1.0},
    {U::MillimolPerGram, "ммоль/г", "mmol/g", S::Gram, false, 1.0},
}};

}  // namespace

const ResultUnitInfo& UnitInfo(ResultUnit unit) {
    for (const ResultUnitInfo& info : kUnits) {
        if (info.unit == unit) {
            return info;
        }
    }
    return kUnits[0];
}

std::optional<ResultUnit> UnitFromLabel(std::string_view label) {
    for (const ResultUnitInfo& info : kUnits) {
        if (info.label == label) {
            return info.unit;
        }
    }
    return std::nullopt;
}

std::optional<ResultUnit> UnitFromToolName(std::string_view name) {
    for (const ResultUnitInfo& info : kUnits) {
        if (info.toolName == name) {
            return info.unit;
        }
    }
    return std::nullopt;
}

std::string_view SampleUnitLabel(SampleUnit unit) {
    return unit == SampleUnit::Gram ? "г" : "мл";
}

std::string_view SampleUnitToolName(SampleUnit unit) {
    return unit == SampleUnit::Gram ? "g" : "mL";
}

std::optional<SampleUnit> SampleUnitFromLabel(std::string_view label) {
    for (SampleUnit unit : {SampleUnit::Millilitre, SampleUnit::Gram}) {
        if (SampleUnitLabel(unit) == label) {
            return unit;
        }
    }
    return std::nullopt;
}

std::optional<SampleUnit> SampleUnitFromToolName(std::string_view name) {
    for (SampleUnit unit : {SampleUnit::Millilitre, SampleUnit::Gram}) {
        if (SampleUnitToolName(unit) == name) {
            return unit;
        }
    }
    return std::nullopt;
}

std::string_view ToolUnitChoices() {
    return "mol/L|mmol/L|g/L|mg/L|%|mg/g|mmol/g";
}

}  // namespace kelm
