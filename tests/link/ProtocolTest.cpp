#include "link/Protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

namespace kelm {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A reply frame with a correct checksum.
Bytes Frame(Bytes withoutChecksum) {
    withoutChecksum.push_back(Checksum(withoutChecksum));
    return withoutChecksum;
}

Bytes NumberFrame(int address, int z, int r, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return Frame({0x00, static_cast<std::uint8_t>(address), 0x09, 0x00, 0x10,
                  static_cast<std::uint8_t>(z), static_cast<std::uint8_t>(r),
                  static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                  static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24),
                  0x00});
}

TEST(Protocol, ChecksumsOfTheWorkedExamples) {
    const Bytes request = {0x00, 0x01, 0x04, 0x00, 0x10, 0x10, 0x10};
    EXPECT_EQ(Checksum(request), 0x35);
    const Bytes errorReply = {0x00, 0x01, 0x05, 0x00, 0x40, 0x10, 0x10, 0x04};
    EXPECT_EQ(Checksum(errorReply), 0x6A);
    EXPECT_EQ(Checksum(Bytes(300, 0xFF)), (300 * 0xFF) % 256);
}

TEST(Protocol, RequestFrameKeepsLowBytesAndCarriesData) {
    std::array<std::uint8_t, kFrameBufferSize> frame{};
    EXPECT_EQ(BuildRequest(frame, 1, 0x10, 0x10, 0x10, {}), 8);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 8),
              (Bytes{0x00, 0x01, 0x04, 0x00, 0x10, 0x10, 0x10, 0x35}));

    const std::uint8_t data[] = {0xAA, 0xBB};
    EXPECT_EQ(BuildRequest(frame, 0x101, 0x110, 0x211, 0x330, data), 10);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 10),
              (Bytes{0x00, 0x01, 0x06, 0x00, 0x10, 0x11, 0x30, 0xAA, 0xBB,
                     Checksum(Bytes{0x00, 0x01, 0x06, 0x00, 0x10, 0x11, 0x30, 0xAA, 0xBB})}));

    std::array<std::uint8_t, kLinkCapacity> big{};
    EXPECT_EQ(BuildRequest(frame, 0, 0x10, 0, 0, big), kFrameBufferSize);
    EXPECT_EQ(frame[2], (kLinkCapacity + 4) & 0xFF);
    EXPECT_EQ(frame[3], (kLinkCapacity + 4) >> 8);
}

TEST(Protocol, NothingOrDeclaredZeroIsNoReply) {
    EXPECT_EQ(CheckReply({}, 1, 0x10, 0x10), result::kNoReply);
    const Bytes header = {0x00, 0x01, 0x00, 0x00};
    EXPECT_EQ(CheckReply(header, 1, 0x10, 0x10), result::kNoReply);
}

TEST(Protocol, MalformedFramesArePacketErrors) {
    // A header cut short.
    EXPECT_EQ(CheckReply(Bytes{0x00, 0x01, 0x09}, 1, 0x10, 0x10), result::kPacketError);
    // Header only.
    EXPECT_EQ(CheckReply(Bytes{0x00, 0x01, 0x09, 0x00}, 1, 0x10, 0x10), result::kPacketError);
    // Declared lengths with no room for command, Z, R and checksum.
    for (std::uint8_t declared : {1, 2, 3}) {
        Bytes frame = {0x00, 0x01, declared, 0x00, 0x10, 0x10, 0x10};
        frame.resize(4 + declared);
        EXPECT_EQ(CheckReply(frame, 1, 0x10, 0x10), result::kPacketError) << int{declared};
    }
    // A declared length of the capacity or more: the body is never read.
    EXPECT_EQ(CheckReply(Bytes{0x00, 0x01, 0x00, 0x04}, 1, 0x10, 0x10), result::kPacketError);
    EXPECT_EQ(CheckReply(Bytes{0x00, 0x01, 0xFF, 0xFF}, 1, 0x10, 0x10), result::kPacketError);
}

TEST(Protocol, TruncatedBodyIsAPacketErrorEvenWhenZerosWouldSumRight) {
    // 00 01 09 00 10 10 10 C6 sums to 0 mod 256, so a cleared buffer padded
    // with zeros would pass its checksum and yield a value never sent.
    const Bytes truncated = {0x00, 0x01, 0x09, 0x00, 0x10, 0x10, 0x10, 0xC6};
    EXPECT_EQ(CheckReply(truncated, 1, 0x10, 0x10), result::kPacketError);
}

TEST(Protocol, ForeignOrDamagedRepliesArePacketErrors) {
    const Bytes good = NumberFrame(1, 0x10, 0x10, 12.5f);
    ASSERT_EQ(CheckReply(good, 1, 0x10, 0x10), result::kOk);

    Bytes badSum = good;
    badSum.back() ^= 1;
    EXPECT_EQ(CheckReply(badSum, 1, 0x10, 0x10), result::kPacketError);
    EXPECT_EQ(CheckReply(NumberFrame(2, 0x10, 0x10, 1.0f), 1, 0x10, 0x10), result::kPacketError);
    EXPECT_EQ(CheckReply(NumberFrame(1, 0x11, 0x10, 1.0f), 1, 0x10, 0x10), result::kPacketError);
    EXPECT_EQ(CheckReply(NumberFrame(1, 0x10, 0x30, 1.0f), 1, 0x10, 0x10), result::kPacketError);
    Bytes start = good;
    start[0] = 0x01;
    start.back() = Checksum(std::span(start).first(start.size() - 1));
    EXPECT_EQ(CheckReply(start, 1, 0x10, 0x10), result::kPacketError);
}

TEST(Protocol, ErrorRepliesGiveTheInstrumentsCode) {
    const Bytes notReady = {0x00, 0x01, 0x05, 0x00, 0x40, 0x10, 0x10, 0x04, 0x6A};
    EXPECT_EQ(CheckReply(notReady, 1, 0x10, 0x10), result::kNotReady);
    EXPECT_EQ(CheckReply(Frame({0x00, 0x01, 0x05, 0x00, 0x40, 0x10, 0x10, 0xFF}), 1, 0x10, 0x10),
              result::kInstrumentFault);
    // An error reply without its code, or with code 0, must not read as success.
    EXPECT_EQ(CheckReply(Frame({0x00, 0x01, 0x04, 0x00, 0x40, 0x10, 0x10}), 1, 0x10, 0x10),
              result::kPacketError);
    EXPECT_EQ(CheckReply(Frame({0x00, 0x01, 0x05, 0x00, 0x40, 0x10, 0x10, 0x00}), 1, 0x10, 0x10),
              result::kPacketError);
    // Any status other than 0x40 is a normal reply.
    EXPECT_EQ(CheckReply(Frame({0x00, 0x01, 0x05, 0x00, 0x55, 0x10, 0x10, 0x04}), 1, 0x10, 0x10),
              result::kOk);
}

TEST(Protocol, DecodesTheThreeForms) {
    LinkText text;
    DecodedReply d = DecodeReply(NumberFrame(1, 0x10, 0x10, -123.25f), 0x10, 0x10, text);
    EXPECT_TRUE(d.valueValid);
    EXPECT_FALSE(d.textValid);
    EXPECT_EQ(d.value, -123.25);

    // CR LF become two spaces, code page 1251 letters stay.
    const Bytes textReply =
        Frame({0x00, 0x01, 0x0A, 0x00, 0x10, 0x00, 0x00, 'A', 0x0D, 0x0A, 0xC3, 0xE0, 0x09});
    d = DecodeReply(textReply, 0, 0, text);
    EXPECT_TRUE(d.textValid);
    EXPECT_FALSE(d.valueValid);
    EXPECT_EQ(text.view(), "A  \xC3\xE0 ");

    // A 13-byte reply to a text request is text.
    d = DecodeReply(NumberFrame(1, 0x00, 0x00, 1.0f), 0x00, 0x00, text);
    EXPECT_TRUE(d.textValid);
    EXPECT_FALSE(d.valueValid);
    EXPECT_EQ(text.size(), 5u);

    // A measurement answered with another length, and a text parameter with
    // R not 0: neither form.
    d = DecodeReply(textReply, 0x10, 0x10, text);
    EXPECT_FALSE(d.textValid || d.valueValid);
    d = DecodeReply(NumberFrame(1, 0x01, 0x10, 1.0f), 0x01, 0x10, text);
    EXPECT_FALSE(d.textValid || d.valueValid);
}

TEST(Protocol, NonFiniteReadingsAreNoValue) {
    LinkText text;
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        const DecodedReply d = DecodeReply(NumberFrame(1, 0x10, 0x10, bad), 0x10, 0x10, text);
        EXPECT_FALSE(d.valueValid);
    }
}

}  // namespace
}  // namespace kelm
