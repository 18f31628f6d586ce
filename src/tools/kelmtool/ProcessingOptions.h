// The processing options that process and replicates share, and one file's
// processing run with them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "ToolSupport.h"
#include "core/SharedState.h"

namespace kelm::tool {

// The usage and help lines of the options, for a command's own texts.
inline constexpr std::string_view kProcessingUsage =
    "[--criterion end-value|extremum] [--end-value X]\n"
    "         [--interpolation cubic|linear] [--grid auto|N] [--filter polynomial|moving-average]\n"
    "         [--strength S] [--window FROM:TO] [--select all|greatest|first|last|N]";
inline constexpr std::string_view kProcessingHelp =
    "  --criterion      end-value (the given end point) or extremum (of dE/dV)\n"
    "  --end-value X    the end value of the record's quantity (mV for EMF)\n"
    "  --interpolation  cubic or linear\n"
    "  --grid           auto (5 per measured point) or a grid size N, 0 to 500\n"
    "  --filter         polynomial or moving-average\n"
    "  --strength S     filter strength 0 to 15 (below 2: no filtering)\n"
    "  --window FROM:TO search for equivalence points between these volumes (mL)\n"
    "                   only; FROM: or :TO leaves an end open, : none at all\n"
    "  --select         which points found are reported: all, greatest (largest\n"
    "                   dE/dV), first, last, or N (the N greatest, in volume order)\n";

// The settings the options override; what is not given stays as each file has it.
struct ProcessingOverrides {
    std::optional<EndPointCriterion> criterion;
    std::optional<double> endValue;
    std::optional<InterpolationKind> interpolation;
    std::optional<int> gridCount;  // -1 for "auto"
    std::optional<FilterKind> filter;
    std::optional<int> strength;
    std::optional<int> decimalComma;  // --comma or --point
    // --window: the two ends (an open one infinite); --select: the choice and its N.
    std::optional<std::pair<double, double>> window;
    std::optional<std::pair<PointChoice, int>> select;
};

// Reads the options (and --comma/--point) into `overrides`; returns the usage
// error text, or nothing.
std::optional<std::string> ReadProcessingOverrides(const ParsedArgs& args,
                                                   ProcessingOverrides& overrides);

void ApplyOverrides(const ProcessingOverrides& overrides, SharedState& state);

// What processing one file came to: the status `process FILE` alone would
// exit with (kExitOk, a ProcessingResult, kExitDataErr or kExitIoErr) and the
// reason when it is not kExitOk.
struct FileOutcome {
    int status = kExitOk;
    std::string reason;
    bool loaded = false;  // the record (its quantity) is in the state
    std::string notice;   // a processed file's evaluation notice, "; " between sentences
};

// Loads the file into a fresh `state`, applies the overrides and runs the
// processing. Prints nothing.
FileOutcome LoadAndProcess(const std::filesystem::path& path, const ProcessingOverrides& overrides,
                           SharedState& state);

}  // namespace kelm::tool
