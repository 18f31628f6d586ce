// kelmtool convert: loads a result file and saves it again, optionally with
// the other decimal separator in its readable tables.
#include <iostream>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/SharedState.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage = "kelmtool convert IN.kel -o OUT.kel [--comma|--point]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Loads IN.kel and saves the record to OUT.kel as the program does: the\n"
                 "readable part is written afresh, the encoded part keeps the record.\n"
                 "  -o OUT.kel  the file to write (written whole or not at all)\n"
                 "  --comma     write the readable numbers with a decimal comma\n"
                 "  --point     write them with a decimal point\n"
                 "Without --comma or --point the file's own separator is kept.\n";
}

}  // namespace

int RunConvert(Args args) {
    const std::optional<ParsedArgs> parsed = ParseArgs(args, {"-o"}, {"--comma", "--point"});
    if (!parsed) {
        return kExitUsage;
    }
    if (parsed->help) {
        PrintHelp();
        return kExitOk;
    }
    if (parsed->positional.size() != 1) {
        return UsageError("convert needs exactly one input file", kUsage);
    }
    const std::optional<std::string_view> output = parsed->Value("-o");
    if (!output) {
        return UsageError("convert needs -o OUT.kel", kUsage);
    }
    const SeparatorChoice separator = ReadSeparator(*parsed);
    if (separator.conflict) {
        return UsageError(kSeparatorConflict, kUsage);
    }
    SharedState state;
    InitFreshState(state);
    const int status = LoadRecordFile(std::string(parsed->positional[0]), state);
    if (status != kExitOk) {
        return status;
    }
    if (separator.decimalComma) {
        state.display.decimalComma = *separator.decimalComma;
    }
    return SaveRecordFile(state, std::string(*output));
}

}  // namespace kelm::tool
