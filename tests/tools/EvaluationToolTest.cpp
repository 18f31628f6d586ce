// kelmtool's evaluation options: --window and --select over what a file
// holds, the notice on stderr, in JSON and in the batch table, and show.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ToolFolder.h"
#include "core/Cp1251.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace kelm {
namespace {

using test::ToolOutcome;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Words = std::vector<std::string>;

// An electrode still settling: 0.0005 mL raises the pH by 1, far more steeply
// than the jump at 10 mL; the linear grid then finds no point at all.
std::vector<CurvePoint> SettlingElectrode() {
    std::vector<CurvePoint> points = {{0.0, 2.0}, {0.0005, 3.0}};
    for (int i = 1; i <= 40; ++i) {
        points.push_back({0.5 * i, 7.0 + 4.0 * std::tanh(0.5 * (0.5 * i - 10))});
    }
    return points;
}

// Jumps at 5, 15 (the steepest) and 24 mL.
std::vector<CurvePoint> ThreeJumps() {
    std::vector<CurvePoint> points;
    for (int i = 0; i <= 60; ++i) {
        const double v = 0.5 * i;
        points.push_back({v, 2 + 2 * std::tanh(2 * (v - 5)) + 3 * std::tanh(3 * (v - 15)) +
                                 1.5 * std::tanh(2.5 * (v - 24))});
    }
    return points;
}

class EvaluationTool : public test::ToolFolder {};

TEST_F(EvaluationTool, TheWindowFindsTheJumpThatTheArtefactHidAndTheNoticeSaysWhy) {
    const std::string file = RecordFile("settling.kel", SettlingElectrode());
    const Words linear = {"--interpolation", "linear"};
    auto run = [&](Words extra) {
        Words words = {"process", file};
        words.insert(words.end(), linear.begin(), linear.end());
        words.insert(words.end(), extra.begin(), extra.end());
        return Run(words);
    };
    const ToolOutcome plain = run({});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, "");
    EXPECT_THAT(plain.err, StartsWith("kelmtool: no equivalence point found: the curve is steepest "
                                      "at 0 mL, outside the searched range"));
    EXPECT_THAT(plain.err, HasSubstr("is found with --window "));

    const ToolOutcome windowed = run({"--window", "1:"});
    EXPECT_EQ(windowed.status, 0) << windowed.err;
    EXPECT_EQ(windowed.out,
              "Объём\tpH\r\n9.277\t5.633\r\n9.757\t6.525\r\n10.243\t7.475\r\n10.716\t8.355\r\n");
    EXPECT_EQ(windowed.err, "");

    const ToolOutcome json = run({"--window", "1:", "--json"});
    EXPECT_THAT(json.out, HasSubstr("],\"notice\":\"\",\"window\":\"1:\",\"select\":\"all\","
                                    "\"equivalencePoints\":[{\"volume\":9.27"));
    const ToolOutcome jsonPlain = run({"--json"});
    EXPECT_THAT(jsonPlain.out, HasSubstr("\"notice\":\"no equivalence point found: "));
    EXPECT_THAT(jsonPlain.out, HasSubstr("\"window\":\":\",\"select\":\"all\""));
}

TEST_F(EvaluationTool, SelectAndWindowOverrideTheFileAndTheBatchTableCarriesTheNotice) {
    const std::string file = RecordFile("three.kel", ThreeJumps());
    struct Case {
        Words options;
        const char* report;
    };
    const Case cases[] = {
        {{}, "Объём\tpH\r\n5.\t-2.5\r\n15.\t2.5\r\n24.\t7.\r\n"},
        {{"--select", "greatest"}, "Объём\tpH\r\n15.\t2.5\r\n"},
        {{"--select", "first"}, "Объём\tpH\r\n5.\t-2.5\r\n"},
        {{"--select", "last"}, "Объём\tpH\r\n24.\t7.\r\n"},
        {{"--select", "2"}, "Объём\tpH\r\n5.\t-2.5\r\n15.\t2.5\r\n"},
        {{"--window", ":20"}, "Объём\tpH\r\n5.\t-2.5\r\n15.\t2.5\r\n"},
        {{"--window", "10:", "--select", "last"}, "Объём\tpH\r\n24.\t7.\r\n"},
    };
    for (const Case& c : cases) {
        Words words = {"process", file};
        words.insert(words.end(), c.options.begin(), c.options.end());
        const ToolOutcome o = Run(words);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, c.report) << words.back();
    }
    // Saved with -o, the settings go with the record and `show` prints them.
    ASSERT_EQ(
        Run({"process", file, "--window", "2.5:28", "--select", "2", "-o", "kept.kel"}).status, 0);
    EXPECT_EQ(Run({"process", Path("kept.kel")}).out, "Объём\tpH\r\n5.\t-2.5\r\n15.\t2.5\r\n");
    EXPECT_THAT(Run({"show", Path("kept.kel")}).out,
                HasSubstr("\"evaluation\": {\"window\": \"2.5:28\", \"select\": \"2\"},"));
    EXPECT_THAT(Run({"show", file}).out, ::testing::Not(HasSubstr("evaluation")));
    // An option wins over the file, ":" clears its window.
    EXPECT_EQ(Run({"process", Path("kept.kel"), "--window", ":", "--select", "all"}).out,
              "Объём\tpH\r\n5.\t-2.5\r\n15.\t2.5\r\n24.\t7.\r\n");

    const ToolOutcome table = Run({"process", "--table", "--select", "greatest", file});
    EXPECT_THAT(table.out, HasSubstr("\t1\t15.\t2.5\t"));
    EXPECT_THAT(table.out,
                HasSubstr("\tpH\t3 points found, 1 reported; not reported: 5, 24 mL\r\n"));
    const ToolOutcome json = Run({"process", "--json", "--select", "first", file, file});
    EXPECT_THAT(json.out, HasSubstr("\"notice\":\"3 points found, 1 reported; not reported: 15, "
                                    "24 mL\""));
}

TEST_F(EvaluationTool, NonsenseInTheOptionsIsRefusedWithTheUsageStatus) {
    const std::string file = RecordFile("three.kel", ThreeJumps());
    for (const Words& bad : std::vector<Words>{
             {"--window", "5"},
             {"--window", "abc:6"},
             {"--window", "6:5"},
             {"--window", "-1:5"},
             {"--window", "1:inf"},
             {"--window", "4,5:6"},
             {"--select", "0"},
             {"--select", "251"},
             {"--select", "2.5"},
             {"--select", "most"},
             {"--select", ""},
         }) {
        for (const char* command : {"process", "replicates"}) {
            Words words = {command, file, file};
            words.insert(words.end(), bad.begin(), bad.end());
            const ToolOutcome o = Run(words);
            EXPECT_EQ(o.status, 64) << command << ' ' << bad[0] << ' ' << bad[1];
            EXPECT_THAT(o.err, HasSubstr(bad[0] + " takes")) << bad[1];
        }
    }
}

TEST_F(EvaluationTool, ADamagedBlockLineIsNamedAndTheFileStillProcesses) {
    const std::string file = RecordFile("three.kel", ThreeJumps());
    std::string bytes = test::ReadBytes(file);
    const std::string separator = "============ ";
    bytes.insert(bytes.find(separator),
                 Utf8ToCp1251("[Kelm]\r\nВыбор точек: любая\r\nОкно поиска до, мл: 20\r\n"));
    test::WriteBytes(dir / "edited.kel", bytes);
    const ToolOutcome o = Run({"process", Path("edited.kel")});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "Объём\tpH\r\n5.\t-2.5\r\n15.\t2.5\r\n");
    EXPECT_EQ(o.err, "kelmtool: " + Path("edited.kel") +
                         ": line 'Выбор точек: любая' of the [Kelm] block ignored: the value "
                         "cannot be read\n");
}

}  // namespace
}  // namespace kelm
