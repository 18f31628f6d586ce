// The text form of numbers: every readable number goes through FormatNumber,
// the encoded part of the result file through SignificantText.
#pragma once

#include <optional>
#include <string_view>

#include "core/FixedText.h"

namespace kelm {

struct SharedState;

using NumberString = FixedText<40>;

// value with s significant digits (2..17), always a point, trailing zeros
// dropped; exponent form "d.ddde+XXX" below 0.1 and from 10^s up.
NumberString SignificantText(double value, int significantDigits);

// value with `decimals` digits after the separator, fewer when they are zeros,
// in the exponent form below 0.1; a comma instead of the point when asked.
NumberString FormatNumber(double value, int decimals, bool decimalComma);

// The same with the separator the user chose (decimalComma of the state).
NumberString FormatNumber(const SharedState& state, double value, int decimals);

// A number inside a sentence: fixed notation with at most `decimals`
// decimals, more for a value that would show no significant digit (two are
// shown), trailing zeros and a bare separator dropped ("6", "4,5", "0.0005").
NumberString ProseNumber(double value, int decimals, bool decimalComma);

// The shortest text that reads back as the same double ("0.1", "0.0987654321",
// "1e-07"), a comma instead of the point when asked: for values the user
// gave, shown and kept with every digit they have.
NumberString ExactNumberText(double value, bool decimalComma);

// A date or time field as the start-time texts show it: a leading "0" for
// 0..9, plain decimal otherwise ("05", "12", "2006").
NumberString TwoDigitText(int value);

// The leading decimal number of a text: optional blanks, sign, digits with an
// optional point, optional exponent; it stops at the first character that does
// not fit. Text without a number, and a number out of the double range, give 0.
double ParseLeadingNumber(std::string_view text);

// A number typed into a box: the leading number as above, after any white
// space, with a point or a comma as its decimal separator ("1,5" and "1.5"
// are both 1.5; "1,5,6" is 1.5). An exponent is read ("-0,25e1" is -2.5).
// Text without a number, infinity and NaN texts, and a number out of the
// double range read as 0.
double ParseTypedNumber(std::string_view text);

// A text that is a number and nothing else, with a point or a comma as its
// decimal separator and white space around it allowed ("4,5", " -1.25e1 ").
// Anything else, infinity, NaN and a number out of the double range give
// nothing: a box or a hand-edited line that holds nonsense is refused, not
// read as 0.
std::optional<double> ParseExactNumber(std::string_view text);

// A whole number typed into a box: optional white space and sign, then the
// digits, as far as they go ("12,5" is 12); text without digits reads as 0.
// Beyond the range of long long it holds at its limit, so a range check by
// the caller still refuses it.
long long ParseTypedInteger(std::string_view text);

}  // namespace kelm
