#include "core/HexCodec.h"

#include "core/FixedText.h"
#include "core/NumberText.h"

namespace kelm {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 0;
}

}  // namespace

void AppendHexField(std::string& out, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value) & 0xFFFFu;
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kDigits[(bits >> shift) & 0xFu];
    }
}

void AppendHexByte(std::string& out, std::uint8_t value) {
    out += kDigits[value >> 4];
    out += kDigits[value & 0xFu];
}

void AppendNumberText(std::string& out, double value) {
    const NumberString text = SignificantText(value, kNumberTextDigits);
    const std::string_view kept = text.view().substr(0, kMaxNumberTextLength);
    AppendHexField(out, static_cast<std::int64_t>(kept.size()));
    for (char c : kept) {
        AppendHexByte(out, static_cast<std::uint8_t>(c));
    }
}

int HexReader::ReadDigits(int count) {
    if (ended_ || bytes_.size() - position_ < static_cast<std::size_t>(count)) {
        ended_ = true;
        position_ = bytes_.size();
        return 0;
    }
    int value = 0;
    for (int i = 0; i < count; ++i) {
        value = value * 16 + DigitValue(bytes_[position_++]);
    }
    return value;
}

int HexReader::ReadHexField() {
    return ReadDigits(4);
}

int HexReader::ReadHexByte() {
    return ReadDigits(2);
}

double HexReader::ReadNumberText() {
    const int length = ReadHexField();
    FixedText<kMaxNumberTextLength + 1> text;
    for (int i = 0; i < length && !ended_; ++i) {
        const int c = ReadHexByte();
        if (i < kMaxNumberTextLength) {
            text.Append(static_cast<char>(c));
        }
    }
    return ended_ ? 0.0 : ParseLeadingNumber(text.view());
}

}  // namespace kelm
