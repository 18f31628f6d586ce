// kelmtool: inspect, convert, import, process and report titrations, render the
// graph and talk to the instrument, without a window.
#include <iostream>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/LastResort.h"
#include "core/Version.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(kelm::tool::Args);
    std::string_view summary;
};

constexpr std::string_view kVersionUsage = "kelmtool version";

int PrintVersion() {
    std::cout << "kelmtool " << kelm::kVersion << "\n";
    return kelm::tool::FinishOutput(kelm::tool::kExitOk);
}

int RunVersion(kelm::tool::Args args) {
    if (args.size() == 1 && kelm::tool::IsHelp(args[0])) {
        std::cout << "Usage: " << kVersionUsage << "\nPrints the version, as --version does.\n";
        return kelm::tool::kExitOk;
    }
    if (!args.empty()) {
        return kelm::tool::UsageError("version takes no arguments", kVersionUsage);
    }
    return PrintVersion();
}

constexpr Command kCommands[] = {
    {"version", RunVersion, "print the version"},
    {"show", kelm::tool::RunShow, "print a result file's record as JSON"},
    {"convert", kelm::tool::RunConvert, "load a result file and save it again"},
    {"import", kelm::tool::RunImport, "make a result file from a CSV table"},
    {"process", kelm::tool::RunProcess, "find the equivalence points of result files"},
    {"replicates", kelm::tool::RunReplicates, "mean, spread and confidence of a replicate series"},
    {"result", kelm::tool::RunResult, "the chemist's result of each equivalence point"},
    {"titer", kelm::tool::RunTiter, "the titrant's titer from a primary standard's titration"},
    {"titrants", kelm::tool::RunTitrants, "list and keep the titrant library"},
    {"history", kelm::tool::RunHistory, "print the history of results"},
    {"report", kelm::tool::RunReport, "print the measured points as the results window does"},
    {"ports", kelm::tool::RunPorts, "list the serial ports that can be opened"},
    {"check", kelm::tool::RunCheck, "check the connection with the instrument"},
    {"read", kelm::tool::RunRead, "take one reading from the instrument"},
    {"render", kelm::tool::RunRender, "draw the graph, or several overlaid, to PNG, SVG or PDF"},
    {"journal", kelm::tool::RunJournal, "list or restore the titrations kelm kept unsaved"},
};

void PrintUsage(std::ostream& out) {
    out << "Usage: kelmtool COMMAND [OPTIONS]\n\nCommands:\n";
    for (const Command& c : kCommands) {
        out << "  " << c.name << std::string(12 - c.name.size(), ' ') << c.summary << '\n';
    }
    out << "\nOptions:\n"
           "  -h, --help  show this text\n"
           "  --version   print the version\n"
           "\n'kelmtool COMMAND --help' describes a command.\n";
}

int Run(int argc, char** argv) {
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    if (words.empty()) {
        PrintUsage(std::cerr);
        return kelm::tool::kExitUsage;
    }
    if (kelm::tool::IsHelp(words[0])) {
        PrintUsage(std::cout);
        return kelm::tool::kExitOk;
    }
    if (words[0] == "--version") {
        return words.size() == 1
                   ? PrintVersion()
                   : kelm::tool::UsageError("--version takes no arguments", "kelmtool --version");
    }
    for (const Command& c : kCommands) {
        if (c.name == words[0]) {
            return c.run(kelm::tool::Args(words).subspan(1));
        }
    }
    kelm::tool::PrintError("unknown command '" + std::string(words[0]) + "'");
    PrintUsage(std::cerr);
    return kelm::tool::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    return kelm::RunGuarded("kelmtool", [&] { return Run(argc, argv); });
}
