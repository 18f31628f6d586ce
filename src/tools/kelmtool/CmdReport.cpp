// kelmtool report: prints the results window's report of a result file.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/SharedState.h"
#include "processing/ResultsReport.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage = "kelmtool report FILE.kel --curve-points [--comma|--point]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Prints the measured points of FILE.kel as the results window lists them\n"
                 "(\"Точки кривой\"): a header line, then volume TAB value, CR LF line ends.\n"
                 "  --comma, --point  the decimal separator (default: the file's own)\n";
}

}  // namespace

int RunReport(Args words) {
    const std::optional<ParsedArgs> args =
        ParseArgs(words, {}, {"--curve-points", "--comma", "--point"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHelp();
        return kExitOk;
    }
    if (args->positional.size() != 1) {
        return UsageError("report takes one result file", kUsage);
    }
    // A file keeps no equivalence points to read back: 'process' prints those.
    if (!args->Has("--curve-points")) {
        return UsageError("report lists the measured points: add --curve-points", kUsage);
    }
    const SeparatorChoice separator = ReadSeparator(*args);
    if (separator.conflict) {
        return UsageError(kSeparatorConflict, kUsage);
    }
    auto state = std::make_unique<SharedState>();
    InitFreshState(*state);
    if (const int status = LoadRecordFile(std::string(args->positional[0]), *state);
        status != kExitOk) {
        return status;
    }
    if (separator.decimalComma) {
        state->display.decimalComma = *separator.decimalComma;
    }
    std::cout << Cp1251ToUtf8(ResultsReport{}.Fill(*state, ReportMode::CurvePoints));
    return kExitOk;
}

}  // namespace kelm::tool
