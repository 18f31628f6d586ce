// The text of the results window: the equivalence points or the measured
// points, one tab-separated line each, with the user's decimal separator.
#pragma once

#include <string>
#include <vector>

#include "core/SharedState.h"

namespace kelm {

enum class ReportMode : int {
    EquivalencePoints = 0,
    CurvePoints = 1,
    LastShown = 2,  // whichever of the two was shown last
};

// A column the list of equivalence points gains, made by a layer above this
// one: its title and one cell per point, in code page 1251.
struct ReportColumn {
    std::string title;
    std::vector<std::string> cells;
};

// The report of the results window, which owns one for its lifetime and
// remembers the mode last shown.
struct ResultsReport {
    ReportMode reportMode = ReportMode::EquivalencePoints;

    // The report text in code page 1251, lines ending in CR LF: the header
    // "Объём\t<quantity name>" and one "volume\tvalue" line per point. An empty list
    // gives an empty text and leaves reportMode as it was. The list of
    // equivalence points ends each line with the cell of `extra`, when given.
    std::string Fill(const SharedState& state, ReportMode mode,
                     const ReportColumn* extra = nullptr);
};

}  // namespace kelm
