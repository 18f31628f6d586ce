#include "processing/ResultsReport.h"

#include "core/Cp1251.h"
#include "core/NumberText.h"
#include "core/Quantity.h"

namespace kelm {

namespace {

constexpr int kVolumeDecimals = 3;
constexpr Cp1251Literal kVolumeColumn("Объём\t");

void AppendLine(std::string& text, const SharedState& state, double volume, double value,
                int valueDecimals, const std::string* cell = nullptr) {
    text += FormatNumber(state, volume, kVolumeDecimals).view();
    text += '\t';
    text += FormatNumber(state, value, valueDecimals).view();
    if (cell != nullptr) {
        text += '\t';
        text += *cell;
    }
    text += "\r\n";
}

}  // namespace

std::string ResultsReport::Fill(const SharedState& state, ReportMode mode,
                                const ReportColumn* extra) {
    if (mode == ReportMode::LastShown) {
        mode = reportMode;
    }
    const ProcessedCurve& curve = state.curve;
    const int equivalenceCount = curve.equivalencePointCount < kMaxEquivalencePoints
                                     ? curve.equivalencePointCount
                                     : kMaxEquivalencePoints;
    const int pointCount = PointCount(state.record);
    const int count = mode == ReportMode::CurvePoints ? pointCount : equivalenceCount;
    if (count <= 0) {
        return {};
    }
    reportMode = mode;
    const MeasuredQuantity quantity = state.record.quantity;
    const int decimals = QuantityValueDecimals(quantity);
    std::string text(kVolumeColumn.view());
    text += QuantityName(quantity);
    if (mode == ReportMode::CurvePoints) {
        extra = nullptr;
    }
    if (extra != nullptr) {
        text += '\t';
        text += extra->title;
    }
    text += "\r\n";
    for (int i = 0; i < count; ++i) {
        if (mode == ReportMode::CurvePoints) {
            AppendLine(text, state, state.record.points[i].volume, state.record.points[i].value,
                       decimals);
        } else {
            const bool hasCell = extra != nullptr && std::size_t(i) < extra->cells.size();
            AppendLine(text, state, curve.equivalencePoints[i].volume,
                       curve.equivalencePoints[i].value, decimals,
                       hasCell ? &extra->cells[i] : nullptr);
        }
    }
    return text;
}

}  // namespace kelm
