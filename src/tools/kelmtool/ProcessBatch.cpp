#include "ProcessBatch.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

#include "FileNames.h"
#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "core/Quantity.h"

namespace kelm::tool {

namespace {

constexpr std::string_view kColumns[] = {"file",       "point",    "volume", "value",
                                         "derivative", "quantity", "message"};
constexpr std::string_view kNoPointReason = "no equivalence point";
constexpr std::string_view kLineEnd = "\r\n";  // as the results report has them
constexpr int kVolumeDecimals = 3;

// The lines of the tab-separated and the CSV table.
class TableWriter {
public:
    TableWriter(BatchFormat format, bool decimalComma)
        : csv_(format == BatchFormat::Csv), decimalComma_(decimalComma && !csv_) {}

    void Header(std::string& out) const {
        for (std::string_view column : kColumns) {
            Field(out, column, column == kColumns[0]);
        }
        out += kLineEnd;
    }

    void File(std::string& out, std::string_view name, const FileOutcome& outcome,
              const SharedState& state) const {
        const std::string quantity =
            outcome.loaded ? Cp1251ToUtf8(QuantityName(state.record.quantity)) : std::string();
        const int count = outcome.status == kExitOk ? FoundCount(state) : 0;
        if (count == 0) {
            Field(out, name, true);
            for (int empty = 0; empty < 4; ++empty) {
                Field(out, "", false);
            }
            Field(out, quantity, false);
            Field(out,
                  outcome.status != kExitOk ? outcome.reason
                  : outcome.notice.empty()  ? std::string(kNoPointReason)
                                            : std::string(kNoPointReason) + "; " + outcome.notice,
                  false);
            out += kLineEnd;
            return;
        }
        const int decimals = QuantityValueDecimals(state.record.quantity);
        for (int k = 0; k < count; ++k) {
            const EquivalencePoint& p = state.curve.equivalencePoints[k];
            Field(out, name, true);
            Field(out, std::to_string(k + 1), false);
            Field(out, FormatNumber(p.volume, kVolumeDecimals, decimalComma_), false);
            Field(out, FormatNumber(p.value, decimals, decimalComma_), false);
            Field(out, FormatNumber(p.derivative, decimals, decimalComma_), false);
            Field(out, quantity, false);
            Field(out, outcome.notice, false);
            out += kLineEnd;
        }
    }

private:
    static int FoundCount(const SharedState& state) {
        return std::clamp(state.curve.equivalencePointCount, 0, kMaxEquivalencePoints);
    }

    void Field(std::string& out, std::string_view text, bool first) const {
        AppendTableField(out, text, first, csv_);
    }

    bool csv_;
    bool decimalComma_;
};

// One object of the JSON array: the file's equivalence points with every digit.
void JsonFile(std::string& out, std::string_view name, const FileOutcome& outcome,
              const SharedState& state) {
    out += "{\"file\":" + JsonString(name) + ",\"status\":" + std::to_string(outcome.status);
    if (outcome.status != kExitOk) {
        out += ",\"message\":" + JsonString(outcome.reason);
    }
    if (outcome.loaded) {
        out += ",\"quantity\":" + std::to_string(static_cast<int>(state.record.quantity));
    }
    if (!outcome.notice.empty()) {
        out += ",\"notice\":" + JsonString(outcome.notice);
    }
    out += ",\"equivalencePoints\":[";
    const int count = outcome.status == kExitOk
                          ? std::clamp(state.curve.equivalencePointCount, 0, kMaxEquivalencePoints)
                          : 0;
    for (int k = 0; k < count; ++k) {
        const EquivalencePoint& p = state.curve.equivalencePoints[k];
        out += (k == 0 ? "{\"volume\":" : ",{\"volume\":") + JsonNumber(p.volume) +
               ",\"value\":" + JsonNumber(p.value) + ",\"derivative\":" + JsonNumber(p.derivative) +
               '}';
    }
    out += "]}";
}

}  // namespace

int RunProcessBatch(std::span<const std::string_view> words, const ProcessingOverrides& overrides,
                    BatchFormat format) {
    // One table has one separator: the point unless --comma asks otherwise.
    const TableWriter table(format, overrides.decimalComma.value_or(0) != 0);
    auto state = std::make_unique<SharedState>();
    FileNames names(words, std::cin);
    FileName name;
    std::string out;
    int worst = kExitOk;
    bool started = false;
    while (names.Next(name)) {
        if (!started) {
            if (format == BatchFormat::Json) {
                out += "[\n";
            } else {
                table.Header(out);
            }
        } else if (format == BatchFormat::Json) {
            out += ",\n";
        }
        started = true;
        const FileOutcome outcome = name.problem.empty()
                                        ? LoadAndProcess(name.path, overrides, *state)
                                        : FileOutcome{kExitIoErr, name.problem, false, {}};
        if (outcome.status != kExitOk) {
            PrintError(name.path + ": " + outcome.reason);
        }
        worst = std::max(worst, outcome.status);
        if (format == BatchFormat::Json) {
            JsonFile(out, name.path, outcome, *state);
        } else {
            table.File(out, name.path, outcome, *state);
        }
        std::cout << out;
        out.clear();
    }
    if (!started) {
        PrintError("no result file named");
        return kExitUsage;
    }
    if (format == BatchFormat::Json) {
        std::cout << "\n]\n";
    }
    return FinishOutput(worst);
}

}  // namespace kelm::tool
