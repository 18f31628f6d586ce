#include "core/Cp1251.h"

namespace kelm {

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char32_t cp = b < 0x80 ? b : kCp1251Upper[b - 0x80];
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8, char replacement) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const int b = Cp1251Byte(NextCodePoint(utf8, i));
        out += b < 0 ? replacement : static_cast<char>(b);
    }
    return out;
}

std::string CharactersCp1251Lacks(std::string_view utf8) {
    std::string lacked;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t start = i;
        if (Cp1251Byte(NextCodePoint(utf8, i)) < 0) {
            const std::string_view character = utf8.substr(start, i - start);
            if (lacked.find(character) == std::string::npos) {
                lacked += character;
            }
        }
    }
    return lacked;
}

}  // namespace kelm
