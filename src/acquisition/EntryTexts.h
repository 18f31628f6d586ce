// The texts the entry window shows: its title, the value column's heading,
// the rows of the point list, the reading just taken and the short numbers
// of its boxes.
#pragma once

#include <string_view>

#include "core/FixedText.h"
#include "core/NumberText.h"
#include "core/SharedState.h"

namespace kelm {

inline constexpr int kTitleLength = 80;  // characters of the description in the title

using TitleText = FixedText<kTitleLength + 4>;

// The first 80 characters of the description, followed by "..." when it is
// longer; empty when there is no description (the title then stays as it
// is). Code page 1251.
TitleText EntryTitle(const TitrationRecord& record);

// The heading of the value column, also the value label's text: "ЭДС", "pH",
// "pX", "УЭП", or "Значение" for a quantity the program does not know.
// Code page 1251.
std::string_view ValueHeading(MeasuredQuantity quantity);

struct PointRow {
    NumberString volume;
    NumberString value;
    NumberString change;  // empty in the first row
};

// Row `index` of the list: the volume with 3 decimals, the value with the
// decimals of its quantity, and from the second row on the change of the
// value per unit volume since the row before, with the value's decimals.
PointRow ListRow(const SharedState& state, int index);

// A reading as the value box shows it while the meter is read: 3 decimals for
// EMF, 2 for the other quantities.
NumberString ReadingText(const SharedState& state, double value);

// The short numbers of the addition and criterion boxes and the drift
// question: `digits` significant digits, with the separator the user chose,
// so that the box reads back as it was typed.
NumberString ShortNumberText(const SharedState& state, double value, int digits);

}  // namespace kelm
