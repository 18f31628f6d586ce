// kelmtool show: the record of a result file as JSON on stdout.
#include <iostream>
#include <string>

#include "Commands.h"
#include "ProcessingOptions.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/SharedState.h"
#include "processing/EvaluationNotice.h"
#include "results/RecordResults.h"
#include "results/ResultUnits.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kUsage = "kelmtool show FILE.kel";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "Prints the record of a result file as JSON (UTF-8): description,\n"
                 "start time, quantity (0 EMF, 1 pH, 2 pX, 3 conductivity), the points as\n"
                 "[volume, value], the processing settings, the evaluation settings when the\n"
                 "record has any (the search window as FROM:TO and the selection, as process\n"
                 "takes them), the record's ten colour slots as\n"
                 "[red, green, blue, chosen] and decimalComma. The file is loaded into the\n"
                 "program's start values, so fields the file does not hold show those.\n"
                 "A record with result data has them under \"result\": the sample (name,\n"
                 "amount, unit mL or g), the titrant (name, concentration in mol/L, titer),\n"
                 "the blank (mL), the ratio, the molar mass (g/mol, 0 for none), the unit,\n"
                 "and whether it determines a titer with its standard (mass in g, purity in\n"
                 "%, molar mass, ratio).\n";
}

std::string Integer(int value) {
    return std::to_string(value);
}

std::string ResultJson(const ResultSettings& r) {
    const auto name = [](const ResultName& n) { return JsonString(Cp1251ToUtf8(NameView(n))); };
    return "  \"result\": {\"sample\": " + name(r.sampleName) +
           ", \"sampleAmount\": " + JsonNumber(r.sampleAmount) +
           ", \"sampleUnit\": " + JsonString(SampleUnitToolName(r.sampleUnit)) +
           ", \"titrant\": " + name(r.titrantName) +
           ", \"concentration\": " + JsonNumber(r.concentration) +
           ", \"titer\": " + JsonNumber(r.titer) + ", \"blank\": " + JsonNumber(r.blank) +
           ", \"ratio\": " + JsonNumber(r.ratio) + ", \"molarMass\": " + JsonNumber(r.molarMass) +
           ", \"unit\": " + JsonString(UnitInfo(r.unit).toolName) +
           ", \"titerDetermination\": " + (r.titerDetermination ? "true" : "false") +
           ", \"standardMass\": " + JsonNumber(r.standardMass) +
           ", \"standardPurity\": " + JsonNumber(r.standardPurity) +
           ", \"standardMolarMass\": " + JsonNumber(r.standardMolarMass) +
           ", \"standardRatio\": " + JsonNumber(r.standardRatio) + "}";
}

// The record as JSON, keys in a fixed order, one point and one colour per line.
std::string RecordJson(const SharedState& s) {
    const TitrationRecord& r = s.record;
    const ProcessingSettings& p = s.processing;
    std::string out = "{\n";
    out += "  \"description\": " + JsonString(Cp1251ToUtf8(DescriptionView(r))) + ",\n";
    out += "  \"startTimeKnown\": " + Integer(r.startTimeKnown) + ",\n";
    out += "  \"startTime\": {\"year\": " + Integer(r.startTime.year) +
           ", \"month\": " + Integer(r.startTime.month) + ", \"day\": " + Integer(r.startTime.day) +
           ", \"hour\": " + Integer(r.startTime.hour) +
           ", \"minute\": " + Integer(r.startTime.minute) + "},\n";
    out += "  \"quantity\": " + Integer(static_cast<int>(r.quantity)) + ",\n";
    const int count = PointCount(r);
    out += "  \"pointCount\": " + Integer(count) + ",\n";
    out += "  \"points\": [";
    for (int i = 0; i < count; ++i) {
        out += i == 0 ? "\n" : ",\n";
        out +=
            "    [" + JsonNumber(r.points[i].volume) + ", " + JsonNumber(r.points[i].value) + "]";
    }
    out += count > 0 ? "\n  ],\n" : "],\n";
    out += "  \"processing\": {\"criterion\": " + Integer(static_cast<int>(p.criterion)) +
           ", \"endValueEmf\": " + JsonNumber(p.endValueEmf) +
           ", \"endValuePh\": " + JsonNumber(p.endValuePh) +
           ", \"interpolationKind\": " + Integer(static_cast<int>(p.interpolationKind)) +
           ", \"autoPointCount\": " + Integer(p.autoPointCount) +
           ", \"interpolationPointCount\": " + Integer(p.interpolationPointCount) +
           ", \"filterKind\": " + Integer(static_cast<int>(p.filterKind)) +
           ", \"filterStrength\": " + Integer(p.filterStrength) + "},\n";
    // Only a record that has them, so that a record of the original format
    // shows as it always has.
    if (!s.notes.evaluation.IsDefault()) {
        out +=
            "  \"evaluation\": {\"window\": " + JsonString(WindowOptionText(s.notes.evaluation)) +
            ", \"select\": " + JsonString(SelectOptionText(s.notes.evaluation)) + "},\n";
    }
    out += "  \"colours\": [";
    for (int k = 0; k < kRecordColourSlots; ++k) {
        const ColourEntry& c = s.display.colours[k];
        out += k == 0 ? "\n" : ",\n";
        out += "    [" + Integer(c.red) + ", " + Integer(c.green) + ", " + Integer(c.blue) + ", " +
               Integer(c.chosen) + "]";
    }
    out += "\n  ],\n";
    out += "  \"decimalComma\": " + Integer(s.display.decimalComma);
    if (HasResultData(s)) {
        out += ",\n" + ResultJson(s.notes.result);
    }
    out += "\n}\n";
    return out;
}

}  // namespace

int RunShow(Args args) {
    const std::optional<ParsedArgs> parsed = ParseArgs(args, {});
    if (!parsed) {
        return kExitUsage;
    }
    if (parsed->help) {
        PrintHelp();
        return kExitOk;
    }
    if (parsed->positional.size() != 1) {
        return UsageError("show needs exactly one result file", kUsage);
    }
    SharedState state;
    InitFreshState(state);
    const int status = LoadRecordFile(std::string(parsed->positional[0]), state);
    if (status != kExitOk) {
        return status;
    }
    std::cout << RecordJson(state);
    std::cout.flush();
    return std::cout ? kExitOk : kExitIoErr;
}

}  // namespace kelm::tool
