#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/Cp1251.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using Outcome = test::ToolOutcome;

class Kelmtool : public ::testing::Test {
protected:
    Outcome Run(std::initializer_list<std::string> words) {
        return test::RunTool(KELMTOOL_PATH, words, dir.path());
    }
    std::string Path(std::string_view name) { return (dir / name).string(); }

    TempDir dir;
};

// The pH example: "A", 5 March 2006, 9:07, one point.
SharedState ExampleState() {
    SharedState s;
    NewRecord(s);
    ApplyStartDefaults(s);
    const std::string description = Utf8ToCp1251("Проба №1 \"HCl\"\tA");
    std::copy(description.begin(), description.end(), s.record.description.begin());
    s.record.quantity = MeasuredQuantity::Ph;
    s.record.startTimeKnown = 1;
    s.record.startTime = {2006, 3, 5, 9, 7};
    s.record.pointCount = 2;
    s.record.points[0] = {1.5, 7.25};
    s.record.points[1] = {0.1, -1e-5};
    s.display.colours[1] = {1, 2, 3, 1};
    return s;
}

std::string Repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST_F(Kelmtool, ShowPrintsTheRecordAsJson) {
    WriteBytes(Path("a.kel"), SaveRecord(ExampleState()));
    const Outcome o = Run({"show", Path("a.kel")});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    const std::string expected =
        "{\n"
        "  \"description\": \"Проба №1 \\\"HCl\\\"\\tA\",\n"
        "  \"startTimeKnown\": 1,\n"
        "  \"startTime\": {\"year\": 2006, \"month\": 3, \"day\": 5, \"hour\": 9, \"minute\": 7},\n"
        "  \"quantity\": 1,\n"
        "  \"pointCount\": 2,\n"
        "  \"points\": [\n"
        "    [1.5, 7.25],\n"
        "    [0.1, -1e-05]\n"
        "  ],\n"
        "  \"processing\": {\"criterion\": 1, \"endValueEmf\": 0, \"endValuePh\": 7, "
        "\"interpolationKind\": 1, \"autoPointCount\": 1, \"interpolationPointCount\": 0, "
        "\"filterKind\": 1, \"filterStrength\": 5},\n"
        "  \"colours\": [\n    [0, 0, 0, 0],\n    [1, 2, 3, 1],\n" +
        Repeated("    [0, 0, 0, 0],\n", 7) + "    [0, 0, 0, 0]\n  ],\n  \"decimalComma\": 0\n}\n";
    EXPECT_EQ(o.out, expected);
}

TEST_F(Kelmtool, ShowOfAnEmptyRecordHasAnEmptyPointList) {
    SharedState s;
    NewRecord(s);
    WriteBytes(Path("e.kel"), SaveRecord(s));
    const Outcome o = Run({"show", Path("e.kel")});
    EXPECT_EQ(o.status, 0);
    EXPECT_THAT(o.out, HasSubstr("\"pointCount\": 0,\n  \"points\": [],\n"));
    EXPECT_THAT(o.out, HasSubstr("\"description\": \"\",\n"));
}

TEST_F(Kelmtool, ShowReportsDamagedAndMissingFiles) {
    WriteBytes(Path("zero.kel"), std::string("text\0\x1D", 6));
    Outcome o = Run({"show", Path("zero.kel")});
    EXPECT_EQ(o.status, 65);
    EXPECT_EQ(o.out, "");
    EXPECT_THAT(o.err, HasSubstr("Нет данных для чтения"));

    const std::string whole = SaveRecord(ExampleState());
    WriteBytes(Path("cut.kel"), whole.substr(0, whole.size() - 3));
    o = Run({"show", Path("cut.kel")});
    EXPECT_EQ(o.status, 65);
    EXPECT_THAT(o.err, HasSubstr("Unexpected file format."));

    o = Run({"show", Path("missing.kel")});
    EXPECT_EQ(o.status, 74);
    EXPECT_THAT(o.err, HasSubstr("missing.kel"));
}

TEST_F(Kelmtool, EveryCommandHasHelpAndRejectsBadUsage) {
    for (const char* command : {"show", "convert", "import"}) {
        Outcome o = Run({command, "--help"});
        EXPECT_EQ(o.status, 0) << command;
        EXPECT_THAT(o.out, StartsWith(std::string("Usage: kelmtool ") + command)) << command;

        o = Run({command});
        EXPECT_EQ(o.status, 64) << command;
        EXPECT_THAT(o.err, HasSubstr("Usage: kelmtool ")) << command;

        o = Run({command, "a", "--bogus"});
        EXPECT_EQ(o.status, 64) << command;
        EXPECT_THAT(o.err, HasSubstr("unknown option --bogus")) << command;
    }
    const std::string tooLong(1021, 'x');
    const struct {
        std::initializer_list<std::string> words;
        const char* message;
    } cases[] = {
        {{"show", "a.kel", "b.kel"}, "Usage: kelmtool show"},
        {{"convert", "a.kel"}, "Usage: kelmtool convert"},
        {{"convert", "a.kel", "-o"}, "option -o needs a value"},
        {{"convert", "a.kel", "-o", "b.kel", "--comma", "--point"}, "exclude"},
        {{"import", "a.csv", "-o", "b.kel"}, "Usage: kelmtool import"},
        {{"import", "a.csv", "-o", "b.kel", "--quantity", "mv"}, "unknown quantity \"mv\""},
        {{"import", "a.csv", "-o", "b.kel", "-o", "c.kel", "--quantity", "ph"}, "given twice"},
        {{"import", "a.csv", "-o", "b.kel", "--quantity", "ph", "--description", "日本"},
         "characters that code page 1251 lacks"},
        {{"import", "a.csv", "-o", "b.kel", "--quantity", "ph", "--description", tooLong},
         "longer than 1020 characters"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 64) << *std::prev(c.words.end());
        EXPECT_THAT(o.err, HasSubstr(c.message)) << *std::prev(c.words.end());
    }
}

TEST_F(Kelmtool, ConvertSavesTheSameRecordWithTheChosenSeparator) {
    const std::string original = SaveRecord(ExampleState());
    WriteBytes(Path("a.kel"), original);
    Outcome o = Run({"convert", Path("a.kel"), "-o", Path("b.kel")});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(ReadBytes(Path("b.kel")), original);

    o = Run({"convert", Path("a.kel"), "--comma", "-o", Path("c.kel")});
    EXPECT_EQ(o.status, 0) << o.err;
    const std::string comma = ReadBytes(Path("c.kel"));
    EXPECT_THAT(comma, HasSubstr("\r\n1,5\t7,25\r\n"));
    SharedState s = ExampleState();
    ASSERT_EQ(LoadRecord(s, comma), LoadStatus::Loaded);
    EXPECT_EQ(s.display.decimalComma, 1);

    o = Run({"convert", Path("c.kel"), "--point", "-o", Path("d.kel")});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(ReadBytes(Path("d.kel")), original);
}

TEST_F(Kelmtool, ConvertFailuresLeaveTheOutputAlone) {
    WriteBytes(Path("bad.kel"), "no marker here");
    WriteBytes(Path("out.kel"), "old");
    Outcome o = Run({"convert", Path("bad.kel"), "-o", Path("out.kel")});
    EXPECT_EQ(o.status, 65);
    EXPECT_THAT(o.err, HasSubstr("Unexpected file format."));
    EXPECT_EQ(ReadBytes(Path("out.kel")), "old");

    WriteBytes(Path("a.kel"), SaveRecord(ExampleState()));
    // The temporary file beside the output cannot be created: its name is
    // longer than the folder allows.
    const std::string longOut = Path(std::string(240, 'o'));
    WriteBytes(longOut, "old");
    o = Run({"convert", Path("a.kel"), "-o", longOut});
    EXPECT_EQ(o.status, 74);
    EXPECT_THAT(o.err, HasSubstr("cannot write"));
    EXPECT_EQ(ReadBytes(longOut), "old");
}

SharedState LoadFile(const std::string& path) {
    SharedState s;
    EXPECT_EQ(LoadRecord(s, ReadBytes(path)), LoadStatus::Loaded);
    return s;
}

TEST_F(Kelmtool, ImportReadsEverySeparator) {
    WriteBytes(Path("t.csv"),
               "\xEF\xBB\xBF"
               "Объем;pH\r\n"
               "0;2,87\r\n"
               "\r\n"
               "  1,5 ; 3,1e0 \r\n"
               "2.5;+3.5\n"
               "3\t4,25\n"
               "4,5.5\n"
               "-1e-3,  6");
    const Outcome o = Run({"import", Path("t.csv"), "-o", Path("t.kel"), "--quantity", "ph",
                           "--description", "Титрование HCl"});
    EXPECT_EQ(o.status, 0) << o.err;
    const SharedState s = LoadFile(Path("t.kel"));
    EXPECT_EQ(s.record.quantity, MeasuredQuantity::Ph);
    EXPECT_EQ(Cp1251ToUtf8(s.record.description.data()), "Титрование HCl");
    EXPECT_EQ(s.record.startTimeKnown, 0);
    ASSERT_EQ(s.record.pointCount, 6);
    const double expected[][2] = {{0, 2.87}, {1.5, 3.1}, {2.5, 3.5},
                                  {3, 4.25}, {4, 5.5},   {-0.001, 6}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(s.record.points[i].volume, expected[i][0]) << i;
        EXPECT_EQ(s.record.points[i].value, expected[i][1]) << i;
    }
}

TEST_F(Kelmtool, ImportSetsEachQuantity) {
    WriteBytes(Path("t.csv"), "1,2\n");
    const std::pair<const char*, MeasuredQuantity> cases[] = {
        {"emf", MeasuredQuantity::Emf},
        {"ph", MeasuredQuantity::Ph},
        {"px", MeasuredQuantity::Px},
        {"conductivity", MeasuredQuantity::Conductivity}};
    for (const auto& [name, quantity] : cases) {
        ASSERT_EQ(Run({"import", Path("t.csv"), "-o", Path("t.kel"), "--quantity", name}).status,
                  0);
        EXPECT_EQ(LoadFile(Path("t.kel")).record.quantity, quantity) << name;
    }
}

TEST_F(Kelmtool, ImportNamesTheLineOfBadInput) {
    const struct {
        const char* table;
        const char* message;
    } cases[] = {
        {"1;2\n3;x\n", "t.csv:2: the value \"x\" is not a number"},
        {"V,E\n1,2\nabc,5\n", "t.csv:3: the volume \"abc\" is not a number"},
        {"1;2\n\n1,5,7,25\n", "t.csv:3: expected a volume and a value"},
        {"1;2\n4\n", "t.csv:2: expected a volume and a value"},
        {"1;2;3\n", "t.csv:1: expected a volume and a value"},
        {"1;\n", "t.csv:1: the value \"\" is not a number"},
        {"1,5;2\n1;1e999\n", "t.csv:2: the value \"1e999\" is not a number"},
        {"1;nan\n", "t.csv:1: the value \"nan\" is not a number"},
        {"", "t.csv: no points"},
        {"Volume;Value\n\n", "t.csv: no points"},
    };
    for (const auto& c : cases) {
        WriteBytes(Path("t.csv"), c.table);
        WriteBytes(Path("t.kel"), "old");
        const Outcome o = Run({"import", Path("t.csv"), "-o", Path("t.kel"), "--quantity", "emf"});
        EXPECT_EQ(o.status, 65) << c.table;
        EXPECT_THAT(o.err, HasSubstr(c.message)) << c.table;
        EXPECT_EQ(ReadBytes(Path("t.kel")), "old") << c.table;
    }

    std::string many;
    for (int i = 0; i < 256; ++i) {
        many += std::to_string(i) + ";1\n";
    }
    WriteBytes(Path("t.csv"), many);
    Outcome o = Run({"import", Path("t.csv"), "-o", Path("t.kel"), "--quantity", "emf"});
    EXPECT_EQ(o.status, 65);
    EXPECT_THAT(o.err, HasSubstr("t.csv:256: more than 255 points"));
    many.resize(many.rfind("255;"));
    WriteBytes(Path("t.csv"), many);
    o = Run({"import", Path("t.csv"), "-o", Path("t.kel"), "--quantity", "emf"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(LoadFile(Path("t.kel")).record.pointCount, 255);

    o = Run({"import", Path("none.csv"), "-o", Path("t.kel"), "--quantity", "emf"});
    EXPECT_EQ(o.status, 74);
}

TEST_F(Kelmtool, ShowOfTheExamplesWorks) {
    for (const auto& entry : std::filesystem::directory_iterator(KELM_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".kel") {
            continue;
        }
        const Outcome o = Run({"show", entry.path().string()});
        EXPECT_EQ(o.status, 0) << entry.path() << o.err;
        EXPECT_THAT(o.out, HasSubstr("\"pointCount\": ")) << entry.path();
    }
}

}  // namespace
}  // namespace kelm
