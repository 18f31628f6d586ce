#include "core/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/SharedState.h"

namespace kelm {

namespace {

constexpr int kExpansionDigits = 17;  // enough to tell every double apart

// The decimal expansion of |value| > 0 to 17 significant digits.
struct Expansion {
    char digits[kExpansionDigits + 2] = {};  // room for a carried extra digit
    int count = 0;
    int exponent = 0;  // 10^exponent <= |value| < 10^(exponent+1)
};

Expansion Expand(double magnitude) {
    // to_chars gives the correctly rounded digits, as "%.16e" does, several
    // times faster: a result file is thousands of these. Its layout is fixed:
    // "d.dddddddddddddddde+XX", with two or three exponent digits.
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                       std::chars_format::scientific, kExpansionDigits - 1);
    Expansion e;
    e.digits[0] = buffer[0];
    std::copy_n(buffer + 2, kExpansionDigits - 1, e.digits + 1);
    e.count = kExpansionDigits;
    const char* exponent = buffer + kExpansionDigits + 3;  // past the 'e' and the sign
    std::from_chars(exponent, written.ptr, e.exponent);
    if (buffer[kExpansionDigits + 2] == '-') {
        e.exponent = -e.exponent;
    }
    return e;
}

// Keeps the first `keep` digits, rounding half away from zero on the first dropped
// digit. Returns true when the carry ran through every digit ("999" -> "1000").
bool RoundTo(Expansion& e, int keep) {
    const bool up = keep < e.count && e.digits[keep] >= '5';
    e.count = keep;
    if (!up) {
        return false;
    }
    for (int i = keep - 1; i >= 0; --i) {
        if (e.digits[i] != '9') {
            ++e.digits[i];
            return false;
        }
        e.digits[i] = '0';
    }
    // Every digit was 9: the number becomes 1 followed by zeros, one digit longer.
    std::copy_backward(e.digits, e.digits + e.count, e.digits + e.count + 1);
    e.digits[0] = '1';
    ++e.count;
    return true;
}

// Exact powers of ten: 10^22 is the last that a double holds exactly.
constexpr int kMaxExactPower = 22;
constexpr std::array<double, kMaxExactPower + 1> kPowersOfTen = [] {
    std::array<double, kMaxExactPower + 1> powers{};
    double p = 1.0;
    for (double& power : powers) {
        power = p;
        p *= 10.0;
    }
    return powers;
}();

// Beyond this many significant digits the quick rounding below cannot tell.
constexpr int kMaxQuickDigits = 13;

// The same as Expand and RoundTo to s digits, without the 17-digit text:
// |value| scaled by an exact power of ten to s integer digits differs from
// the 17-digit expansion, scaled alike, by at most about 1.2e-16 of itself
// (the rounding of the product and that of the expansion). Where the scaled
// value lies more than 1e-15 * 10^s (eight times that or more) away from a
// rounding tie and from the ends of its decade, every digit is the one the
// exact way gives; otherwise this returns false and the exact way is taken.
bool QuickRound(double magnitude, int s, Expansion& e, bool& carried) {
    if (s > kMaxQuickDigits) {
        return false;
    }
    const double low = kPowersOfTen[s - 1];
    const double high = kPowersOfTen[s];
    const double margin = 1e-15 * high;
    // The decimal exponent from the binary one: exact or one too small.
    int binary = 0;
    std::frexp(magnitude, &binary);
    int p = static_cast<int>(std::floor((binary - 1) * 0.30102999566398120));
    double scaled = 0.0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = s - 1 - p;
        if (k > kMaxExactPower || -k > kMaxExactPower) {
            return false;
        }
        scaled = k >= 0 ? magnitude * kPowersOfTen[k] : magnitude / kPowersOfTen[-k];
        if (scaled < low) {
            --p;
        } else if (scaled >= high) {
            ++p;
        } else {
            break;
        }
    }
    if (scaled < low + margin || scaled >= high - margin) {
        return false;
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) <= margin) {
        return false;
    }
    auto digits = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    carried = digits == static_cast<std::uint64_t>(high);
    const auto written = std::to_chars(e.digits, e.digits + sizeof e.digits, digits);
    e.count = static_cast<int>(written.ptr - e.digits);
    e.exponent = p;
    return true;
}

void DropTrailingZeros(NumberString& text, std::size_t pointAt) {
    std::size_t end = text.size();
    while (end > pointAt + 1 && text[end - 1] == '0') {
        --end;
    }
    text.Truncate(end);
}

void AppendExponent(NumberString& text, int exponent) {
    text.Append('e');
    text.Append(exponent < 0 ? '-' : '+');
    // At least three digits, as "%03d" gives them.
    char digits[16];
    const auto written = std::to_chars(digits, digits + sizeof digits, std::abs(exponent));
    for (auto length = written.ptr - digits; length < 3; ++length) {
        text.Append('0');
    }
    text.Append(std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)));
}

}  // namespace

NumberString SignificantText(double value, int significantDigits) {
    NumberString text;
    if (std::isnan(value)) {
        text.Append("nan");
        return text;
    }
    if (std::isinf(value)) {
        text.Append(value < 0 ? "-inf" : "inf");
        return text;
    }
    const int s = std::clamp(significantDigits, 2, kExpansionDigits);
    if (value == 0.0) {
        text.Append("0.");
        return text;
    }
    Expansion e;
    bool carried = false;
    if (!QuickRound(std::fabs(value), s, e, carried)) {
        e = Expand(std::fabs(value));
        carried = RoundTo(e, s);
    }
    const int p = e.exponent;
    if (value < 0) {
        text.Append('-');
    }
    if (p < -1 || p > s - 1) {
        text.Append(e.digits[0]);
        const std::size_t pointAt = text.size();
        text.Append('.');
        text.Append(std::string_view(e.digits + 1, s - 1));
        DropTrailingZeros(text, pointAt);
        AppendExponent(text, carried ? p + 1 : p);
        return text;
    }
    const int decimals = s - 1 - p;
    const int integerDigits = (carried ? p + 1 : p) + 1;
    if (integerDigits <= 0) {
        text.Append('0');
    } else {
        text.Append(std::string_view(e.digits, integerDigits));
    }
    if (decimals == 0) {
        return text;
    }
    const std::size_t pointAt = text.size();
    text.Append('.');
    text.Append(std::string_view(e.digits + std::max(integerDigits, 0), decimals));
    DropTrailingZeros(text, pointAt);
    return text;
}

NumberString FormatNumber(double value, int decimals, bool decimalComma) {
    const double a = std::fabs(value);
    int s = decimals;
    // One more significant digit per integer digit, so that the fixed form keeps
    // `decimals` digits after the point; past 10^6 the pattern simply continues.
    for (double bound = 1.0; a >= bound && s < kExpansionDigits; bound *= 10.0) {
        ++s;
    }
    NumberString text = SignificantText(value, s);
    if (decimalComma) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '.') {
                text[i] = ',';
            }
        }
    }
    return text;
}

NumberString FormatNumber(const SharedState& state, double value, int decimals) {
    return FormatNumber(value, decimals, state.display.decimalComma != 0);
}

NumberString ExactNumberText(double value, bool decimalComma) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0);
    NumberString text;
    text.Append(std::string_view(buffer, written.ec == std::errc() ? written.ptr : buffer));
    for (std::size_t i = 0; decimalComma && i < text.size(); ++i) {
        if (text[i] == '.') {
            text[i] = ',';
        }
    }
    return text;
}

NumberString ProseNumber(double value, int decimals, bool decimalComma) {
    NumberString prose;
    if (!std::isfinite(value)) {
        prose.Append(std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf");
        return prose;
    }
    // A value too small for the decimals still shows two significant digits.
    const double magnitude = std::fabs(value);
    int shown = std::clamp(decimals, 0, 12);
    if (magnitude > 0.0 && magnitude < 1.0) {
        shown = std::clamp(static_cast<int>(-std::floor(std::log10(magnitude))) + 1, shown, 12);
    }
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, shown);
    std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0') {
            text.remove_suffix(1);
        }
        if (text.back() == '.') {
            text.remove_suffix(1);
        }
    }
    if (text == "-0") {
        text = "0";
    }
    for (char c : text) {
        prose.Append(c == '.' && decimalComma ? ',' : c);
    }
    return prose;
}

NumberString TwoDigitText(int value) {
    NumberString text;
    if (value >= 0 && value < 10) {
        text.Append('0');
    }
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.Append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    return text;
}

double ParseLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars takes no sign of its own here, so "+-5" and "--5" read as no number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') {
        return 0.0;
    }
    double magnitude = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + i, text.data() + text.size(), magnitude);
    if (error != std::errc() || !std::isfinite(magnitude)) {
        return 0.0;
    }
    (void)end;
    return negative ? -magnitude : magnitude;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the sign (or the first digit) starts after the white space.
std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return i;
}

}  // namespace

double ParseTypedNumber(std::string_view text) {
    text.remove_prefix(SkipBlanks(text));
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    if (i >= text.size() || text[i] != ',') {
        return ParseLeadingNumber(text);
    }
    // The comma in the separator's place reads as the point.
    std::string pointed(text);
    pointed[i] = '.';
    return ParseLeadingNumber(pointed);
}

std::optional<double> ParseExactNumber(std::string_view text) {
    text.remove_prefix(SkipBlanks(text));
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    // from_chars reads no leading '+', and "-" followed by another sign is no number.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty() || text.size() > 64) {
        return std::nullopt;
    }
    std::array<char, 64> pointed{};
    std::copy(text.begin(), text.end(), pointed.begin());
    const auto comma = std::find(pointed.begin(), pointed.begin() + text.size(), ',');
    if (comma != pointed.begin() + text.size()) {
        *comma = '.';
    }
    double value = 0.0;
    const char* end = pointed.data() + text.size();
    const auto [stop, error] =
        std::from_chars(pointed.data(), end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

long long ParseTypedInteger(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kLimit = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

}  // namespace kelm
