// kelmtool import: a result file from a table of volumes and values.
#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
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

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The whole field as a finite number, a decimal comma allowed when asked.
std::optional<double> ParseNumber(std::string_view field, bool decimalComma) {
    std::string text(Trim(field));
    if (decimalComma) {
        for (char& c : text) {
            if (c == ',') {
                c = '.';
            }
        }
    }
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);  // a spreadsheet's explicit sign; only one
    }
    return ParseFiniteNumber(digits);
}

struct Table {
    int count = 0;
    std::array<CurvePoint, kMaxPoints> points{};
};

// Reads the table into `table`; on bad input prints "FILE:LINE: ..." and returns false.
bool ReadTable(std::string_view name, std::string_view text, Table& table) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);  // a UTF-8 byte order mark
    }
    bool firstLine = true;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty()) {
            continue;
        }
        const auto fail = [&](const std::string& message) {
            PrintError(std::string(name) + ":" + std::to_string(lineNumber) + ": " + message);
            return false;
        };
        // A semicolon or a tab is the separator when there is one; otherwise a comma.
        const std::size_t strong = line.find_first_of(";\t");
        const char separator = strong != std::string_view::npos ? line[strong] : ',';
        const bool decimalComma = separator != ',';
        const std::size_t at = line.find(separator);
        const std::string_view volumeText = line.substr(0, at);
        const bool header = firstLine && !ParseNumber(volumeText, decimalComma);
        firstLine = false;
        if (header) {
            continue;
        }
        if (at == std::string_view::npos ||
            line.find(separator, at + 1) != std::string_view::npos) {
            return fail("expected a volume and a value separated by a comma, a semicolon or a tab");
        }
        const std::optional<double> volume = ParseNumber(volumeText, decimalComma);
        const std::optional<double> value = ParseNumber(line.substr(at + 1), decimalComma);
        if (!volume) {
            return fail("the volume \"" + std::string(Trim(line.substr(0, at))) +
                        "\" is not a number");
        }
        if (!value) {
            return fail("the value \"" + std::string(Trim(line.substr(at + 1))) +
                        "\" is not a number");
        }
        if (table.count == kMaxPoints) {
            return fail("more than 255 points");
        }
        table.points[table.count++] = {*volume, *value};
    }
    if (table.count == 0) {
        PrintError(std::string(name) + ": no points");
        return false;
    }
    return true;
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
    Table table;
    if (!ReadTable(input, *text, table)) {
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
