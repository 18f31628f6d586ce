// Code page 1251, the code page of the record's texts and of the result file.
// The core keeps such texts as bytes; these conversions serve the boundaries
// (the user interface, the command-line tool) and the literals the core writes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelm {

// Unicode code points of the bytes 0x80..0xFF (0x98, unassigned, maps to U+0098
// so that every byte survives a round trip).
inline constexpr std::array<char32_t, 128> kCp1251Upper = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The byte for a code point, or -1 when code page 1251 has none.
constexpr int Cp1251Byte(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<int>(cp);
    }
    for (std::size_t i = 0; i < kCp1251Upper.size(); ++i) {
        if (kCp1251Upper[i] == cp) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Decodes one UTF-8 sequence at text[i], advancing i; malformed input yields U+FFFD.
constexpr char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return 0xFFFD;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(i++) & 0x3F);
    }
    return cp;
}

// A UTF-8 literal turned into code page 1251 bytes at compile time.
template <std::size_t N>
struct Cp1251Literal {
    std::array<char, N> bytes{};
    std::size_t length = 0;

    consteval Cp1251Literal(const char (&utf8)[N]) {
        const std::string_view text(utf8, N - 1);
        std::size_t i = 0;
        while (i < text.size()) {
            const int b = Cp1251Byte(NextCodePoint(text, i));
            if (b < 0) {
                throw "character outside code page 1251";
            }
            bytes[length++] = static_cast<char>(b);
        }
    }
    constexpr std::string_view view() const { return {bytes.data(), length}; }
    constexpr operator std::string_view() const { return view(); }
};

std::string Cp1251ToUtf8(std::string_view bytes);

// Characters that code page 1251 lacks become `replacement`.
std::string Utf8ToCp1251(std::string_view utf8, char replacement = '?');

// The characters of `utf8` that code page 1251 lacks, each once, in order (UTF-8).
std::string CharactersCp1251Lacks(std::string_view utf8);

}  // namespace kelm
