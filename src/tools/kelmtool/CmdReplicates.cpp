// kelmtool replicates: the statistics of a replicate series, the equivalence
// volumes that several titrations of one sample found, matched by their order.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "FileNames.h"
#include "ProcessingOptions.h"
#include "ResultOptions.h"
#include "ToolSupport.h"
#include "processing/ReplicateStatistics.h"
#include "results/RecordResults.h"
#include "results/ResultUnits.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool replicates FILE.kel FILE.kel... [--json] [--comma|--point] [OPTIONS]\n"
    "       kelmtool replicates --result FILE.kel FILE.kel... [RESULT OPTIONS] [OPTIONS]\n"
    "RESULT OPTIONS: all of result's but --point\n"
    "OPTIONS: ";

constexpr std::string_view kReplicateResultUsage =
    "--sample, --sample-unit, --titrant-concentration, --titer, --blank, --ratio,\n"
    "                   --molar-mass, --unit (--point is the decimal point here)";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << kProcessingUsage << "\n"
              << "Processes every file (\"-\" reads their names from standard input, one a\n"
                 "line) with its stored settings, overridden by the options, and matches the\n"
                 "equivalence points across the files by their order: the first point of each\n"
                 "file with the first of the others, and so on. For each point it prints the\n"
                 "number of files n, the mean volume, the standard deviation sd (n - 1), the\n"
                 "relative standard deviation in percent, the half-width of the 95 %\n"
                 "confidence interval of the mean, t(0.975, n - 1) sd / sqrt(n), and each\n"
                 "file's volume. Below the table it says which files were left out and\n"
                 "whether the files found different numbers of points.\n"
              << kProcessingHelp
              << "  --result         the statistics of the chemist's results instead of the\n"
                 "                   volumes, each file's from its own sample amount and data\n"
                 "                   (see kelmtool result --help), overridden by:\n"
              << "                   " << kReplicateResultUsage << "\n"
              << "  --comma, --point the decimal separator of the table (the point by default)\n"
                 "  --json           the same as JSON, every number with all its digits\n"
                 "Exit status 0 when every file was processed, otherwise the highest status a\n"
                 "file came to (74 unreadable, 65 damaged, 2 too little data, 1 no point); the\n"
                 "statistics are then those of the other files.\n";
}

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kVolumeDecimals = 3;
constexpr int kSpreadDecimals = 4;
constexpr int kPercentDecimals = 2;

struct Replicate {
    std::string name;
    FileOutcome outcome;
    std::vector<double> volumes;  // of the equivalence points, in their order (or their results)
};

// The results of the file's points into its volumes' place, in `unit`, which
// the first file sets; a file whose data give none is left out with the reason.
void TakeResults(Replicate& f, SharedState& state, const ResultOverrides& overrides,
                 std::string& unit) {
    ApplyResultOverrides(overrides, state.notes.result);
    // A titer determination gives titers, which never mix with results.
    const std::string_view own = state.notes.result.titerDetermination
                                     ? std::string_view("titer")
                                     : UnitInfo(state.notes.result.unit).toolName;
    f.volumes.clear();
    const auto leaveOut = [&f](int status, std::string reason) {
        f.outcome.status = status;
        f.outcome.reason = std::move(reason);
        f.volumes.clear();
    };
    for (const PointResult& r : ComputePointResults(state)) {
        if (!r.outcome.Ok()) {
            const ResultProblem problem = r.outcome.problem;
            leaveOut(IsSettingsProblem(problem) ? kExitUsage : kExitDataErr,
                     std::string(ProblemText(problem, MessageStyle::Tool)));
            return;
        }
        f.volumes.push_back(r.outcome.value);
    }
    if (unit.empty()) {
        unit = own;
    } else if (unit != own) {
        leaveOut(kExitUsage,
                 "its results are in " + std::string(own) + ", the first file's in " + unit);
    }
}

// One row of the table: the k-th equivalence point of every file that has one.
struct PointRow {
    SampleStatistics statistics;
    std::vector<std::optional<double>> volumes;  // per file
};

std::vector<PointRow> MatchByOrder(const std::vector<Replicate>& files) {
    std::size_t rows = 0;
    for (const Replicate& f : files) {
        rows = std::max(rows, f.volumes.size());
    }
    std::vector<PointRow> table(rows);
    std::vector<double> values;
    for (std::size_t k = 0; k < rows; ++k) {
        values.clear();
        for (const Replicate& f : files) {
            const bool has = k < f.volumes.size();
            table[k].volumes.push_back(has ? std::optional(f.volumes[k]) : std::nullopt);
            if (has) {
                values.push_back(f.volumes[k]);
            }
        }
        table[k].statistics = ComputeSampleStatistics(values);
    }
    return table;
}

// Fixed decimals with the separator asked for; an undefined value is an empty cell.
std::string Fixed(double value, int decimals, bool decimalComma) {
    if (!std::isfinite(value)) {
        return {};
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return {};
    }
    std::string text(buffer, result.ptr);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);  // -0.000 is 0.000
    }
    if (decimalComma) {
        std::replace(text.begin(), text.end(), '.', ',');
    }
    return text;
}

// The files that were processed, when they did not all find as many points.
bool EqualCounts(const std::vector<Replicate>& files) {
    std::optional<std::size_t> count;
    for (const Replicate& f : files) {
        if (f.outcome.status != kExitOk) {
            continue;
        }
        if (count && *count != f.volumes.size()) {
            return false;
        }
        count = f.volumes.size();
    }
    return true;
}

// How the figures of one table are written: volumes with fixed decimals,
// results with their significant digits.
struct TableNumbers {
    bool comma = false;
    bool results = false;

    std::string Value(double v) const {
        return results ? ResultNumberText(v, comma) : Fixed(v, kVolumeDecimals, comma);
    }
    // A spread to one decimal more than the mean shows.
    std::string Spread(double v, double mean) const {
        if (!results) {
            return Fixed(v, kSpreadDecimals, comma);
        }
        const std::string m = ResultNumberText(mean, false);
        const std::size_t point = m.find('.');
        if (m.find('e') != std::string::npos) {
            return ResultNumberText(v, comma);  // no decimals would show a small spread
        }
        const int decimals =
            point == std::string::npos ? 4 : static_cast<int>(m.size() - point - 1);
        return Fixed(v, decimals + 1, comma);
    }
};

void PrintTable(const std::vector<Replicate>& files, const std::vector<PointRow>& rows,
                const TableNumbers& numbers, const std::string& unit) {
    const bool comma = numbers.comma;
    std::string out = numbers.results ? "point\tn\tunit\tmean\tsd\trsd %\tci 95 %"
                                      : "point\tn\tmean\tsd\trsd %\tci 95 %";
    for (const Replicate& f : files) {
        out += '\t' + TabFieldText(f.name);
    }
    out += kLineEnd;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const SampleStatistics& s = rows[k].statistics;
        out += std::to_string(k + 1) + '\t' + std::to_string(s.n) + '\t' +
               (numbers.results ? unit + '\t' : std::string()) + numbers.Value(s.mean) + '\t' +
               numbers.Spread(s.standardDeviation, s.mean) + '\t' +
               Fixed(s.relativeStandardDeviationPercent, kPercentDecimals, comma) + '\t' +
               numbers.Spread(s.confidenceHalfWidth95, s.mean);
        for (const std::optional<double>& v : rows[k].volumes) {
            out += '\t' + (v ? numbers.Value(*v) : std::string());
        }
        out += kLineEnd;
    }

    std::string notes;
    for (const Replicate& f : files) {
        if (f.outcome.status != kExitOk) {
            notes +=
                TabFieldText(f.name) + ": left out: " + f.outcome.reason + std::string(kLineEnd);
        } else if (f.volumes.empty()) {
            notes += TabFieldText(f.name) + ": no equivalence point" + std::string(kLineEnd);
        }
        if (!f.outcome.notice.empty()) {
            notes += TabFieldText(f.name) + ": " + TabFieldText(f.outcome.notice) +
                     std::string(kLineEnd);
        }
    }
    if (!EqualCounts(files)) {
        notes += "The files found different numbers of equivalence points (";
        bool first = true;
        for (const Replicate& f : files) {
            if (f.outcome.status == kExitOk) {
                notes += (first ? "" : ", ") + TabFieldText(f.name) + ' ' +
                         std::to_string(f.volumes.size());
                first = false;
            }
        }
        notes +=
            "). Points are matched by their order in each file, so a row with fewer files"
            " may pair different jumps.";
        notes += kLineEnd;
    }
    if (!notes.empty()) {
        out += kLineEnd;
        out += notes;
    }
    std::cout << out;
}

void PrintJson(const std::vector<Replicate>& files, const std::vector<PointRow>& rows,
               const std::string& unit) {
    std::string out = "{\"matchedBy\":\"order\",";
    if (!unit.empty()) {
        out += "\"unit\":" + JsonString(unit) + ',';
    }
    out += "\"equalPointCounts\":";
    out += EqualCounts(files) ? "true" : "false";
    out += ",\"files\":[";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Replicate& f = files[i];
        out += (i == 0 ? "" : ",");
        out +=
            "{\"file\":" + JsonString(f.name) + ",\"status\":" + std::to_string(f.outcome.status);
        if (f.outcome.status != kExitOk) {
            out += ",\"message\":" + JsonString(f.outcome.reason);
        }
        out += ",\"pointCount\":" + std::to_string(f.volumes.size()) + '}';
    }
    out += "],\"points\":[";
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const SampleStatistics& s = rows[k].statistics;
        out += (k == 0 ? "" : ",");
        out += "{\"point\":" + std::to_string(k + 1) + ",\"n\":" + std::to_string(s.n) +
               ",\"mean\":" + JsonNumber(s.mean) +
               ",\"standardDeviation\":" + JsonNumber(s.standardDeviation) +
               ",\"rsdPercent\":" + JsonNumber(s.relativeStandardDeviationPercent) +
               ",\"confidenceHalfWidth95\":" + JsonNumber(s.confidenceHalfWidth95) +
               ",\"studentT\":" + JsonNumber(s.studentT) +
               (unit.empty() ? ",\"volumes\":[" : ",\"results\":[");
        for (std::size_t i = 0; i < rows[k].volumes.size(); ++i) {
            const std::optional<double>& v = rows[k].volumes[i];
            out += (i == 0 ? "" : ",") + (v ? JsonNumber(*v) : std::string("null"));
        }
        out += "]}";
    }
    out += "]}\n";
    std::cout << out;
}

}  // namespace

int RunReplicates(Args words) {
    const std::optional<ParsedArgs> args = ParseArgs(
        words,
        {"--criterion", "--end-value", "--interpolation", "--grid", "--filter", "--strength",
         "--window", "--select", "--sample", "--sample-unit", "--titrant-concentration", "--titer",
         "--blank", "--ratio", "--molar-mass", "--unit"},
        {"--comma", "--point", "--json", "--result"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHelp();
        return kExitOk;
    }
    const std::string usage = std::string(kUsage) + std::string(kProcessingUsage);
    ProcessingOverrides overrides;
    if (const auto error = ReadProcessingOverrides(*args, overrides)) {
        return UsageError(*error, usage);
    }
    const bool results = args->Has("--result");
    ResultOverrides resultOverrides;
    if (const auto error = ReadResultOverrides(*args, resultOverrides)) {
        return UsageError(*error, usage);
    }
    if (!results && !(resultOverrides == ResultOverrides{})) {
        return UsageError("the result options go with --result", usage);
    }
    if (StdinWordCount(args->positional) > 1) {
        return UsageError("\"-\" reads standard input once; give it once", usage);
    }

    std::vector<Replicate> files;
    FileNames names(args->positional, std::cin);
    for (FileName name; names.Next(name);) {
        files.push_back({name.path, {kExitOk, name.problem, false, {}}, {}});
        if (!name.problem.empty()) {
            files.back().outcome.status = kExitIoErr;
        }
    }
    if (files.size() < 2) {
        return UsageError("replicates compares two or more result files; " +
                              std::to_string(files.size()) + " given",
                          usage);
    }

    auto state = std::make_unique<SharedState>();
    int worst = kExitOk;
    std::string unit;  // of the results
    for (Replicate& f : files) {
        if (f.outcome.status == kExitOk) {
            f.outcome = LoadAndProcess(f.name, overrides, *state);
        }
        if (f.outcome.status == kExitOk) {
            const int count =
                std::clamp(state->curve.equivalencePointCount, 0, kMaxEquivalencePoints);
            for (int k = 0; k < count; ++k) {
                f.volumes.push_back(state->curve.equivalencePoints[k].volume);
            }
            if (results) {
                TakeResults(f, *state, resultOverrides, unit);
            }
        }
        if (f.outcome.status != kExitOk) {
            PrintError(f.name + ": " + f.outcome.reason);
            worst = std::max(worst, f.outcome.status);
        }
    }

    const std::vector<PointRow> rows = MatchByOrder(files);
    if (args->Has("--json")) {
        PrintJson(files, rows, unit);
    } else {
        PrintTable(files, rows, {overrides.decimalComma.value_or(0) != 0, results}, unit);
    }
    return FinishOutput(worst);
}

}  // namespace kelm::tool
