// The units a result is given in and the two units of a sample amount: how
// each is named in the window, on the command line and in the result file,
// and what each asks of the sample and of the molar mass.
#pragma once

#include <optional>
#include <string_view>

#include "core/ResultSettings.h"

namespace kelm {

struct ResultUnitInfo {
    ResultUnit unit;
    std::string_view label;     // as the window and the file show it (UTF-8)
    std::string_view toolName;  // as kelmtool takes and prints it
    SampleUnit sample;          // the sample amount it divides by: mL or g
    bool needsMolarMass;
    double factor;  // result = factor * n [* M] / a, n in mmol
};

const ResultUnitInfo& UnitInfo(ResultUnit unit);

// The unit of a label ("моль/л") or a tool name ("mol/L"); nothing for others.
std::optional<ResultUnit> UnitFromLabel(std::string_view label);
std::optional<ResultUnit> UnitFromToolName(std::string_view name);

// "мл" or "г"; "mL" or "g".
std::string_view SampleUnitLabel(SampleUnit unit);
std::string_view SampleUnitToolName(SampleUnit unit);
std::optional<SampleUnit> SampleUnitFromLabel(std::string_view label);
std::optional<SampleUnit> SampleUnitFromToolName(std::string_view name);

// "mol/L|mmol/L|g/L|mg/L|%|mg/g|mmol/g", for usage lines.
std::string_view ToolUnitChoices();

}  // namespace kelm
