// kelmtool titer: the titrant's titer from the titration of a primary
// standard, and with --update the titrant library's entry set to it.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "ProcessingOptions.h"
#include "ResultOptions.h"
#include "ToolSupport.h"
#include "results/RecordResults.h"
#include "results/ResultHistory.h"
#include "store/Store.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool titer FILE.kel --titrant-concentration C --standard-mass m\n"
    "         --standard-molar-mass M_S [--purity P] [--ratio NU_S] [--blank VB]\n"
    "         [--point K] [--json] [--update NAME] [PROCESSING OPTIONS]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Processes FILE.kel, the titration of a primary standard, and prints the\n"
                 "titer t = (1000 m P/100 / M_S) / (NU_S c (V - VB)) of its equivalence point\n"
                 "(tab-separated point, volume, titer; --json: {file, point, volume, titer}).\n"
                 "What the options do not give comes from the file's own data.\n"
                 "  --titrant-concentration C  the titrant's nominal concentration, mol/L\n"
                 "  --standard-mass m          the standard weighed, g\n"
                 "  --standard-molar-mass M_S  its molar mass, g/mol\n"
                 "  --purity P                 its purity, % (100 by default)\n"
                 "  --ratio NU_S               moles of standard per mole of titrant (1)\n"
                 "  --blank VB                 the blank's volume, mL\n"
                 "  --point K                  the equivalence point, when there are several\n"
                 "  --update NAME              make it the current titer of the titrant NAME\n"
                 "                             in the titrant library (kelmtool titrants)\n"
                 "Numbers take a decimal point. Processing options as for process:\n  "
              << kProcessingUsage
              << "\nExit status 0; 64 a bad command line or data that give no titer; 65 a\n"
                 "damaged file or a blank not below the volume; 74 unreadable; 1 and 2 as\n"
                 "process; 74 also when --update could not write the library (the titer is\n"
                 "printed all the same).\n";
}

int Update(std::string_view name, double titer, const std::filesystem::path& file) {
    Store store;
    StoreStatus status = store.Open(DefaultStorePath());
    if (status.Ok()) {
        status = store.SetTiter(name, titer, StoreDateNow(), StoredFilePath(file));
    }
    if (status.Ok()) {
        return kExitOk;
    }
    PrintError("the titer was not entered in the titrant library: " +
               StoreMessage(status, store.Path(), MessageStyle::Tool));
    return status.problem == StoreProblem::NoTitrant ? kExitUsage : kExitIoErr;
}

}  // namespace

int RunTiter(Args words) {
    const std::optional<ParsedArgs> args =
        ParseArgs(words,
                  {"--titrant-concentration", "--standard-mass", "--standard-molar-mass",
                   "--purity", "--ratio", "--blank", "--point", "--update", "--criterion",
                   "--end-value", "--interpolation", "--grid", "--filter", "--strength"},
                  {"--json"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHelp();
        return kExitOk;
    }
    if (args->positional.size() != 1) {
        return UsageError("titer takes exactly one result file", kUsage);
    }
    ProcessingOverrides processing;
    ResultOverrides result;
    if (auto error = ReadProcessingOverrides(*args, processing)) {
        return UsageError(*error, kUsage);
    }
    if (auto error = ReadResultOverrides(*args, result)) {
        return UsageError(*error, kUsage);
    }
    const std::string path(args->positional[0]);
    auto state = std::make_unique<SharedState>();
    const FileOutcome outcome = LoadAndProcess(path, processing, *state);
    if (outcome.status != kExitOk) {
        PrintError(path + ": " + outcome.reason);
        return outcome.status;
    }
    state->notes.result.titerDetermination = true;
    ApplyResultOverrides(result, state->notes.result);
    if (const ResultProblem problem = CheckTiterSettings(state->notes.result);
        problem != ResultProblem::None) {
        return UsageError(std::string(ProblemText(problem, MessageStyle::Tool)), kUsage);
    }
    const std::vector<PointResult> points = ComputePointResults(*state, result.point.value_or(0));
    if (points.empty()) {
        PrintError(path + ": no equivalence point" +
                   (result.point ? " " + std::to_string(*result.point) : std::string()));
        return kExitDataErr;
    }
    if (points.size() > 1) {
        return UsageError(path + ": " + std::to_string(points.size()) +
                              " equivalence points; choose one with --point K",
                          kUsage);
    }
    const PointResult& p = points.front();
    if (!p.outcome.Ok()) {
        PrintError(path + ": " + std::string(ProblemText(p.outcome.problem, MessageStyle::Tool)));
        return kExitDataErr;
    }
    if (args->Has("--json")) {
        std::cout << "{\"file\":" << JsonString(path) << ",\"point\":" << p.point
                  << ",\"volume\":" << JsonNumber(p.volume)
                  << ",\"titer\":" << JsonNumber(p.outcome.value) << "}\n";
    } else {
        std::cout << "point\tvolume\ttiter\r\n"
                  << p.point << '\t' << VolumeNumberText(p.volume, false) << '\t'
                  << ResultNumberText(p.outcome.value, false) << "\r\n";
    }
    const int written = FinishOutput(kExitOk);
    if (const auto name = args->Value("--update"); name && written == kExitOk) {
        return Update(*name, p.outcome.value, path);
    }
    return written;
}

}  // namespace kelm::tool
