// kelmtool process: runs the processing on a result file and prints the
// results window's report, or every processed array as JSON; over several
// files, one table of all (ProcessBatch).
#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "FileNames.h"
#include "ProcessBatch.h"
#include "ProcessingOptions.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/SharedState.h"
#include "processing/EvaluationNotice.h"
#include "processing/Processing.h"
#include "processing/ResultsReport.h"
#include "results/RecordResults.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool process FILE.kel [OPTIONS] [--comma|--point] [--json] [-o OUT.kel]\n"
    "       kelmtool process FILE.kel... [OPTIONS] [--table|--csv|--json] [--comma|--point]\n"
    "OPTIONS: ";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << kProcessingUsage << "\n"
              << "Runs the curve processing on the record of FILE.kel with its stored\n"
                 "processing and evaluation settings, overridden by the options, and prints\n"
                 "the list of equivalence points as the results window shows it (CR LF line\n"
                 "ends).\n"
                 "Given several files (\"-\" reads their names from standard input, one a\n"
                 "line), or --table or --csv, it processes each with the same options and\n"
                 "prints one table of all, one line per equivalence point.\n"
              << kProcessingHelp
              << "  --comma, --point the decimal separator of the report and of OUT.kel; of a\n"
                 "                   table, the point unless --comma is given\n"
                 "  --json           one file: the result code, the notice, the window and\n"
                 "                   selection applied and every processed array as JSON;\n"
                 "                   several: a JSON array with each file's equivalence\n"
                 "                   points (volume, value, derivative), status and notice\n"
                 "  --table          tab-separated: file, point, volume, value, derivative,\n"
                 "                   quantity, message (the reason a file gave no point, or\n"
                 "                   what was doubtful about its evaluation)\n"
                 "  --csv            the same table as CSV (RFC 4180) with the decimal point\n"
                 "  -o OUT.kel       save the processed record with its equivalence points\n"
                 "                   (one file only)\n"
                 "What is doubtful about the evaluation (no point while the curve is steepest\n"
                 "outside the range searched, more points than --select reports, a point at\n"
                 "the window's edge) is said on standard error.\n"
                 "Exit status 0; 1 when no point could be searched (\"Точка не обнаружена\"),\n"
                 "2 when there is too little data (\"Недостаточно данных для расчёта\"); then\n"
                 "OUT.kel is not written. Over several files: 0 when every file was processed\n"
                 "(a file without any point among them), otherwise the highest status a file\n"
                 "came to (74 unreadable, 65 damaged, 2 too little data, 1 no point); the\n"
                 "other files are processed all the same.\n";
}

void PrintArray(std::string_view name, const std::array<double, kGridCapacity>& values, int count) {
    std::cout << ",\"" << name << "\":[";
    for (int i = 0; i < count; ++i) {
        std::cout << (i == 0 ? "" : ",") << JsonNumber(values[i]);
    }
    std::cout << ']';
}

void PrintJson(const SharedState& state, int result, const std::string& notice) {
    const int count = std::clamp(state.processing.interpolationPointCount, 0, kMaxGridPoints);
    const ProcessedCurve& c = state.curve;
    std::cout << "{\"result\":" << result
              << ",\"interpolationPointCount\":" << state.processing.interpolationPointCount;
    PrintArray("gridVolume", c.gridVolume, count);
    PrintArray("interpolatedValue", c.interpolatedValue, count);
    PrintArray("smoothedValue", c.smoothedValue, count);
    PrintArray("firstDerivative", c.firstDerivative, count);
    PrintArray("secondDerivative", c.secondDerivative, count);
    std::cout << ",\"notice\":" << JsonString(notice)
              << ",\"window\":" << JsonString(WindowOptionText(state.notes.evaluation))
              << ",\"select\":" << JsonString(SelectOptionText(state.notes.evaluation));
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
    const std::optional<ParsedArgs> args =
        ParseArgs(words,
                  {"--criterion", "--end-value", "--interpolation", "--grid", "--filter",
                   "--strength", "--window", "--select", "-o"},
                  {"--comma", "--point", "--json", "--table", "--csv"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHelp();
        return kExitOk;
    }
    const std::string usage = std::string(kUsage) + std::string(kProcessingUsage);
    if (args->positional.empty()) {
        return UsageError("process takes one or more result files", usage);
    }
    ProcessingOverrides overrides;
    if (const auto error = ReadProcessingOverrides(*args, overrides)) {
        return UsageError(*error, usage);
    }
    const bool table = args->Has("--table");
    const bool csv = args->Has("--csv");
    const bool json = args->Has("--json");
    if (int(table) + int(csv) + int(json) > 1) {
        return UsageError("--table, --csv and --json exclude each other", usage);
    }
    if (csv && overrides.decimalComma.value_or(0) != 0) {
        return UsageError("--csv writes the decimal point; --comma does not go with it", usage);
    }
    if (StdinWordCount(args->positional) > 1) {
        return UsageError("\"-\" reads standard input once; give it once", usage);
    }
    const bool batch =
        table || csv || args->positional.size() > 1 || StdinWordCount(args->positional) > 0;
    if (batch) {
        if (args->Value("-o")) {
            return UsageError("-o saves one processed file; give one input file with it", usage);
        }
        return RunProcessBatch(args->positional, overrides,
                               csv    ? BatchFormat::Csv
                               : json ? BatchFormat::Json
                                      : BatchFormat::Table);
    }

    auto state = std::make_unique<SharedState>();
    InitFreshState(*state);
    if (const int status = LoadRecordFile(std::string(args->positional[0]), *state);
        status != kExitOk) {
        return status;
    }
    ApplyOverrides(overrides, *state);

    const int result = RunProcessing(*state);
    const std::string notice =
        result == kProcessingDone ? EvaluationNoticeText(*state, NoticeLanguage::English) : "";
    PrintNotice(notice);
    if (json) {
        PrintJson(*state, result, notice);
    } else if (result == kProcessingDone) {
        ResultsReport report;
        std::cout << Cp1251ToUtf8(
            FillReportWithResults(report, *state, ReportMode::EquivalencePoints));
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
