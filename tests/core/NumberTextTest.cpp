#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/NumberText.h"
#include "core/SharedState.h"

namespace kelm {
namespace {

struct SignificantCase {
    double value;
    int digits;
    const char* text;
};

TEST(SignificantText, ExamplesOfTheEncodedPart) {
    const SignificantCase cases[] = {
        {12.5, 8, "12.5"},
        {123.456789, 8, "123.45679"},
        {7, 8, "7."},
        {0, 8, "0."},
        {-0.000123, 8, "-1.23e-004"},
        {100000000, 8, "1.e+008"},
        {99999999, 8, "99999999"},
        {0.1, 8, "0.1"},
        {-0.0, 8, "0."},
        {9.9996, 4, "10."},
        {99999.5, 5, "100000"},
        {0.099999999, 3, "1.e-001"},
        {1.5, 8, "1.5"},
        {7.25, 8, "7.25"},
        {1e-300, 8, "1.e-300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SignificantText(c.value, c.digits).view(), c.text) << c.value;
    }
}

TEST(SignificantText, RoundsHalfAwayFromZeroOnTheSeventeenDigitExpansion) {
    EXPECT_EQ(SignificantText(2.5, 2).view(), "2.5");
    EXPECT_EQ(SignificantText(0.125, 2).view(), "0.13");
    EXPECT_EQ(SignificantText(-0.125, 2).view(), "-0.13");
    // 1.005 is stored as 1.00499999999999989...: the first dropped digit is 4.
    EXPECT_EQ(SignificantText(1.005, 3).view(), "1.");
    EXPECT_EQ(SignificantText(99.95, 3).view(), "100.");
}

// The text the slow, plainly correct way gives: the 17 digits printf rounds
// to, rounded half away from zero to s digits, set out in the fixed form
// from 0.1 to below 10^s and in the exponent form elsewhere.
std::string ReferenceText(double value, int s) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.16e", std::fabs(value));
    std::string digits(1, buffer[0]);
    digits += std::string(buffer + 2, 16);
    int exponent = std::atoi(buffer + 19);
    const bool up = digits[s] >= '5';
    digits.resize(s);
    bool carried = false;
    if (up) {
        int i = s - 1;
        for (; i >= 0 && digits[i] == '9'; --i) {
            digits[i] = '0';
        }
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.insert(digits.begin(), '1');
            carried = true;
        }
    }
    std::string text = value < 0 ? "-" : "";
    const auto trimmed = [](std::string t) {
        while (t.back() == '0' && t[t.size() - 2] != '.') {
            t.pop_back();
        }
        return t.back() == '0' && t[t.size() - 2] == '.' ? t.substr(0, t.size() - 1) : t;
    };
    if (exponent < -1 || exponent > s - 1) {
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%03d", exponent + carried < 0 ? '-' : '+',
                      std::abs(exponent + carried));
        return text + trimmed(digits.substr(0, 1) + "." + digits.substr(1, s - 1)) + tail;
    }
    const int decimals = s - 1 - exponent;
    const int integerDigits = exponent + carried + 1;
    text += integerDigits <= 0 ? "0" : digits.substr(0, integerDigits);
    if (decimals == 0) {
        return text;
    }
    return trimmed(text + "." + digits.substr(std::max(integerDigits, 0), decimals));
}

TEST(SignificantText, AgreesWithTheSeventeenDigitWayOnTiesDecadesAndRandomValues) {
    std::vector<double> values;
    for (int k = 1; k < 1500; ++k) {
        values.push_back(k / 8.0);  // exact ties at every length
        values.push_back(k / 1000.0 + 0.0005);
        values.push_back(k * 0.001);
    }
    for (int n = -12; n <= 16; ++n) {
        const double power = std::pow(10.0, n);
        for (double v = power, step = 0; step < 3; ++step) {
            values.push_back(v);
            values.push_back(std::nextafter(v, 0.0));
            values.push_back(std::nextafter(v, 1e300));
            v = std::nextafter(v, 0.0);
        }
        values.push_back(power * 0.99999999);
        values.push_back(power * 9.9999999950000);
        values.push_back(power * 1.00000000500001);
    }
    std::mt19937_64 random(20240517);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 14);
    for (int i = 0; i < 5000; ++i) {
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    }
    int wrong = 0;
    for (double v : values) {
        for (double signed_v : {v, -v}) {
            for (int s = 2; s <= 17; ++s) {
                if (SignificantText(signed_v, s).view() != ReferenceText(signed_v, s) &&
                    ++wrong < 10) {
                    ADD_FAILURE() << std::setprecision(17) << signed_v << " to " << s
                                  << " digits: " << SignificantText(signed_v, s).view()
                                  << " instead of " << ReferenceText(signed_v, s);
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(SignificantText, NonFiniteValuesStayShortAndReadable) {
    EXPECT_EQ(SignificantText(std::numeric_limits<double>::quiet_NaN(), 8).view(), "nan");
    EXPECT_EQ(SignificantText(-std::numeric_limits<double>::infinity(), 8).view(), "-inf");
    EXPECT_EQ(SignificantText(std::numeric_limits<double>::max(), 8).view(), "1.7976931e+308");
}

struct FormatCase {
    double value;
    int decimals;
    const char* point;
    const char* comma;
};

TEST(FormatNumber, ExampleTableWithBothSeparators) {
    const FormatCase cases[] = {
        {1.25, 3, "1.25", "1,25"},
        {-350.127, 3, "-350.127", "-350,127"},
        {12.3456, 2, "12.35", "12,35"},
        {7, 3, "7.", "7,"},
        {100, 2, "100.", "100,"},
        {0, 2, "0.", "0,"},
        {0.1234, 3, "0.123", "0,123"},
        {9.9996, 3, "10.", "10,"},
        {0.0123, 3, "1.23e-002", "1,23e-002"},
        {0.00125, 3, "1.25e-003", "1,25e-003"},
        {0.05, 2, "5.e-002", "5,e-002"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, c.decimals, false).view(), c.point) << c.value;
        EXPECT_EQ(FormatNumber(c.value, c.decimals, true).view(), c.comma) << c.value;
    }
}

TEST(FormatNumber, KeepsTheDecimalsAcrossEveryMagnitudeBand) {
    const std::pair<double, const char*> rows[] = {
        {0.5555, "0.56"},           {5.5555, "5.56"},
        {55.5555, "55.56"},         {555.5555, "555.56"},
        {5555.5555, "5555.56"},     {55555.5555, "55555.56"},
        {555555.5555, "555555.56"}, {5555555.5555, "5555555.56"}};
    for (const auto& [value, text] : rows) {
        EXPECT_EQ(FormatNumber(value, 2, false).view(), text) << value;
    }
    EXPECT_EQ(FormatNumber(999.9999, 3, false).view(), "1000.");
}

TEST(FormatNumber, SmallValuesTakeTheExponentFormWithFewerDigits) {
    EXPECT_EQ(FormatNumber(0.0999, 3, false).view(), "9.99e-002");
    EXPECT_EQ(FormatNumber(-0.0999, 2, false).view(), "-1.e-001");
    EXPECT_EQ(FormatNumber(1e-12, 3, true).view(), "1,e-012");
}

TEST(FormatNumber, HugeAndNonFiniteValuesFitInThirtyOneCharacters) {
    for (double v :
         {1e6, -9.87654321e12, 1e15, -1e300, std::numeric_limits<double>::max(),
          std::numeric_limits<double>::lowest(), std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min()}) {
        EXPECT_LE(FormatNumber(v, 3, true).size(), 31u) << v;
    }
    EXPECT_EQ(FormatNumber(1234567.891, 2, false).view(), "1234567.89");
}

TEST(FormatNumber, FollowsTheSeparatorOfTheState) {
    SharedState state;
    EXPECT_EQ(FormatNumber(state, 1.5, 3).view(), "1.5");
    state.display.decimalComma = 1;
    EXPECT_EQ(FormatNumber(state, 1.5, 3).view(), "1,5");
}

TEST(TwoDigitText, PadsSingleDigitsAndLeavesTheRestAsTheyAre) {
    // A hand-made file can hold any year: shown as it is, never cut.
    const std::pair<int, const char*> rows[] = {{0, "00"},
                                                {5, "05"},
                                                {9, "09"},
                                                {10, "10"},
                                                {2006, "2006"},
                                                {-5, "-5"},
                                                {std::numeric_limits<int>::min(), "-2147483648"}};
    for (const auto& [value, text] : rows) {
        EXPECT_EQ(TwoDigitText(value), text);
    }
}

TEST(ParseLeadingNumber, ReadsTheLeadingNumberLikeTheDialogsDo) {
    const std::pair<const char*, double> rows[] = {{"12.5", 12.5}, {"  -3.25e2xyz", -325.0},
                                                   {"+7.", 7.0},   {".5", 0.5},
                                                   {"1e", 1.0},    {"2,5", 2.0},
                                                   {"abc", 0.0},   {"", 0.0},
                                                   {"-", 0.0},     {"--5", 0.0},
                                                   {"nan", 0.0},   {"inf", 0.0},
                                                   {"1e999", 0.0}};
    for (const auto& [text, value] : rows) {
        EXPECT_DOUBLE_EQ(ParseLeadingNumber(text), value) << text;
    }
}

TEST(ParseLeadingNumber, ReadsBackEverySignificantText) {
    for (double v : {0.0, 1.5, -350.127, 123.456789, 1e-5, -7.77e12, 99999999.0}) {
        const double back = ParseLeadingNumber(SignificantText(v, 8).view());
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-7) << v;
    }
}

// What a user types or pastes into a box: a point or a comma, and whatever
// else comes along, never more than the leading number.
TEST(ParseTypedNumber, ReadsAPointOrACommaAsTheDecimalSeparator) {
    const std::pair<const char*, double> rows[] = {
        {"1,5", 1.5},       {"1.5", 1.5},
        {"-0,25e1", -2.5},  // the exponent is part of the number
        {"6,5e-1", 0.65},   {" 7", 7.0},
        {"\t\n 7 мл", 7.0},  // pasted with its line break and unit
        {"", 0.0},          {"abc", 0.0},
        {"1,5,6", 1.5},     {"1.5,6", 1.5},
        {",5", 0.5},        {"-,5", -0.5},
        {"12,", 12.0},      {",", 0.0},
        {"-", 0.0},         {"--1,5", 0.0},
        {"1 000,5", 1.0},  // a digit-group space ends the number
        {"inf", 0.0},       {"nan", 0.0},
        {"0x1A", 0.0},      {"1e999", 0.0},
        {"-1e999", 0.0},    {"-350,127", -350.127},
    };
    for (const auto& [text, value] : rows) {
        EXPECT_DOUBLE_EQ(ParseTypedNumber(text), value) << text;
    }
}

TEST(ParseTypedNumber, ReadsLongNumbersWhole) {
    // Forty digits, and the same with a comma after the first: nothing is cut.
    EXPECT_DOUBLE_EQ(ParseTypedNumber("1234567890123456789012345678901234567890"),
                     1.2345678901234568e39);
    EXPECT_DOUBLE_EQ(ParseTypedNumber("1,234567890123456789012345678901234567890"),
                     1.2345678901234568);
    // A pasted text far longer than any box allows.
    const std::string pasted = "2," + std::string(5000, '5') + "e0xyz";
    EXPECT_DOUBLE_EQ(ParseTypedNumber(pasted), 2.5555555555555554);
}

TEST(ProseNumber, WritesFixedDecimalsWithoutTrailingZerosAndKeepsSmallValuesVisible) {
    const std::tuple<double, int, bool, std::string_view> cases[] = {
        {6.0, 3, false, "6"},           {6.0, 3, true, "6"},
        {4.5, 3, true, "4,5"},          {0.0, 3, false, "0"},
        {5e-4, 3, false, "0.0005"},     {1.25e-4, 3, true, "0,00013"},
        {-12.3456, 2, false, "-12.35"}, {1e9, 3, false, "1000000000"},
        {-0.0001, 0, false, "-0.0001"}, {-1e-300, 3, false, "0"},
        {0.0099, 2, false, "0.0099"},
    };
    for (const auto& [value, decimals, comma, text] : cases) {
        EXPECT_EQ(ProseNumber(value, decimals, comma).view(), text) << value;
    }
}

TEST(ParseExactNumber, TakesANumberAloneWithAPointOrACommaAndRefusesTheRest) {
    const std::pair<std::string_view, double> numbers[] = {
        {"4,5", 4.5}, {"4.5", 4.5},      {" -1,25e1 ", -12.5}, {"+3", 3.0},
        {"0", 0.0},   {"5.e-002", 0.05}, {"\t12\r", 12.0},     {".5", 0.5},
    };
    for (const auto& [text, value] : numbers) {
        ASSERT_TRUE(ParseExactNumber(text).has_value()) << text;
        EXPECT_EQ(*ParseExactNumber(text), value) << text;
    }
    for (std::string_view nonsense : {"", " ", "abc", "4,5,6", "4.5,6", "4,5 мл", "1e", "+-3",
                                      "--3", "inf", "nan", "1e999", "0x10", ",", "1 2"}) {
        EXPECT_FALSE(ParseExactNumber(nonsense).has_value()) << nonsense;
    }
    // Longer than any number a box holds: refused, never read past.
    EXPECT_FALSE(ParseExactNumber(std::string(200, '1')).has_value());
}

TEST(ParseTypedInteger, ReadsTheLeadingWholeNumberAndHoldsAtTheLimits) {
    const std::pair<const char*, long long> rows[] = {
        {"300", 300},
        {"-5", -5},
        {" +12", 12},
        {"12,5", 12},
        {"1e3", 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"99999999999999999999999", std::numeric_limits<long long>::max()},
        {"-99999999999999999999999", -std::numeric_limits<long long>::max()},
    };
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(ParseTypedInteger(text), value) << text;
    }
}

}  // namespace
}  // namespace kelm
