#include <gtest/gtest.h>

#include <string>

#include "core/Cp1251.h"

namespace kelm {
namespace {

TEST(Cp1251, LiteralsBecomeSingleBytes) {
    constexpr Cp1251Literal text("Объем \t");
    EXPECT_EQ(text.view(), std::string_view("\xCE\xE1\xFA\xE5\xEC \t"));
    constexpr Cp1251Literal yo("Ёё№");
    EXPECT_EQ(yo.view(), std::string_view("\xA8\xB8\xB9"));
}

TEST(Cp1251, EveryByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, ForeignAndMalformedTextIsReplacedNotDropped) {
    EXPECT_EQ(Utf8ToCp1251("a\xE2\x88\x9A"
                           "b"),
              "a?b");                                // square root sign
    EXPECT_EQ(Utf8ToCp1251("x\xC3"), "x?");          // truncated sequence
    EXPECT_EQ(Utf8ToCp1251("\xFF\xFE", '_'), "__");  // not UTF-8 at all
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE1\xEE\xF0"), "Прибор");
}

}  // namespace
}  // namespace kelm
