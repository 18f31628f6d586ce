// kelmtool journal: the unsaved titrations the program keeps, listed, and one
// written out as a result file, for a machine where the window will not start.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/Journal.h"
#include "core/LocalCalendar.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool journal [--folder DIR]\n"
    "       kelmtool journal restore N -o OUT.kel [--folder DIR]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Lists the titrations kelm keeps in its journal because they were never\n"
                 "saved, newest first, one a line: number, start, points, description, file.\n"
                 "'restore N' writes entry N of that list to OUT.kel as a result file.\n"
                 "  --folder DIR  the journal folder (default: $XDG_STATE_HOME/kelm/journal,\n"
                 "                else ~/.local/state/kelm/journal)\n"
                 "Entries a running kelm is writing are not listed.\n";
}

std::string When(const JournalEntry& entry) {
    char text[32];
    if (entry.startTimeKnown) {
        const StartTime& t = entry.startTime;
        std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", t.day, t.month, t.year, t.hour,
                      t.minute);
    } else {
        const std::tm local = LocalCalendar(entry.written);
        std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &local);
    }
    return text;
}

// The description on one line.
std::string OneLine(std::string_view cp1251) {
    std::string text = Cp1251ToUtf8(cp1251);
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return text;
}

int Restore(const Journal& journal, std::string_view number, std::string_view output) {
    const std::vector<JournalEntry> entries = journal.Entries();
    const std::optional<int> n = ParseIntInRange(number, 1, 1 << 20);
    if (!n || *n > int(entries.size())) {
        PrintError("the journal has no entry " + std::string(number) + " (it holds " +
                   std::to_string(entries.size()) + ")");
        return kExitDataErr;
    }
    SharedState state;
    InitFreshState(state);
    const int status = LoadRecordFile(entries[std::size_t(*n - 1)].file, state);
    if (status != kExitOk) {
        return status;
    }
    return SaveRecordFile(state, std::string(output));
}

}  // namespace

int RunJournal(Args args) {
    const std::optional<ParsedArgs> parsed = ParseArgs(args, {"-o", "--folder"});
    if (!parsed) {
        return kExitUsage;
    }
    if (parsed->help) {
        PrintHelp();
        return kExitOk;
    }
    const std::optional<std::string_view> folder = parsed->Value("--folder");
    const Journal journal(folder ? std::filesystem::path(*folder) : DefaultJournalFolder());
    const std::vector<std::string_view>& words = parsed->positional;
    if (!words.empty()) {
        if (words[0] != "restore" || words.size() != 2) {
            return UsageError("journal takes nothing, or restore N", kUsage);
        }
        const std::optional<std::string_view> output = parsed->Value("-o");
        if (!output) {
            return UsageError("journal restore needs -o OUT.kel", kUsage);
        }
        return Restore(journal, words[1], *output);
    }
    if (parsed->Value("-o")) {
        return UsageError("-o goes with restore N", kUsage);
    }
    int number = 0;
    for (const JournalEntry& entry : journal.Entries()) {
        std::cout << ++number << '\t' << When(entry) << '\t' << entry.pointCount << '\t'
                  << OneLine(entry.description) << '\t' << entry.file.string() << '\n';
    }
    return kExitOk;
}

}  // namespace kelm::tool
