// kelmtool process over many files and kelmtool replicates, run as the built
// program on the example titrations and on result files made for the test.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolFolder.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::Example;
using test::ToolOutcome;
using test::WriteBytes;
using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;
using Words = std::vector<std::string>;

// The lines of a CR LF text without their ends; a text that ends with a line
// end has an empty last line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 2;
    }
}

// The text between "\"equivalencePoints\":" and the "]" that closes it,
// from `from` on.
std::string PointsJson(const std::string& json, std::size_t from = 0) {
    const std::size_t start = json.find("\"equivalencePoints\":[", from);
    if (start == std::string::npos) {
        return {};
    }
    return json.substr(start, json.find(']', start) - start + 1);
}

// The processing options under which a straight line of slope 1 crosses the
// end value 7 exactly where RecordFile's Line puts it.
const Words kLineOptions = {"--criterion", "end-value", "--end-value",     "7",
                            "--strength",  "0",         "--interpolation", "linear"};

class Batch : public test::ToolFolder {
protected:
    // pH = volume + 7 - at from 0 to 40 mL: one equivalence volume `at`.
    std::string Line(std::string_view name, double at) {
        std::vector<CurvePoint> points;
        for (int i = 0; i <= 16; ++i) {
            points.push_back({2.5 * i, 2.5 * i + 7.0 - at});
        }
        return RecordFile(name, points);
    }
    ToolOutcome Replicates(Words files, const Words& more = {}) {
        files.insert(files.begin(), "replicates");
        files.insert(files.end(), kLineOptions.begin(), kLineOptions.end());
        files.insert(files.end(), more.begin(), more.end());
        return Run(files);
    }
};

TEST_F(Batch, TheTableAndJsonOfTheExamplesHoldTheFiguresOfEachSingleRun) {
    const Words examples = {Example("hcl-naoh.kel"), Example("fe-ce-redox.kel"),
                            Example("maleic-naoh.kel")};
    for (const char* separator : {"--point", "--comma"}) {
        Words words = {"process", "--table", separator};
        words.insert(words.end(), examples.begin(), examples.end());
        const ToolOutcome table = Run(words);
        ASSERT_EQ(table.status, 0) << table.err;
        EXPECT_EQ(table.err, "");
        std::vector<std::string> rows = Lines(table.out);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front(), "file\tpoint\tvolume\tvalue\tderivative\tquantity\tmessage");
        EXPECT_EQ(rows.back(), "");  // the last line ends as every other
        rows.erase(rows.begin());
        rows.pop_back();

        // Each file's report lines, "volume\tvalue", with the file's name and
        // the point's number before and the quantity after.
        std::vector<std::string> expected;
        for (const std::string& file : examples) {
            const ToolOutcome single = Run({"process", file, separator});
            ASSERT_EQ(single.status, 0) << single.err;
            std::vector<std::string> report = Lines(single.out);
            const std::string quantity = report.front().substr(report.front().find('\t') + 1);
            for (std::size_t k = 1; k + 1 < report.size(); ++k) {
                expected.push_back(file + '\t' + std::to_string(k) + '\t' + report[k] + '\t' +
                                   quantity);
            }
        }
        ASSERT_EQ(rows.size(), expected.size());
        ASSERT_EQ(rows.size(), 4u);  // one point each, two of maleic acid
        for (std::size_t i = 0; i < rows.size(); ++i) {
            // file, point, volume, value | derivative | quantity, empty message
            const std::size_t derivative = rows[i].find('\t', expected[i].rfind('\t') + 1);
            EXPECT_EQ(rows[i].substr(0, rows[i].rfind('\t', derivative - 1)),
                      expected[i].substr(0, expected[i].rfind('\t')));
            EXPECT_THAT(rows[i],
                        ::testing::EndsWith(expected[i].substr(expected[i].rfind('\t')) + '\t'));
        }
    }

    // The JSON array holds each file's points as its own --json does.
    Words words = {"process", "--json"};
    words.insert(words.end(), examples.begin(), examples.end());
    const ToolOutcome json = Run(words);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, StartsWith("[\n{\"file\":"));
    EXPECT_THAT(json.out, ::testing::EndsWith("]}\n]\n"));
    std::size_t at = 0;
    for (const std::string& file : examples) {
        at = json.out.find("{\"file\":\"" + file + "\",\"status\":0,", at);
        ASSERT_NE(at, std::string::npos) << file;
        const ToolOutcome single = Run({"process", file, "--json"});
        EXPECT_EQ(PointsJson(json.out, at), PointsJson(single.out)) << file;
        EXPECT_THAT(PointsJson(single.out), HasSubstr("{\"volume\":"));
    }
}

TEST_F(Batch, AFileThatFailsGetsItsOwnLineAndTheOthersGoOn) {
    WriteBytes(dir / "damaged.kel", "readable text only");
    const std::string good = Line("good.kel", 20.0);
    const Words files = {
        good,
        Path("damaged.kel"),
        Path("missing.kel"),
        RecordFile("two.kel", {{0, 3}, {1, 4}}),
        Line("beyond.kel", 80.0),  // pH 7 is never reached: no point, and no failure
        good,
    };
    Words words = {"process", "--table", "--strength", "0", "--interpolation", "linear"};
    words.insert(words.end(), files.begin(), files.end());
    words.insert(words.end(), {"--criterion", "end-value"});
    const ToolOutcome o = Run(words);
    EXPECT_EQ(o.status, 74);  // the highest: a file could not be read
    EXPECT_THAT(Lines(o.out),
                ElementsAre("file\tpoint\tvolume\tvalue\tderivative\tquantity\tmessage",
                            good + "\t1\t20.\t7.\t1.\tpH\t",
                            Path("damaged.kel") + "\t\t\t\t\t\tUnexpected file format.",
                            Path("missing.kel") + "\t\t\t\t\t\tNo such file or directory",
                            files[3] + "\t\t\t\t\tpH\tНедостаточно данных для расчёта",
                            files[4] + "\t\t\t\t\tpH\tno equivalence point",
                            good + "\t1\t20.\t7.\t1.\tpH\t", ""));
    EXPECT_THAT(o.err, HasSubstr("damaged.kel: Unexpected file format."));
    EXPECT_THAT(o.err, HasSubstr("missing.kel: No such file or directory"));
    EXPECT_THAT(o.err, HasSubstr("two.kel: Недостаточно данных для расчёта"));

    // Without the unreadable file the status is that of the damaged one; the
    // JSON says each file's status and reason. A flat curve has no extremum.
    const std::string flat = RecordFile("flat.kel", {{0, 5}, {1, 5}, {2, 5}, {3, 5}});
    const ToolOutcome json = Run({"process", "--json", files[3], flat, "--criterion", "extremum",
                                  "--strength", "1", Path("damaged.kel")});
    EXPECT_EQ(json.status, 65);
    EXPECT_EQ(json.out,
              "[\n{\"file\":\"" + files[3] +
                  "\",\"status\":2,\"message\":\"Недостаточно данных для расчёта\",\"quantity\":1,"
                  "\"equivalencePoints\":[]},\n{\"file\":\"" +
                  flat +
                  "\",\"status\":1,\"message\":\"Точка не обнаружена\",\"quantity\":1,"
                  "\"equivalencePoints\":[]},\n{\"file\":\"" +
                  Path("damaged.kel") +
                  "\",\"status\":65,\"message\":\"Unexpected file format.\","
                  "\"equivalencePoints\":[]}\n]\n");
}

TEST_F(Batch, ReadsFileNamesFromStandardInput) {
    const std::string a = Line("a.kel", 12.5);
    const std::string b = Line("b.kel", 17.25);
    const std::string c = Line("c.kel", 30.0);
    const std::string longName(5000, 'x');
    const std::string input = a + "\r\n\n" + b + "\n" + longName + "\n" + c;  // no end at the end
    Words words = {"process", "-", a};
    words.insert(words.end(), kLineOptions.begin(), kLineOptions.end());
    const ToolOutcome o = Run(words, input);
    EXPECT_EQ(o.status, 74);
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 7u) << o.out;
    EXPECT_THAT(lines[1], StartsWith(a + "\t1\t12.5\t"));
    EXPECT_THAT(lines[2], StartsWith(b + "\t1\t17.25\t"));
    EXPECT_EQ(lines[3], std::string(4096, 'x') + "\t\t\t\t\t\ta file name longer than 4096 bytes");
    EXPECT_THAT(lines[4], StartsWith(c + "\t1\t30.\t"));
    EXPECT_THAT(lines[5], StartsWith(a + "\t1\t12.5\t"));  // the named file after the list

    // --table with one file is the table; names that break a table do not, and
    // CSV has the point also for a file that keeps the comma (maleic acid).
    const std::string odd = Line("tab\tand,\"quote\".kel", 20.0);
    Words table = {"process", odd, "--table", "--comma"};
    table.insert(table.end(), kLineOptions.begin(), kLineOptions.end());
    EXPECT_THAT(Lines(Run(table).out)[1], StartsWith(Path("tab?and,\"quote\".kel") + "\t1\t20,\t"));
    Words csv = {"process", "--csv", odd, Example("maleic-naoh.kel")};
    csv.insert(csv.end(), kLineOptions.begin(), kLineOptions.end());
    const ToolOutcome asCsv = Run(csv);
    ASSERT_EQ(asCsv.status, 0) << asCsv.err;
    EXPECT_THAT(
        Lines(asCsv.out),
        ElementsAre("file,point,volume,value,derivative,quantity,message",
                    "\"" + Path("tab\tand,\"\"quote\"\".kel") + "\",1,20.,7.,1.,pH,",
                    MatchesRegex(".*maleic-naoh\\.kel,1,1[0-9]\\.[0-9]*,7\\.,[0-9.]*,pH,"), ""));
}

TEST_F(Batch, ReplicateStatisticsMatchHandComputedValues) {
    // Three titrations: 20.00, 20.02 and 20.07 mL. Mean 20.03, squares of the
    // deviations 0.0026, s = sqrt(0.0013) = 0.03606, RSD 0.180 %, half-width
    // t(0.975, 2) s / sqrt 3 = 4.3027 * 0.020817 = 0.08957.
    const Words three = {Line("r1.kel", 20.00), Line("r2.kel", 20.02), Line("r3.kel", 20.07)};
    const ToolOutcome o = Replicates(three);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_THAT(Lines(o.out),
                ElementsAre("point\tn\tmean\tsd\trsd %\tci 95 %\t" + three[0] + '\t' + three[1] +
                                '\t' + three[2],
                            "1\t3\t20.030\t0.0361\t0.18\t0.0896\t20.000\t20.020\t20.070", ""));

    // Two: 20.00 and 20.10 mL; s = 0.07071, t(0.975, 1) = 12.706, half-width 0.6353.
    const ToolOutcome two = Replicates({three[0], Line("r4.kel", 20.10)}, {"--comma"});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(Lines(two.out)[1], "1\t2\t20,050\t0,0707\t0,35\t0,6353\t20,000\t20,100");

    const ToolOutcome json = Replicates({three[0], Line("r4.kel", 20.10)}, {"--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, StartsWith("{\"matchedBy\":\"order\",\"equalPointCounts\":true,"));
    EXPECT_THAT(json.out, HasSubstr("\"points\":[{\"point\":1,\"n\":2,\"mean\":20.05"));
    EXPECT_THAT(json.out, HasSubstr("\"studentT\":12.70620473617"));
    EXPECT_THAT(json.out, HasSubstr("\"confidenceHalfWidth95\":0.63531"));
}

TEST_F(Batch, ReplicatesWithDifferentNumbersOfPointsAreMatchedByOrderAndSaySo) {
    // Up, down and up again through pH 7: at 5, 15 and 25 mL.
    const std::string zigzag = RecordFile("zigzag.kel", {{0, 0}, {10, 14}, {20, 0}, {30, 14}});
    const std::string one = Line("one.kel", 6.0);
    WriteBytes(dir / "damaged.kel", "not a result file");
    const std::string none = Line("none.kel", 90.0);
    const ToolOutcome o = Replicates({one, zigzag, Path("damaged.kel"), none});
    EXPECT_EQ(o.status, 65);
    const std::string empty = "\t";  // the damaged file and the one without points
    EXPECT_THAT(
        Lines(o.out),
        ElementsAre(StartsWith("point\tn\tmean\tsd\trsd %\tci 95 %\t" + one),
                    "1\t2\t5.500\t0.7071\t12.86\t6.3531\t6.000\t5.000" + empty + empty,
                    "2\t1\t15.000\t\t\t\t\t15.000" + empty + empty,
                    "3\t1\t25.000\t\t\t\t\t25.000" + empty + empty, "",
                    Path("damaged.kel") + ": left out: Unexpected file format.",
                    none + ": no equivalence point",
                    "The files found different numbers of equivalence points (" + one + " 1, " +
                        zigzag + " 3, " + none +
                        " 0). Points are matched by their order in each file, so a row with "
                        "fewer files may pair different jumps.",
                    ""));
    EXPECT_THAT(o.err, HasSubstr("damaged.kel: Unexpected file format."));

    const ToolOutcome json = Replicates({one, zigzag, Path("damaged.kel")}, {"--json"});
    EXPECT_EQ(json.status, 65);
    EXPECT_THAT(json.out, StartsWith("{\"matchedBy\":\"order\",\"equalPointCounts\":false,"));
    EXPECT_THAT(json.out, HasSubstr("{\"file\":\"" + Path("damaged.kel") +
                                    "\",\"status\":65,\"message\":\"Unexpected file format.\","
                                    "\"pointCount\":0}"));
    EXPECT_THAT(json.out, HasSubstr("{\"point\":2,\"n\":1,\"mean\":15,\"standardDeviation\":null,"
                                    "\"rsdPercent\":null,\"confidenceHalfWidth95\":null,"
                                    "\"studentT\":null,\"volumes\":[null,15,null]}"));
}

TEST_F(Batch, TheExampleReplicateSeriesGivesTheAliquotsDelivered) {
    // 19.98, 20.00 and 20.03 mL of 0.1 M HCl with 0.1 M NaOH, on the finest
    // grid; the row the README shows.
    const Words series = {Example("series-hcl-1.kel"), Example("series-hcl-2.kel"),
                          Example("series-hcl-3.kel")};
    Words words = {"replicates", "--grid", "500"};
    words.insert(words.end(), series.begin(), series.end());
    const ToolOutcome o = Run(words);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Lines(o.out).at(1), "1\t3\t20.003\t0.0243\t0.12\t0.0603\t19.980\t20.000\t20.028");
}

TEST_F(Batch, JsonStaysValidForAFileNameThatIsNotUtf8) {
    const ToolOutcome o =
        Run({"process", "--json", Path("bad\xFF\xC3(.kel"), Path("ok\xC3\xA9.kel")});
    EXPECT_EQ(o.status, 74);
    EXPECT_THAT(o.out, HasSubstr("bad\xEF\xBF\xBD\xEF\xBF\xBD(.kel\",\"status\":74,"));
    EXPECT_THAT(o.out, HasSubstr("ok\xC3\xA9.kel\",\"status\":74,"));  // é stays é
}

TEST_F(Batch, RefusesBadArgumentsWithTheUsageStatus) {
    const std::string a = Example("hcl-naoh.kel");
    const std::string b = Example("maleic-naoh.kel");
    for (const Words& words : {
             Words{"process", a, b, "--table", "--csv"},
             Words{"process", a, b, "--json", "--table"},
             Words{"process", a, b, "--csv", "--comma"},
             Words{"process", a, b, "-o", Path("out.kel")},
             Words{"process", "-", "-"},
             Words{"process", a, b, "--grid", "1000"},
             Words{"process", a, b, "--tabel"},
             Words{"process", "-"},  // standard input names no file
             Words{"replicates"},
             Words{"replicates", a},
             Words{"replicates", "-", a},  // one from standard input is still one
             Words{"replicates", a, b, "--strength", "x"},
             Words{"replicates", a, b, "--table"},
             Words{"replicates", "-", "-"},
         }) {
        const ToolOutcome o = Run(words, "\n");
        EXPECT_EQ(o.status, 64) << words.back();
        EXPECT_EQ(o.out, "") << words.back();
        EXPECT_THAT(o.err, StartsWith("kelmtool: ")) << words.back();
    }
    EXPECT_THAT(Run({"replicates", a}).err,
                HasSubstr("replicates compares two or more result files; 1 given"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kel"));
}

}  // namespace
}  // namespace kelm
