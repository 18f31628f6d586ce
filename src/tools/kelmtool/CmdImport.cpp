// kelmtool import: a result file from a table of volumes and values.
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/PointTable.h"
#include "core/SharedState.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage =
    "kelmtool import DATA.csv -o OUT.kel --quantity emf|ph|px|conductivity "
    "[--description TEXT]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Makes a result file from a table with one point per line: the volume, then\n"
                 "the value, separated by a comma, a semicolon or a tab. Where the separator is\n"
                 "a semicolon or a tab, numbers may have a decimal comma. Empty lines are\n"
                 "skipped, and so is a first line that is a header (starts with no number).\n"
                 "At most 255 points. The record has no start time.\n"
                 "  -o OUT.kel            the file to write (written whole or not at all)\n"
                 "  --quantity Q          emf (mV), ph, px or conductivity (mS/cm)\n"
                 "  --description TEXT   the record's description, at most 1020 characters\n";
}

std::optional<MeasuredQuantity> QuantityNamed(std::string_view name) {
    if (name == "emf") {
        return MeasuredQuantity::Emf;
    }
    if (name == "ph") {
        return MeasuredQuantity::Ph;
    }
    if (name == "px") {
        return MeasuredQuantity::Px;
    }
    if (name == "conductivity") {
        return MeasuredQuantity::Conductivity;
    }
    return std::nullopt;
}

}  // namespace

int RunImport(Args args) {
    const std::optional<ParsedArgs> parsed = ParseArgs(args, {"-o", "--quantity", "--description"});
    if (!parsed) {
        return kExitUsage;
    }
    if (parsed->help) {
        PrintHelp();
        return kExitOk;
    }
    if (parsed->positional.size() != 1) {
        return UsageError("import needs exactly one table file", kUsage);
    }
    const std::optional<std::string_view> output = parsed->Value("-o");
    if (!output) {
        return UsageError("import needs -o OUT.kel", kUsage);
    }
    const std::optional<std::string_view> quantityName = parsed->Value("--quantity");
    if (!quantityName) {
        return UsageError("import needs --quantity emf|ph|px|conductivity", kUsage);
    }
    const std::optional<MeasuredQuantity> quantity = QuantityNamed(*quantityName);
    if (!quantity) {
        return UsageError("unknown quantity \"" + std::string(*quantityName) + "\"", kUsage);
    }
    std::string description;
    if (const auto text = parsed->Value("--description")) {
        description = Utf8ToCp1251(*text, '\0');
        if (description.find('\0') != std::string::npos) {
            return UsageError("the description has characters that code page 1251 lacks", kUsage);
        }
        if (description.size() > static_cast<std::size_t>(kMaxDescriptionLength)) {
            return UsageError("the description is longer than 1020 characters", kUsage);
        }
    }

    const std::string input(parsed->positional[0]);
    const std::optional<std::string> text = ReadInputFile(input);
    if (!text) {
        return kExitIoErr;
    }
    PointTable table;
    if (const std::optional<TableProblem> problem = ReadPointTable(*text, table)) {
        const std::string where =
            problem->line == 0 ? input : input + ":" + std::to_string(problem->line);
        PrintError(where + ": " + problem->message);
        return kExitDataErr;
    }

    SharedState state;
    InitFreshState(state);
    state.record.quantity = *quantity;
    state.record.pointCount = table.count;
    std::copy_n(table.points.begin(), table.count, state.record.points.begin());
    std::copy(description.begin(), description.end(), state.record.description.begin());
    return SaveRecordFile(state, std::string(*output));
}

}  // namespace kelm::tool
