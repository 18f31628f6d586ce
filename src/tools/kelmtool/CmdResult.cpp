// kelmtool result: the chemist's result of each equivalence point of result
// files, from the data each file keeps, supplied or overridden by options;
// with -o, the record saved with those data and its results in the history.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "FileNames.h"
#include "ProcessingOptions.h"
#include "ResultOptions.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "results/RecordResults.h"
#include "results/ResultHistory.h"
#include "results/ResultUnits.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool result FILE.kel... [--table|--csv|--json] [--comma] [RESULT OPTIONS]\n"
    "       kelmtool result FILE.kel [RESULT OPTIONS] -o OUT.kel\n"
    "RESULT OPTIONS: ";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << kResultUsage << "\n         [PROCESSING OPTIONS]\n"
              << "Processes each file (\"-\" reads their names from standard input, one a\n"
                 "line) as process does and prints, for each equivalence point, the file, the\n"
                 "point, its volume, the result, its unit and the sample, from\n"
                 "n = ratio * c * titer * (volume - blank) mmol over the sample amount.\n"
              << kResultHelp
              << "  --table          tab-separated (the default), with --comma if asked\n"
                 "  --csv            CSV (RFC 4180) with the decimal point\n"
                 "  --json           an array of {file, point, volume, result, unit, sample,\n"
                 "                   status, message}\n"
                 "  -o OUT.kel       one file: save the record with these data and enter its\n"
                 "                   results in the history of results\n"
                 "Processing options as for process: "
              << kProcessingUsage
              << "\nExit status 0; 64 when the data do not make a result (a unit that needs the\n"
                 "molar mass, a volume unit with a sample in g, no sample amount...); 65 when a\n"
                 "point's volume gives none (a blank larger than it), or a damaged file; 74 an\n"
                 "unreadable file; 1 and 2 as process, and 1 when -o has no result to save.\n"
                 "Over several files the highest.\n";
}

constexpr std::string_view kColumns[] = {"file", "point",  "volume", "result",
                                         "unit", "sample", "message"};
constexpr std::string_view kLineEnd = "\r\n";

enum class Format { Table, Csv, Json };

// One line of the output: a point's result, or a file's failure (point 0).
struct Row {
    int point = 0;
    double volume = 0.0;
    double result = 0.0;
    int status = kExitOk;
    std::string message;
};

struct FileResults {
    std::string unit;
    std::string sample;
    std::vector<Row> rows;
    int worst = kExitOk;
};

FileResults Evaluate(const FileOutcome& outcome, const SharedState& state,
                     std::optional<int> point) {
    FileResults out;
    if (outcome.status != kExitOk) {
        out.rows.push_back({0, 0.0, 0.0, outcome.status, outcome.reason});
        out.worst = outcome.status;
        return out;
    }
    const ResultSettings& s = state.notes.result;
    out.unit = s.titerDetermination ? "titer" : std::string(UnitInfo(s.unit).toolName);
    out.sample = Cp1251ToUtf8(NameView(s.sampleName));
    const ResultProblem settings =
        s.titerDetermination ? CheckTiterSettings(s) : CheckResultSettings(s);
    if (settings != ResultProblem::None) {
        out.rows.push_back(
            {0, 0.0, 0.0, kExitUsage, std::string(ProblemText(settings, MessageStyle::Tool))});
        out.worst = kExitUsage;
        return out;
    }
    for (const PointResult& r : ComputePointResults(state, point.value_or(0))) {
        Row row{r.point, r.volume, r.outcome.value, kExitOk, {}};
        if (!r.outcome.Ok()) {
            row.status = kExitDataErr;
            row.message = ProblemText(r.outcome.problem, MessageStyle::Tool);
        }
        out.worst = std::max(out.worst, row.status);
        out.rows.push_back(std::move(row));
    }
    if (out.rows.empty()) {
        // A point asked for that the file lacks is refused as titer refuses it.
        const int status = point ? kExitDataErr : kExitOk;
        out.rows.push_back({0, 0.0, 0.0, status,
                            point ? "no equivalence point " + std::to_string(*point)
                                  : std::string("no equivalence point")});
        out.worst = std::max(out.worst, status);
    }
    return out;
}

void AppendRows(std::string& out, std::string_view name, const FileResults& file, Format format,
                bool comma) {
    const bool csv = format == Format::Csv;
    for (const Row& row : file.rows) {
        if (format == Format::Json) {
            const bool has = row.point > 0;
            const bool ok = has && row.status == kExitOk;
            out += out.empty() ? "[\n" : ",\n";
            out += "{\"file\":" + JsonString(name) +
                   ",\"point\":" + (has ? std::to_string(row.point) : "null") +
                   ",\"volume\":" + (has ? JsonNumber(row.volume) : "null") +
                   ",\"result\":" + (ok ? JsonNumber(row.result) : "null") +
                   ",\"unit\":" + JsonString(file.unit) + ",\"sample\":" + JsonString(file.sample) +
                   ",\"status\":" + std::to_string(row.status) +
                   ",\"message\":" + JsonString(row.message) + '}';
            continue;
        }
        const bool has = row.point > 0;
        AppendTableField(out, name, true, csv);
        AppendTableField(out, has ? std::to_string(row.point) : "", false, csv);
        AppendTableField(out, has ? VolumeNumberText(row.volume, comma) : "", false, csv);
        AppendTableField(out,
                         has && row.status == kExitOk ? ResultNumberText(row.result, comma) : "",
                         false, csv);
        AppendTableField(out, file.unit, false, csv);
        AppendTableField(out, file.sample, false, csv);
        AppendTableField(out, row.message, false, csv);
        out += kLineEnd;
    }
}

// Enters the saved record's results in the history; a database that cannot be
// opened is said on stderr and changes nothing else.
void EnterHistory(const SharedState& state, const std::filesystem::path& saved) {
    if (HistoryEntries(state, saved, {}).empty()) {
        return;
    }
    Store store;
    StoreStatus status = store.Open(DefaultStorePath());
    if (status.Ok()) {
        status = EnterSavedResults(store, state, saved);
    }
    if (!status.Ok()) {
        PrintError("the results were not entered in the history: " +
                   StoreMessage(status, store.Path(), MessageStyle::Tool));
    }
}

}  // namespace

int RunResult(Args words) {
    const std::optional<ParsedArgs> args =
        ParseArgs(words,
                  {"--sample", "--sample-unit", "--titrant-concentration", "--titer", "--blank",
                   "--ratio", "--molar-mass", "--unit", "--point", "--criterion", "--end-value",
                   "--interpolation", "--grid", "--filter", "--strength", "-o"},
                  {"--comma", "--json", "--table", "--csv"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHelp();
        return kExitOk;
    }
    const std::string usage = std::string(kUsage) + std::string(kResultUsage);
    if (args->positional.empty()) {
        return UsageError("result takes one or more result files", usage);
    }
    ProcessingOverrides processing;
    ResultOverrides result;
    if (auto error = ReadProcessingOverrides(*args, processing)) {
        return UsageError(*error, usage);
    }
    if (auto error = ReadResultOverrides(*args, result)) {
        return UsageError(*error, usage);
    }
    const bool csv = args->Has("--csv");
    const bool json = args->Has("--json");
    if (int(args->Has("--table")) + int(csv) + int(json) > 1) {
        return UsageError("--table, --csv and --json exclude each other", usage);
    }
    if (csv && processing.decimalComma.value_or(0) != 0) {
        return UsageError("--csv writes the decimal point; --comma does not go with it", usage);
    }
    if (StdinWordCount(args->positional) > 1) {
        return UsageError("\"-\" reads standard input once; give it once", usage);
    }
    const std::optional<std::string_view> out = args->Value("-o");
    if (out && (args->positional.size() != 1 || StdinWordCount(args->positional) > 0)) {
        return UsageError("-o saves one file; give one input file with it", usage);
    }
    const Format format = csv ? Format::Csv : json ? Format::Json : Format::Table;
    const bool comma = processing.decimalComma.value_or(0) != 0;

    std::string text;
    if (format != Format::Json) {
        for (std::string_view column : kColumns) {
            AppendTableField(text, column, column == kColumns[0], csv);
        }
        text += kLineEnd;
    }
    auto state = std::make_unique<SharedState>();
    FileNames names(args->positional, std::cin);
    int worst = kExitOk;
    bool any = false;
    for (FileName name; names.Next(name);) {
        any = true;
        FileOutcome outcome = name.problem.empty()
                                  ? LoadAndProcess(name.path, processing, *state)
                                  : FileOutcome{kExitIoErr, name.problem, false, {}};
        if (outcome.loaded) {
            ApplyResultOverrides(result, state->notes.result);
        }
        const FileResults file = Evaluate(outcome, *state, result.point);
        for (const Row& row : file.rows) {
            if (row.status != kExitOk) {
                PrintError(name.path +
                           (row.point > 0 ? " point " + std::to_string(row.point) : std::string()) +
                           ": " + row.message);
            }
        }
        worst = std::max(worst, file.worst);
        AppendRows(text, name.path, file, format, comma);
        if (format != Format::Json) {
            std::cout << text;
            text.clear();
        }
        if (out) {
            // Saved when the data make results, also when some point's volume
            // gives none; not when there is no point or the data are refused.
            const Row& first = file.rows.front();
            if (first.point == 0) {
                PrintError(std::string(*out) + " not written: " +
                           (first.message.empty() ? "no result" : first.message));
                // What was asked for was not done: never a success, at least
                // the status process gives a file without a point.
                worst = std::max(worst, std::max(first.status, 1));
            } else if (const int saved = SaveRecordFile(*state, std::string(*out));
                       saved != kExitOk) {
                worst = std::max(worst, saved);
            } else {
                EnterHistory(*state, std::string(*out));
            }
        }
    }
    if (!any) {
        PrintError("no result file named");
        return kExitUsage;
    }
    if (format == Format::Json) {
        std::cout << text << "\n]\n";
    }
    return FinishOutput(worst);
}

}  // namespace kelm::tool
