#include "acquisition/EntryTexts.h"

#include "core/Cp1251.h"
#include "core/Quantity.h"

namespace kelm {

TitleText EntryTitle(const TitrationRecord& record) {
    const std::string_view description = DescriptionView(record);
    TitleText title;
    title.Append(description.substr(0, kTitleLength));
    if (description.size() > std::size_t(kTitleLength)) {
        title.Append("...");
    }
    return title;
}

std::string_view ValueHeading(MeasuredQuantity quantity) {
    static constexpr Cp1251Literal kOther("Значение");
    switch (quantity) {
        case MeasuredQuantity::Emf:
        case MeasuredQuantity::Ph:
        case MeasuredQuantity::Px:
        case MeasuredQuantity::Conductivity:
            return QuantityName(quantity);
    }
    return kOther.view();
}

PointRow ListRow(const SharedState& state, int index) {
    const auto& points = state.record.points;
    const int decimals = QuantityValueDecimals(state.record.quantity);
    PointRow row;
    if (index < 0 || index >= PointCount(state.record)) {
        return row;
    }
    row.volume = FormatNumber(state, points[index].volume, 3);
    row.value = FormatNumber(state, points[index].value, decimals);
    if (index > 0) {
        const CurvePoint& a = points[index - 1];
        const CurvePoint& b = points[index];
        row.change = FormatNumber(state, (b.value - a.value) / (b.volume - a.volume), decimals);
    }
    return row;
}

NumberString ReadingText(const SharedState& state, double value) {
    return FormatNumber(state, value, state.record.quantity == MeasuredQuantity::Emf ? 3 : 2);
}

NumberString ShortNumberText(const SharedState& state, double value, int digits) {
    NumberString text = SignificantText(value, digits);
    if (state.display.decimalComma != 0) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '.') {
                text[i] = ',';
            }
        }
    }
    return text;
}

}  // namespace kelm
