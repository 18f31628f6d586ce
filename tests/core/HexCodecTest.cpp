#include <gtest/gtest.h>

#include <string>

#include "core/HexCodec.h"

namespace kelm {
namespace {

std::string Field(std::int64_t value) {
    std::string out;
    AppendHexField(out, value);
    return out;
}

std::string Number(double value) {
    std::string out;
    AppendNumberText(out, value);
    return out;
}

TEST(HexWriter, FieldsAreFourUpperCaseDigitsOfTheLow16Bits) {
    const std::pair<std::int64_t, const char*> rows[] = {
        {0, "0000"},     {2006, "07D6"},  {0xABCD, "ABCD"}, {65535, "FFFF"},
        {65536, "0000"}, {70000, "1170"}, {-1, "FFFF"},     {-5, "FFFB"}};
    for (const auto& [value, text] : rows) {
        EXPECT_EQ(Field(value), text) << value;
    }

    std::string bytes;
    for (int b : {0x00, 0x1D, 0x41, 0xC0, 0xFF}) {
        AppendHexByte(bytes, static_cast<std::uint8_t>(b));
    }
    EXPECT_EQ(bytes, "001D41C0FF");
}

TEST(HexWriter, NumberTextIsTheLengthThenTheEightDigitTextAsBytes) {
    EXPECT_EQ(Number(1.5), "0003312E35");
    EXPECT_EQ(Number(7.25), "0004372E3235");
    EXPECT_EQ(Number(0), "0002302E");
    EXPECT_EQ(Number(-0.000123),
              "000A"
              "2D312E3233652D303034");  // "-1.23e-004"
    EXPECT_EQ(Number(-1e300),
              "0008"
              "2D312E652B333030");  // "-1.e+300"
    EXPECT_EQ(Number(123.456789),
              "0009"
              "3132332E3435363739");
}

TEST(HexReader, ReadsWhatTheWriterWrites) {
    std::string bytes = Field(0) + Field(2006) + Field(65535) + "1D" + Number(-350.127) +
                        Number(1e-300) + Number(7);
    HexReader in(bytes);
    EXPECT_EQ(in.ReadHexField(), 0);
    EXPECT_EQ(in.ReadHexField(), 2006);
    EXPECT_EQ(in.ReadHexField(), 65535);
    EXPECT_EQ(in.ReadHexByte(), 0x1D);
    EXPECT_EQ(in.ReadNumberText(), -350.127);
    EXPECT_EQ(in.ReadNumberText(), 1e-300);
    EXPECT_EQ(in.ReadNumberText(), 7.0);
    EXPECT_FALSE(in.Ended());
    EXPECT_EQ(in.Position(), bytes.size());
}

TEST(HexReader, AcceptsLowerCaseAndReadsOtherCharactersAsZero) {
    HexReader in("abcd07d6 G1Z2ff");
    EXPECT_EQ(in.ReadHexField(), 0xABCD);
    EXPECT_EQ(in.ReadHexField(), 0x07D6);
    EXPECT_EQ(in.ReadHexField(), 0x0010);  // " G1Z" reads as 0010
    EXPECT_EQ(in.ReadHexByte(), 0x2F);
    EXPECT_FALSE(in.Ended());
}

TEST(HexReader, StopsAtTheEndAndSaysSo) {
    HexReader in("12");
    EXPECT_EQ(in.ReadHexField(), 0);
    EXPECT_TRUE(in.Ended());
    EXPECT_EQ(in.Position(), 2u);
    EXPECT_EQ(in.ReadHexByte(), 0);  // stays ended even where a byte would fit
    EXPECT_TRUE(in.Ended());

    HexReader exact("0001AB");
    EXPECT_EQ(exact.ReadHexField(), 1);
    EXPECT_EQ(exact.ReadHexByte(), 0xAB);
    EXPECT_FALSE(exact.Ended());
    EXPECT_EQ(exact.ReadHexByte(), 0);
    EXPECT_TRUE(exact.Ended());
}

TEST(HexReader, NumberTextThatEndsEarlyEndsTheInput) {
    HexReader lengthCut("00");
    EXPECT_EQ(lengthCut.ReadNumberText(), 0.0);
    EXPECT_TRUE(lengthCut.Ended());

    HexReader textCut("0004372E32");  // four characters announced, three present
    EXPECT_EQ(textCut.ReadNumberText(), 0.0);
    EXPECT_TRUE(textCut.Ended());

    HexReader huge("FFFF3132");  // a length of 65535 in a tiny buffer
    EXPECT_EQ(huge.ReadNumberText(), 0.0);
    EXPECT_TRUE(huge.Ended());
}

std::string TextField(std::string_view text) {
    std::string out;
    AppendHexField(out, static_cast<std::int64_t>(text.size()));
    for (char c : text) {
        AppendHexByte(out, static_cast<std::uint8_t>(c));
    }
    return out;
}

TEST(HexReader, NumberTextIsConsumedWholeAndReadFromItsFirst30Characters) {
    // 40 characters: the number is read from the first 30, and the next field
    // starts after all 40.
    const std::string longText = "1234567890.12345678901234567891111111111";
    const std::string bytes = TextField(longText) + "0042";
    HexReader in(bytes);
    EXPECT_DOUBLE_EQ(in.ReadNumberText(), 1234567890.1234567890123456789);
    EXPECT_EQ(in.ReadHexField(), 0x42);
    EXPECT_FALSE(in.Ended());

    // An exponent beyond the 30th character is not part of the number.
    const std::string cutBytes = TextField(std::string(29, '0') + "5e10");
    HexReader cut(cutBytes);
    EXPECT_EQ(cut.ReadNumberText(), 5.0);
}

TEST(HexReader, NumberTextParsesTheLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"  -12.5e1xyz", -125.0}, {"abc", 0.0}, {"", 0.0},      {"+3", 3.0},
        {"1.e+008", 1e8},         {"nan", 0.0}, {"1e999", 0.0},
    };
    for (const auto& c : cases) {
        const std::string bytes = TextField(c.text);
        HexReader in(bytes);
        EXPECT_EQ(in.ReadNumberText(), c.value) << c.text;
        EXPECT_FALSE(in.Ended());
    }
}

TEST(HexCodec, EveryEightDigitTextReadsBackToTheSameText) {
    for (double v : {0.1, -0.1, 99999999.0, 1.2345678e-250, 4.9406564584124654e-324,
                     1.7976931348623157e308, 123.456789, -7.0, 0.30000000000000004}) {
        const std::string once = Number(v);
        HexReader in(once);
        EXPECT_EQ(Number(in.ReadNumberText()), once) << v;
    }
}

}  // namespace
}  // namespace kelm
