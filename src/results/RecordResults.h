// The results of the record's equivalence points: each point's result (or,
// for a titer determination, its titer) from the record's result settings,
// and the texts the windows, the report, the page and kelmtool show of them.
#pragma once

#include <string>
#include <vector>

#include "core/SharedState.h"
#include "processing/ResultsReport.h"
#include "results/ResultFormula.h"

namespace kelm {

struct PointResult {
    int point = 0;  // 1 for the first equivalence point
    double volume = 0.0;
    ResultOutcome outcome;  // the result in the settings' unit, or the titer
};

// Whether the record carries result data at all.
bool HasResultData(const SharedState& state);

// Of every equivalence point of the last run, or of point `onlyPoint` alone
// when it is 1 or more; empty before a run.
std::vector<PointResult> ComputePointResults(const SharedState& state, int onlyPoint = 0);

// Why a titrant's name, as the library keeps it (UTF-8), cannot stand in a
// record's file, which keeps it in code page 1251: blank, longer than the
// file holds, or with characters that code page lacks; empty when it can.
std::string TitrantNameProblem(std::string_view utf8, MessageStyle style);

// A result with five significant digits in fixed form ("0.10003", "36.461",
// "1234.6"), the exponent form only beyond 1e9 or below 1e-5; a comma
// instead of the point when asked.
std::string ResultNumberText(double value, bool decimalComma);

// A volume with three decimals in fixed form ("20.000"), as in the results.
std::string VolumeNumberText(double volume, bool decimalComma);

// "моль/л" or "Титр" (UTF-8): what the figures of the record's results are.
std::string ResultUnitText(const ResultSettings& settings);

// One point's figure with the user's separator, or the problem's sentence (UTF-8).
std::string ResultCellText(const SharedState& state, const PointResult& result);

// The points' results as tab-separated lines (UTF-8, CR LF), a header first:
// sample, point, volume, result, unit; for the user to paste elsewhere.
std::string ResultTableText(const SharedState& state, const std::vector<PointResult>& results);

// The sample (or the standard) and the titrant in two lines for the printed
// page (UTF-8), e.g. "Проба: HCl 1; 20 мл" and "Титрант: NaOH; 0,1 моль/л;
// титр 1,0012", the numbers as the user gave them.
std::vector<std::string> ResultSummaryLines(const SharedState& state);

// The result column of the results window's list of equivalence points
// (code page 1251): "Результат, моль/л" or "Титр" and one cell per point; an
// empty title and no cells for a record without result data.
ReportColumn ResultReportColumn(const SharedState& state);

// The results window's report, with the result column when the record has
// result data (code page 1251).
std::string FillReportWithResults(ResultsReport& report, const SharedState& state, ReportMode mode);

// What the printed page lists with the equivalence points (code page 1251):
// each point's result with its unit, and the sample and titrant lines; empty
// for a record without result data.
struct PageResults {
    std::vector<std::string> pointNotes;
    std::vector<std::string> listNotes;
};
PageResults ResultPageTexts(const SharedState& state);

}  // namespace kelm
