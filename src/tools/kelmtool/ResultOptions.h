// The options that supply or override a record's result data, shared by
// result, titer and replicates --result.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ToolSupport.h"
#include "core/ResultSettings.h"

namespace kelm::tool {

inline constexpr std::string_view kResultUsage =
    "[--sample AMOUNT] [--sample-unit mL|g] [--titrant-concentration C]\n"
    "         [--titer T] [--blank VB] [--ratio NU] [--molar-mass M]\n"
    "         [--unit mol/L|mmol/L|g/L|mg/L|%|mg/g|mmol/g] [--point K]";
inline constexpr std::string_view kResultHelp =
    "  --sample AMOUNT  the sample amount, in mL or g (--sample-unit; mL by default)\n"
    "  --titrant-concentration C  the titrant's nominal concentration, mol/L\n"
    "  --titer T        the titrant's titer (1 unless the file holds another)\n"
    "  --blank VB       the blank's volume, mL\n"
    "  --ratio NU       moles of analyte per mole of titrant (1 by default)\n"
    "  --molar-mass M   of the analyte, g/mol (g/L, mg/L, %, mg/g need it)\n"
    "  --unit U         mol/L, mmol/L, g/L, mg/L (a sample in mL) or %, mg/g, mmol/g (in g)\n"
    "  --point K        only the K-th equivalence point (every point by default)\n"
    "Numbers take a decimal point. What is not given comes from the file.\n";

struct ResultOverrides {
    std::optional<double> sample;
    std::optional<SampleUnit> sampleUnit;
    std::optional<double> concentration;
    std::optional<double> titer;
    std::optional<double> blank;
    std::optional<double> ratio;
    std::optional<double> molarMass;
    std::optional<ResultUnit> unit;
    std::optional<int> point;  // 1 and up
    // Of a titer determination.
    std::optional<double> standardMass;
    std::optional<double> standardMolarMass;
    std::optional<double> purity;
    friend bool operator==(const ResultOverrides&, const ResultOverrides&) = default;
};

// Reads whichever of the options are given; the usage error text, or nothing.
std::optional<std::string> ReadResultOverrides(const ParsedArgs& args, ResultOverrides& overrides);

void ApplyResultOverrides(const ResultOverrides& overrides, ResultSettings& settings);

}  // namespace kelm::tool
