#include "results/RecordResults.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "results/ResultUnits.h"

namespace kelm {

namespace {

constexpr int kResultDigits = 5;

bool Comma(const SharedState& state) {
    return state.display.decimalComma != 0;
}

std::string Number(const SharedState& state, double value) {
    return ResultNumberText(value, Comma(state));
}

}  // namespace

bool HasResultData(const SharedState& state) {
    return !state.notes.result.IsDefault();
}

std::vector<PointResult> ComputePointResults(const SharedState& state, int onlyPoint) {
    std::vector<PointResult> results;
    const ProcessedCurve& curve = state.curve;
    if (curve.curveProcessed == 0) {
        return results;
    }
    const int count = std::clamp(curve.equivalencePointCount, 0, kMaxEquivalencePoints);
    const ResultSettings& s = state.notes.result;
    for (int k = 0; k < count; ++k) {
        if (onlyPoint > 0 && k + 1 != onlyPoint) {
            continue;
        }
        const double volume = curve.equivalencePoints[k].volume;
        results.push_back(
            {k + 1, volume,
             s.titerDetermination ? ComputeTiter(s, volume) : ComputeResult(s, volume)});
    }
    return results;
}

std::string TitrantNameProblem(std::string_view utf8, MessageStyle style) {
    const bool window = style == MessageStyle::Window;
    const std::string lacked = CharactersCp1251Lacks(utf8);
    if (utf8.find_first_not_of(" \t") == std::string_view::npos) {
        return window ? "Укажите название титранта." : "the titrant needs a name";
    }
    if (!lacked.empty()) {
        return window ? "Название титранта «" + std::string(utf8) +
                            "» нельзя сохранить в файле: " + "знаков «" + lacked +
                            "» нет в кодовой странице 1251."
                      : "the titrant name \"" + std::string(utf8) +
                            "\" cannot be kept in a result file: code page 1251 lacks \"" + lacked +
                            "\"";
    }
    if (Utf8ToCp1251(utf8).size() >= kResultNameCapacity) {
        const std::string most = std::to_string(kResultNameCapacity - 1);
        return window ? "Название титранта длиннее " + most + " знаков: в файле оно не поместится."
                      : "the titrant name is longer than the " + most +
                            " characters a result file holds";
    }
    return {};
}

std::string ResultNumberText(double value, bool decimalComma) {
    if (!std::isfinite(value)) {
        return {};
    }
    value += 0.0;
    const double a = std::fabs(value);
    char buffer[64];
    std::to_chars_result written{};
    if (a != 0.0 && (a >= 1e9 || a < 1e-5)) {
        written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                std::chars_format::scientific, kResultDigits - 1);
    } else {
        const int integerDigits = a >= 1.0 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 0;
        int decimals = kResultDigits - integerDigits;
        if (a > 0.0 && a < 1.0) {
            // Leading zeros after the point are no significant digits.
            decimals = kResultDigits - 1 - static_cast<int>(std::floor(std::log10(a)));
        }
        decimals = std::clamp(decimals, 0, 12);
        written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                decimals);
    }
    std::string text(buffer, written.ptr);
    if (decimalComma) {
        std::replace(text.begin(), text.end(), '.', ',');
    }
    return text;
}

std::string VolumeNumberText(double volume, bool decimalComma) {
    if (!std::isfinite(volume)) {
        return {};
    }
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, volume + 0.0, std::chars_format::fixed, 3);
    std::string text(buffer, written.ec == std::errc() ? written.ptr : buffer);
    if (decimalComma) {
        std::replace(text.begin(), text.end(), '.', ',');
    }
    return text;
}

std::string ResultUnitText(const ResultSettings& settings) {
    return settings.titerDetermination ? std::string("Титр")
                                       : std::string(UnitInfo(settings.unit).label);
}

std::string ResultCellText(const SharedState& state, const PointResult& result) {
    if (!result.outcome.Ok()) {
        return std::string(ProblemText(result.outcome.problem, MessageStyle::Window));
    }
    return Number(state, result.outcome.value);
}

std::string ResultTableText(const SharedState& state, const std::vector<PointResult>& results) {
    const std::string sample = Cp1251ToUtf8(NameView(state.notes.result.sampleName));
    const std::string unit = ResultUnitText(state.notes.result);
    std::string text = "Проба\tТочка\tОбъём, мл\tРезультат\tЕдиница\r\n";
    for (const PointResult& r : results) {
        text += sample + '\t' + std::to_string(r.point) + '\t' +
                VolumeNumberText(r.volume, Comma(state)) + '\t' + ResultCellText(state, r) + '\t' +
                (r.outcome.Ok() ? unit : std::string()) + "\r\n";
    }
    return text;
}

std::vector<std::string> ResultSummaryLines(const SharedState& state) {
    const ResultSettings& s = state.notes.result;
    const bool comma = Comma(state);
    const auto exact = [comma](double value) { return ExactNumberText(value, comma).str(); };
    std::string first;
    if (s.titerDetermination) {
        first = "Стандарт: " + exact(s.standardMass) + " г; " + exact(s.standardPurity) + " %; " +
                exact(s.standardMolarMass) + " г/моль";
    } else {
        first = "Проба: ";
        if (const std::string_view sample = NameView(s.sampleName); !sample.empty()) {
            first += Cp1251ToUtf8(sample) + "; ";
        }
        first += exact(s.sampleAmount) + ' ' + std::string(SampleUnitLabel(s.sampleUnit));
    }
    std::string second = "Титрант: ";
    if (const std::string_view titrant = NameView(s.titrantName); !titrant.empty()) {
        second += Cp1251ToUtf8(titrant) + "; ";
    }
    second += exact(s.concentration) + " моль/л";
    if (!s.titerDetermination) {
        second += "; титр " + exact(s.titer);
    }
    if (s.blank != 0.0) {
        second += "; холостой опыт " + exact(s.blank) + " мл";
    }
    return {first, second};
}

ReportColumn ResultReportColumn(const SharedState& state) {
    ReportColumn column;
    if (!HasResultData(state)) {
        return column;
    }
    const ResultSettings& s = state.notes.result;
    column.title = Utf8ToCp1251(s.titerDetermination ? std::string("Титр")
                                                     : "Результат, " + ResultUnitText(s));
    for (const PointResult& r : ComputePointResults(state)) {
        column.cells.push_back(Utf8ToCp1251(ResultCellText(state, r)));
    }
    return column;
}

std::string FillReportWithResults(ResultsReport& report, const SharedState& state,
                                  ReportMode mode) {
    const ReportColumn column = ResultReportColumn(state);
    return report.Fill(state, mode, column.title.empty() ? nullptr : &column);
}

PageResults ResultPageTexts(const SharedState& state) {
    PageResults page;
    if (!HasResultData(state)) {
        return page;
    }
    const std::string unit = ResultUnitText(state.notes.result);
    for (const PointResult& r : ComputePointResults(state)) {
        const std::string text = r.outcome.Ok() ? state.notes.result.titerDetermination
                                                      ? "титр " + ResultCellText(state, r)
                                                      : ResultCellText(state, r) + ' ' + unit
                                                : ResultCellText(state, r);
        page.pointNotes.push_back(Utf8ToCp1251(text));
    }
    for (const std::string& line : ResultSummaryLines(state)) {
        page.listNotes.push_back(Utf8ToCp1251(line));
    }
    return page;
}

}  // namespace kelm
