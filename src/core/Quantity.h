// How each measured quantity is named and shown: the one place for the column
// name the result file, the results window and the graph use, and for the
// decimals its values are written with.
#pragma once

#include <string_view>

#include "core/Cp1251.h"
#include "core/SharedState.h"

namespace kelm {

namespace quantity_detail {
inline constexpr Cp1251Literal kEmfName("ЭДС");
inline constexpr Cp1251Literal kConductivityName("УЭП");
}  // namespace quantity_detail

// The quantity's name in code page 1251: "ЭДС", "pH", "pX" or "УЭП" (the
// parameters dialog's "УЭП (мСм/см)" without its unit).
constexpr std::string_view QuantityName(MeasuredQuantity quantity) {
    switch (quantity) {
        case MeasuredQuantity::Ph:
            return "pH";
        case MeasuredQuantity::Px:
            return "pX";
        case MeasuredQuantity::Conductivity:
            return quantity_detail::kConductivityName.view();
        case MeasuredQuantity::Emf:
            break;
    }
    return quantity_detail::kEmfName.view();
}

// Values are written with 2 decimals for EMF (mV) and 3 for the others.
constexpr int QuantityValueDecimals(MeasuredQuantity quantity) {
    return quantity == MeasuredQuantity::Emf ? 2 : 3;
}

}  // namespace kelm
