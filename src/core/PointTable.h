// The measured points of a table that a titrator or a spreadsheet exports, as
// kelmtool import reads it: one point per line, the volume, then the value,
// separated by a comma, a semicolon or a tab. Where the separator is a
// semicolon or a tab, a number may have a decimal comma. Empty lines are
// skipped, and so is a first line that is a header (starts with no number).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/SharedState.h"

namespace kelm {

struct PointTable {
    int count = 0;
    std::array<CurvePoint, kMaxPoints> points{};
};

// Why a table cannot be imported.
struct TableProblem {
    int line = 0;  // counted from 1; 0 when it concerns the whole table
    std::string message;
};

// The points of `text` into `table`. The first line that cannot be read, more
// than kMaxPoints points or none at all is a problem, and the table is not to
// be used.
std::optional<TableProblem> ReadPointTable(std::string_view text, PointTable& table);

}  // namespace kelm
