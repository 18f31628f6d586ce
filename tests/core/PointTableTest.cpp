// The table kelmtool import reads: every separator and decimal form it
// accepts, and the line and reason of what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/PointTable.h"

namespace kelm {
namespace {

TEST(PointTable, ReadsEachSeparatorAndDecimalForm) {
    const struct {
        const char* name;
        std::string text;
        std::vector<std::pair<double, double>> points;
    } cases[] = {
        {"comma", "0,2.87\n1.5,3.1e0\n", {{0, 2.87}, {1.5, 3.1}}},
        {"semicolon, decimal comma", "0;2,87\r\n1,5;-3,5\r\n", {{0, 2.87}, {1.5, -3.5}}},
        {"semicolon, decimal point", "2.5;+3.5", {{2.5, 3.5}}},
        {"tab, decimal comma", "3\t4,25\n", {{3, 4.25}}},
        {"tab and a comma later", "1\t2,5\n", {{1, 2.5}}},
        {"blanks around fields", "  1,5 ; 3,1 \r\n", {{1.5, 3.1}}},
        {"header, order mark, empty lines", "\xEF\xBB\xBFVolume;pH\n\n\n1;2\n\n", {{1, 2}}},
        {"empty lines before the header", "\n\r\nV,E\n1,2\n", {{1, 2}}},
        {"exponents", "1e-3,-2E2\n", {{0.001, -200}}},
        {"each line its own separator", "1;2\n3,4\n5\t6\n", {{1, 2}, {3, 4}, {5, 6}}},
    };
    for (const auto& c : cases) {
        PointTable table;
        const auto problem = ReadPointTable(c.text, table);
        ASSERT_FALSE(problem) << c.name << ": " << problem->message;
        ASSERT_EQ(table.count, static_cast<int>(c.points.size())) << c.name;
        for (int i = 0; i < table.count; ++i) {
            EXPECT_EQ(table.points[i].volume, c.points[i].first) << c.name << " " << i;
            EXPECT_EQ(table.points[i].value, c.points[i].second) << c.name << " " << i;
        }
    }
}

TEST(PointTable, NamesTheLineAndTheReasonOfWhatItRefuses) {
    const struct {
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {"1;2\n3;x\n", 2, "the value \"x\" is not a number"},
        {"V,E\n1,2\nabc,5\n", 3, "the volume \"abc\" is not a number"},
        {"1;2\n\n1,5,7,25\n", 3, "expected a volume and a value"},
        {"1;2\n4\n", 2, "expected a volume and a value"},
        {"1;2;3\n", 1, "expected a volume and a value"},
        {"0;1\n1,5,6;2\n", 2, "the volume \"1,5,6\" is not a number"},
        {"1;\n", 1, "the value \"\" is not a number"},
        {"1;1e999\n", 1, "the value \"1e999\" is not a number"},
        {"1;nan\n", 1, "the value \"nan\" is not a number"},
        {"1;inf\n", 1, "the value \"inf\" is not a number"},
        // One sign, as a spreadsheet writes it; not two.
        {"1;+-5\n", 1, "the value \"+-5\" is not a number"},
        {"1;++5\n", 1, "the value \"++5\" is not a number"},
        {"0;1\n-+1;5\n", 2, "the volume \"-+1\" is not a number"},
        {"Header\nSecond header\n", 2, "expected a volume and a value"},
        {"", 0, "no points"},
        {"Volume;Value\n\n", 0, "no points"},
    };
    for (const auto& c : cases) {
        PointTable table;
        const auto problem = ReadPointTable(c.text, table);
        ASSERT_TRUE(problem) << c.text;
        EXPECT_EQ(problem->line, c.line) << c.text;
        EXPECT_EQ(problem->message.find(c.message), 0u) << c.text << ": " << problem->message;
    }
}

TEST(PointTable, HoldsAtMostTheRecordsPoints) {
    std::string text;
    for (int i = 0; i < kMaxPoints; ++i) {
        text += std::to_string(i) + ";1\n";
    }
    PointTable table;
    EXPECT_FALSE(ReadPointTable(text, table));
    EXPECT_EQ(table.count, kMaxPoints);
    text += "255;1\n";
    const auto problem = ReadPointTable(text, table);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->line, kMaxPoints + 1);
    EXPECT_EQ(problem->message, "more than 255 points");
}

}  // namespace
}  // namespace kelm
