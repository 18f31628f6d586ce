#include "core/HexCodec.h"

#include <algorithm>
#include <array>

#include "core/NumberText.h"

namespace kelm {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The value of each byte read as a hexadecimal digit; anything else is 0.
constexpr std::array<std::uint8_t, 256> kDigitValue = [] {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 10; ++i) {
        table['0' + i] = static_cast<std::uint8_t>(i);
    }
    for (int i = 0; i < 6; ++i) {
        table['A' + i] = table['a' + i] = static_cast<std::uint8_t>(10 + i);
    }
    return table;
}();

int Digit(char c) {
    return kDigitValue[static_cast<unsigned char>(c)];
}

// The four digits of a field into `at`.
void PutHexField(char* at, std::uint64_t value) {
    const auto bits = value & 0xFFFFu;
    at[0] = kDigits[(bits >> 12) & 0xFu];
    at[1] = kDigits[(bits >> 8) & 0xFu];
    at[2] = kDigits[(bits >> 4) & 0xFu];
    at[3] = kDigits[bits & 0xFu];
}

void PutHexByte(char* at, std::uint8_t value) {
    at[0] = kDigits[value >> 4];
    at[1] = kDigits[value & 0xFu];
}

// The HexBytes of `bytes` from `at` on; returns the end.
char* PutHexBytes(char* at, std::string_view bytes) {
    std::for_each(bytes.begin(), bytes.end(), [&at](char c) {
        PutHexByte(at, static_cast<std::uint8_t>(c));
        at += 2;
    });
    return at;
}

}  // namespace

// Each encoding is built in a small buffer and appended whole: a result file
// is made of thousands of them.
void AppendHexField(std::string& out, std::int64_t value) {
    char digits[4];
    PutHexField(digits, static_cast<std::uint64_t>(value));
    out.append(digits, sizeof digits);
}

void AppendHexByte(std::string& out, std::uint8_t value) {
    char digits[2];
    PutHexByte(digits, value);
    out.append(digits, sizeof digits);
}

void AppendHexBytes(std::string& out, std::string_view bytes) {
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    PutHexBytes(out.data() + start, bytes);
}

void AppendNumberText(std::string& out, double value) {
    const NumberString text = SignificantText(value, kNumberTextDigits);
    const std::string_view kept = text.view().substr(0, kMaxNumberTextLength);
    char encoded[4 + 2 * kMaxNumberTextLength];
    PutHexField(encoded, kept.size());
    const char* end = PutHexBytes(encoded + 4, kept);
    out.append(encoded, static_cast<std::size_t>(end - encoded));
}

bool HexReader::Take(std::size_t count) {
    // An ended reader stands at the end, so nothing more is there.
    if (bytes_.size() - position_ < count) {
        ended_ = true;
        position_ = bytes_.size();
        return false;
    }
    return true;
}

int HexReader::ReadHexField() {
    if (!Take(4)) {
        return 0;
    }
    const char* p = bytes_.data() + position_;
    position_ += 4;
    return (Digit(p[0]) << 12) | (Digit(p[1]) << 8) | (Digit(p[2]) << 4) | Digit(p[3]);
}

int HexReader::ReadHexByte() {
    if (!Take(2)) {
        return 0;
    }
    const char* p = bytes_.data() + position_;
    position_ += 2;
    return (Digit(p[0]) << 4) | Digit(p[1]);
}

void HexReader::ReadHexBytes(int count, std::span<char> into) {
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    if (!Take(2 * n)) {
        return;
    }
    const char* p = bytes_.data() + position_;
    position_ += 2 * n;
    std::generate_n(into.begin(), std::min(n, into.size()), [&p] {
        const char c = static_cast<char>((Digit(p[0]) << 4) | Digit(p[1]));
        p += 2;
        return c;
    });
}

double HexReader::ReadNumberText() {
    const int length = ReadHexField();
    char text[kMaxNumberTextLength];
    ReadHexBytes(length, text);
    if (ended_) {
        return 0.0;
    }
    const std::size_t kept = std::min(static_cast<std::size_t>(length), sizeof text);
    return ParseLeadingNumber(std::string_view(text, kept));
}

}  // namespace kelm
