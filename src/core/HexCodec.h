// The hexadecimal text encodings of the result file's encoded part and of the
// settings file: HexField (four digits, 0..65535), HexByte (two digits) and
// NumberText (a HexField length, then the characters of a number as HexBytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kelm {

// A NumberText holds at most this many characters; the writer cuts longer texts.
inline constexpr int kMaxNumberTextLength = 30;
inline constexpr int kNumberTextDigits = 8;  // significant digits of a NumberText

// Writers append upper-case digits. A HexField keeps the low 16 bits of its value.
void AppendHexField(std::string& out, std::int64_t value);
void AppendHexByte(std::string& out, std::uint8_t value);
void AppendHexBytes(std::string& out, std::string_view bytes);  // one HexByte each
void AppendNumberText(std::string& out, double value);

// Reads the encodings from a byte buffer, never past its end. A read that
// finds the input too short consumes the rest, returns 0 and marks the reader
// as ended; every later read then returns 0 as well. A character that is not a
// hexadecimal digit (either case) counts as the digit 0.
class HexReader {
public:
    explicit HexReader(std::string_view bytes) : bytes_(bytes) {}

    int ReadHexField();  // 0..65535
    int ReadHexByte();   // 0..255

    // `count` HexBytes, of which the first into.size() are stored in `into`
    // and the rest consumed unread. A short input stores nothing.
    void ReadHexBytes(int count, std::span<char> into);

    // A NumberText of any stored length is consumed whole; the number is read
    // from its first kMaxNumberTextLength characters, as the writer keeps them.
    double ReadNumberText();

    bool Ended() const { return ended_; }
    std::size_t Position() const { return position_; }

private:
    // True when `count` more bytes are there; otherwise the reader ends.
    bool Take(std::size_t count);

    std::string_view bytes_;
    std::size_t position_ = 0;
    bool ended_ = false;
};

}  // namespace kelm
