// The names read from standard input: one a line, whatever wrote the list.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/kelmtool/FileNames.h"

namespace kelm::tool {
namespace {

using Names = std::vector<std::pair<std::string, bool>>;  // the name, and whether it is one

Names Read(const std::string& input) {
    std::istringstream in(input);
    constexpr std::array<std::string_view, 3> kWords = {"first.kel", kStdinName, "last.kel"};
    FileNames names(kWords, in);
    Names read;
    FileName name;
    while (names.Next(name)) {
        read.emplace_back(name.path, name.problem.empty());
    }
    return read;
}

TEST(FileNames, EachLineIsOneNameBetweenTheWords) {
    const std::string longest(kMaxNameLength, 'x');
    const std::string tooLong(kMaxNameLength + 1, 'y');
    const struct {
        const char* name;
        std::string input;
        Names expected;
    } cases[] = {
        {"nothing", "", {}},
        {"line feeds", "a.kel\nb c.kel\n", {{"a.kel", true}, {"b c.kel", true}}},
        {"carriage returns", "a.kel\r\nb.kel\r\n", {{"a.kel", true}, {"b.kel", true}}},
        {"no end at the end", "a.kel\nb.kel", {{"a.kel", true}, {"b.kel", true}}},
        {"empty lines", "\n\r\n\na.kel\n\r\n", {{"a.kel", true}}},
        {"one carriage return only", "a.kel\r\r\n", {{"a.kel\r", true}}},
        {"zero byte", std::string("a\0b.kel\n", 8), {{std::string("a\0b.kel", 7), false}}},
        {"longest", longest + "\n", {{longest, true}}},
        {"longest, carriage return", longest + "\r\n", {{longest, true}}},
        {"too long", tooLong + "\nb.kel", {{tooLong.substr(1), false}, {"b.kel", true}}},
        {"too long, carriage return", tooLong + "\r\n", {{tooLong.substr(1), false}}},
    };
    for (const auto& c : cases) {
        Names expected = {{"first.kel", true}};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        expected.emplace_back("last.kel", true);
        EXPECT_EQ(Read(c.input), expected) << c.name;
    }
}

}  // namespace
}  // namespace kelm::tool
