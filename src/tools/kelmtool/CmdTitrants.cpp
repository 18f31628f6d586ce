// kelmtool titrants and history: the titrant library and the history of
// results in the same database as the window's.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "ToolSupport.h"
#include "results/RecordResults.h"
#include "store/Store.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kTitrantsUsage =
    "kelmtool titrants [--csv]\n"
    "       kelmtool titrants add NAME --concentration C [--titer T]\n"
    "       kelmtool titrants titer NAME T [--file FILE.kel]\n"
    "       kelmtool titrants history NAME [--csv]";
constexpr std::string_view kHistoryUsage = "kelmtool history [--csv]";
constexpr std::string_view kLineEnd = "\r\n";

void PrintTitrantsHelp() {
    std::cout << "Usage: " << kTitrantsUsage << "\n"
              << "The titrant library: each titrant's name, nominal concentration (mol/L)\n"
                 "and current titer, with every titer it had (date, titer, the file it came\n"
                 "from). Without a word it lists the library; \"add\" makes an entry (titer 1\n"
                 "by default), \"titer\" sets the current titer and keeps the earlier ones,\n"
                 "\"history\" lists them. The library is $XDG_DATA_HOME/kelm/kelm.db (else\n"
                 "~/.local/share/kelm/kelm.db), the one the window uses.\n"
                 "A new name must fit a result file: at most 100 characters of code page 1251.\n"
                 "Exit status 0; 64 a bad command line, a titrant that is not there (or is,\n"
                 "for add); 74 a database that cannot be opened or written.\n";
}

void PrintHistoryHelp() {
    std::cout << "Usage: " << kHistoryUsage << "\n"
              << "The history of results, oldest first: every result saved from the window\n"
                 "or by result -o, with its date, file, sample, point, volume, result, unit,\n"
                 "titrant, titer and processing method; tab-separated, or CSV.\n"
                 "Exit status 0; 74 when the database cannot be opened.\n";
}

// The database, or nothing after saying why on stderr.
std::optional<Store> OpenStore() {
    Store store;
    const StoreStatus status = store.Open(DefaultStorePath());
    if (!status.Ok()) {
        PrintError(StoreMessage(status, store.Path(), MessageStyle::Tool));
        return std::nullopt;
    }
    return store;
}

int Failed(const StoreStatus& status, const Store& store) {
    PrintError(StoreMessage(status, store.Path(), MessageStyle::Tool));
    return status.problem == StoreProblem::NoTitrant ||
                   status.problem == StoreProblem::TitrantExists
               ? kExitUsage
               : kExitIoErr;
}

void Line(std::string& out, std::initializer_list<std::string> fields, bool csv) {
    bool first = true;
    for (const std::string& field : fields) {
        AppendTableField(out, field, first, csv);
        first = false;
    }
    out += kLineEnd;
}

std::string Number(double value) {
    return ResultNumberText(value, false);
}

std::optional<double> PositiveNumber(std::string_view word) {
    const std::optional<double> value = ParseFiniteNumber(word);
    return value && *value > 0.0 ? value : std::nullopt;
}

}  // namespace

int RunTitrants(Args words) {
    const std::optional<ParsedArgs> args =
        ParseArgs(words, {"--concentration", "--titer", "--file"}, {"--csv"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintTitrantsHelp();
        return kExitOk;
    }
    const std::vector<std::string_view>& p = args->positional;
    const std::string_view verb = p.empty() ? std::string_view() : p[0];
    const bool csv = args->Has("--csv");
    const auto refuse = [](std::string_view message) {
        return UsageError(message, kTitrantsUsage);
    };
    if (verb.empty()                         ? p.size() != 0
        : verb == "add" || verb == "history" ? p.size() != 2
        : verb == "titer"                    ? p.size() != 3
                                             : true) {
        return refuse(verb.empty() || verb == "add" || verb == "history" || verb == "titer"
                          ? "wrong number of words after titrants"
                          : "titrants knows add, titer and history");
    }
    // An option another verb takes would be ignored without a word.
    for (const auto& [option, owner] :
         {std::pair{"--concentration", "add"}, {"--titer", "add"}, {"--file", "titer"}}) {
        if (args->Value(option) && verb != owner) {
            return refuse(std::string(option) + " belongs to titrants " + owner);
        }
    }
    if (args->Has("--csv") && !verb.empty() && verb != "history") {
        return refuse("--csv belongs to the lists: titrants and titrants history");
    }
    Titrant titrant;
    std::optional<double> titer;
    if (verb == "add") {
        titrant.name = std::string(p[1]);
        // A name the record's file cannot keep would never be found again from it.
        if (const std::string problem = TitrantNameProblem(p[1], MessageStyle::Tool);
            !problem.empty()) {
            return refuse(problem);
        }
        const auto c = args->Value("--concentration");
        const std::optional<double> concentration = c ? PositiveNumber(*c) : std::nullopt;
        if (!concentration) {
            return refuse("add needs --concentration C, a number above 0 (mol/L)");
        }
        titrant.concentration = *concentration;
        if (const auto t = args->Value("--titer")) {
            titer = PositiveNumber(*t);
            if (!titer) {
                return refuse("--titer takes a number above 0");
            }
            titrant.titer = *titer;
        }
    } else if (verb == "titer") {
        titer = PositiveNumber(p[2]);
        if (!titer) {
            return refuse("the titer is a number above 0, with a decimal point");
        }
    }
    std::optional<Store> store = OpenStore();
    if (!store) {
        return kExitIoErr;
    }
    std::string out;
    if (verb.empty()) {
        std::vector<Titrant> titrants;
        if (const StoreStatus status = store->Titrants(titrants); !status.Ok()) {
            return Failed(status, *store);
        }
        Line(out, {"name", "concentration", "titer", "date", "file"}, csv);
        for (const Titrant& t : titrants) {
            Line(out, {t.name, Number(t.concentration), Number(t.titer), t.titerDate, t.titerFile},
                 csv);
        }
    } else if (verb == "history") {
        std::vector<TiterEntry> entries;
        if (const StoreStatus status = store->TiterHistory(p[1], entries); !status.Ok()) {
            return Failed(status, *store);
        }
        Line(out, {"date", "titer", "file"}, csv);
        for (const TiterEntry& e : entries) {
            Line(out, {e.date, Number(e.titer), e.file}, csv);
        }
    } else {
        const StoreStatus status =
            verb == "add" ? store->AddTitrant(titrant, StoreDateNow())
                          : store->SetTiter(p[1], *titer, StoreDateNow(),
                                            std::string(args->Value("--file").value_or("")));
        if (!status.Ok()) {
            return Failed(status, *store);
        }
    }
    std::cout << out;
    return FinishOutput(kExitOk);
}

int RunHistory(Args words) {
    const std::optional<ParsedArgs> args = ParseArgs(words, {}, {"--csv"});
    if (!args) {
        return kExitUsage;
    }
    if (args->help) {
        PrintHistoryHelp();
        return kExitOk;
    }
    if (!args->positional.empty()) {
        return UsageError("history takes no file", kHistoryUsage);
    }
    std::optional<Store> store = OpenStore();
    if (!store) {
        return kExitIoErr;
    }
    std::vector<HistoryEntry> entries;
    if (const StoreStatus status = store->History(entries); !status.Ok()) {
        return Failed(status, *store);
    }
    const bool csv = args->Has("--csv");
    std::string out;
    Line(out,
         {"date", "file", "sample", "point", "volume", "result", "unit", "titrant", "titer",
          "method"},
         csv);
    for (const HistoryEntry& e : entries) {
        Line(out,
             {e.date, e.file, e.sample, std::to_string(e.point), VolumeNumberText(e.volume, false),
              Number(e.result), e.unit, e.titrant, Number(e.titer), e.method},
             csv);
    }
    std::cout << out;
    return FinishOutput(kExitOk);
}

}  // namespace kelm::tool
