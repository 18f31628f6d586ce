#include "core/PointTable.h"

#include <utility>

#include "core/NumberText.h"

namespace kelm {

namespace {

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

}  // namespace

std::optional<TableProblem> ReadPointTable(std::string_view text, PointTable& table) {
    table.count = 0;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a UTF-8 byte order mark
    }
    bool firstLine = true;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty()) {
            continue;
        }
        const auto problem = [&](std::string message) {
            return TableProblem{lineNumber, std::move(message)};
        };
        // A semicolon or a tab is the separator when there is one; otherwise a
        // comma, and then no number holds one.
        const std::size_t strong = line.find_first_of(";\t");
        const char separator = strong != std::string_view::npos ? line[strong] : ',';
        const std::size_t at = line.find(separator);
        const std::string_view volumeText = Trim(line.substr(0, at));
        const std::optional<double> volume = ParseExactNumber(volumeText);
        const bool header = firstLine && !volume;
        firstLine = false;
        if (header) {
            continue;
        }
        if (at == std::string_view::npos ||
            line.find(separator, at + 1) != std::string_view::npos) {
            return problem(
                "expected a volume and a value separated by a comma, a semicolon or a tab");
        }
        const std::string_view valueText = Trim(line.substr(at + 1));
        const std::optional<double> value = ParseExactNumber(valueText);
        if (!volume) {
            return problem("the volume \"" + std::string(volumeText) + "\" is not a number");
        }
        if (!value) {
            return problem("the value \"" + std::string(valueText) + "\" is not a number");
        }
        if (table.count == kMaxPoints) {
            return problem("more than " + std::to_string(kMaxPoints) + " points");
        }
        table.points[table.count++] = {*volume, *value};
    }
    if (table.count == 0) {
        return TableProblem{0, "no points"};
    }
    return std::nullopt;
}

}  // namespace kelm
