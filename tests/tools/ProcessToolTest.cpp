// kelmtool process and report, run as the built program on the example
// titrations and on result files written into a test folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ToolFolder.h"
#include "core/NumberText.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::Example;
using test::ReadBytes;
using test::TempDir;
using test::ToolOutcome;
using test::WriteBytes;
using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Words = std::vector<std::string>;

// The volumes of a report's lines after its header, with either separator.
std::vector<double> ReportedVolumes(const std::string& report) {
    std::vector<double> volumes;
    for (std::size_t end = report.find("\r\n"); end != std::string::npos;) {
        const std::size_t start = end + 2;
        end = report.find("\r\n", start);
        if (end == std::string::npos) {
            break;
        }
        std::string volume = report.substr(start, report.find('\t', start) - start);
        std::replace(volume.begin(), volume.end(), ',', '.');
        volumes.push_back(ParseLeadingNumber(volume));
    }
    return volumes;
}

using ProcessTool = test::ToolFolder;

// A chemist reads the equivalence volume at the steepest point of the jump:
// 20.00 mL for 20.00 mL of 0.1 M HCl or Fe(II) with 0.1 M titrant, 10.00 and
// 20.00 mL for the two protons of 0.05 M maleic acid. Every interpolation and
// filter lands within 0.03 mL, a fifth of the grid step across the jump.
TEST_F(ProcessTool, FindsTheEquivalenceVolumesOfTheExampleTitrations) {
    for (const char* interpolation : {"cubic", "linear"}) {
        for (const char* filter : {"polynomial", "moving-average"}) {
            const Words options = {"--criterion", "extremum", "--interpolation",
                                   interpolation, "--filter", filter};
            auto run = [&](const char* file) {
                Words words = {"process", Example(file)};
                words.insert(words.end(), options.begin(), options.end());
                const ToolOutcome o = Run(words);
                EXPECT_EQ(o.status, 0) << o.err;
                return o;
            };
            const ToolOutcome acid = run("hcl-naoh.kel");
            EXPECT_THAT(acid.out, StartsWith("Объём\tpH\r\n"));
            EXPECT_THAT(ReportedVolumes(acid.out), ElementsAre(DoubleNear(20.0, 0.03)));

            const ToolOutcome redox = run("fe-ce-redox.kel");
            EXPECT_THAT(redox.out, StartsWith("Объём\tЭДС\r\n"));
            EXPECT_THAT(ReportedVolumes(redox.out), ElementsAre(DoubleNear(20.0, 0.03)));

            const ToolOutcome maleic = run("maleic-naoh.kel");
            EXPECT_THAT(ReportedVolumes(maleic.out),
                        ElementsAre(DoubleNear(10.0, 0.03), DoubleNear(20.0, 0.03)));
        }
    }
}

TEST_F(ProcessTool, TheEndValueCriterionFindsTheEquivalencePotentialsAndPH) {
    // Strong acid and strong base: pH 7. Fe(II) with Ce(IV): the mean of the
    // formal potentials, 1.06 V, which is 863 mV against Ag/AgCl.
    const ToolOutcome acid = Run({"process", Example("hcl-naoh.kel"), "--criterion", "end-value",
                                  "--end-value", "7", "--point"});
    ASSERT_EQ(acid.status, 0) << acid.err;
    EXPECT_THAT(ReportedVolumes(acid.out), ElementsAre(DoubleNear(20.0, 0.03)));
    EXPECT_THAT(acid.out, EndsWith("\t7.\r\n"));  // the value is the end value itself

    const ToolOutcome redox =
        Run({"process", Example("fe-ce-redox.kel"), "--criterion", "end-value", "--end-value=863"});
    ASSERT_EQ(redox.status, 0) << redox.err;
    EXPECT_THAT(ReportedVolumes(redox.out), ElementsAre(DoubleNear(20.0, 0.03)));
    EXPECT_THAT(redox.out, EndsWith("\t863,\r\n"));  // the file's own decimal comma
}

TEST_F(ProcessTool, PrintsEveryArrayAsJsonForEveryOutcome) {
    const ToolOutcome o = Run({"process", Example("hcl-naoh.kel"), "--grid", "40", "--json"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_THAT(o.out,
                StartsWith("{\"result\":0,\"interpolationPointCount\":40,\"gridVolume\":[0,"));
    for (const char* name : {"gridVolume", "interpolatedValue", "smoothedValue", "firstDerivative",
                             "secondDerivative"}) {
        const std::size_t start = o.out.find("\"" + std::string(name) + "\":[");
        ASSERT_NE(start, std::string::npos) << name;
        const std::string array = o.out.substr(start, o.out.find(']', start) - start);
        EXPECT_EQ(std::count(array.begin(), array.end(), ','), 39) << name;
    }
    EXPECT_THAT(o.out, HasSubstr("\"equivalencePoints\":[{\"volume\":19.99"));
    EXPECT_THAT(o.out, EndsWith("]}\n"));

    const std::string flat = RecordFile("flat.kel", {{0, 5}, {1, 5}, {2, 5}, {3, 5}});
    const ToolOutcome none =
        Run({"process", flat, "--strength", "0", "--criterion", "extremum", "--json"});
    EXPECT_EQ(none.status, 1);
    EXPECT_THAT(none.out, StartsWith("{\"result\":1,\"interpolationPointCount\":20,"));
    EXPECT_THAT(none.out, EndsWith("\"equivalencePoints\":[]}\n"));
    EXPECT_THAT(none.err, HasSubstr("Точка не обнаружена"));

    const std::string two = RecordFile("two.kel", {{0, 3}, {1, 4}});
    const ToolOutcome few = Run({"process", two, "--json"});
    EXPECT_EQ(few.status, 2);
    EXPECT_THAT(few.out, StartsWith("{\"result\":2,\"interpolationPointCount\":0,"));
}

TEST_F(ProcessTool, ReportsTheFailedOutcomesOnStderrAndWritesNoFile) {
    const std::string two = RecordFile("two.kel", {{0, 3}, {1, 4}});
    const ToolOutcome few = Run({"process", two, "-o", Path("out.kel")});
    EXPECT_EQ(few.status, 2);
    EXPECT_EQ(few.out, "");
    EXPECT_THAT(few.err, HasSubstr("Недостаточно данных для расчёта"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kel"));

    // No titrant added at all: as little data as too few points.
    const std::string noVolume = RecordFile("zero.kel", {{0, 3}, {0, 4}, {0, 5}});
    EXPECT_EQ(Run({"process", noVolume}).status, 2);

    const std::string flat = RecordFile("flat.kel", {{0, 5}, {1, 5}, {2, 5}, {3, 5}});
    const ToolOutcome none =
        Run({"process", flat, "--criterion", "extremum", "--strength", "1", "-o", Path("o.kel")});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_THAT(none.err, HasSubstr("Точка не обнаружена"));
    EXPECT_FALSE(std::filesystem::exists(dir / "o.kel"));
}

TEST_F(ProcessTool, SavesTheProcessedRecordWithTheOverriddenSettings) {
    const Words common = {"--criterion", "end-value", "--interpolation", "linear",     "--grid",
                          "300",         "--filter",  "moving-average",  "--strength", "7",
                          "--point",     "-o",        Path("out.kel")};
    for (const Words& endValue : {Words{"--end-value=-50.5"}, Words{"--end-value", "-50.5"}}) {
        Words words = {"process", Example("fe-ce-redox.kel")};
        words.insert(words.end(), endValue.begin(), endValue.end());
        words.insert(words.end(), common.begin(), common.end());
        const ToolOutcome o = Run(words);
        ASSERT_EQ(o.status, 0) << o.err;
        auto saved = Load("out.kel");
        const ProcessingSettings& p = saved->processing;
        EXPECT_EQ(std::tuple(p.criterion, p.endValueEmf, p.endValuePh, p.interpolationKind,
                             p.autoPointCount, p.interpolationPointCount, p.filterKind,
                             p.filterStrength, saved->display.decimalComma),
                  std::tuple(EndPointCriterion::GivenValue, -50.5, 7.0, InterpolationKind::Linear,
                             0, 300, FilterKind::MovingAverage, 7, 0));
        std::filesystem::remove(dir / "out.kel");
    }

    // The equivalence points go into the readable part, with the chosen separator.
    ASSERT_EQ(Run({"process", Example("hcl-naoh.kel"), "--comma", "-o", Path("acid.kel")}).status,
              0);
    EXPECT_EQ(Load("acid.kel")->display.decimalComma, 1);
    EXPECT_THAT(ReadBytes(dir / "acid.kel"), HasSubstr("20,022"));
}

TEST_F(ProcessTool, RejectsBadOptionsAndFiles) {
    const std::string file = Example("hcl-naoh.kel");
    for (const Words& words : {
             Words{"process", file, "--criterion", "steepest"},
             Words{"process", file, "--end-value", "seven"},
             Words{"process", file, "--end-value", "7x"},
             Words{"process", file, "--end-value=nan"},
             Words{"process", file, "--grid", "501"},
             Words{"process", file, "--grid", "-1"},
             Words{"process", file, "--strength", "16"},
             Words{"process", file, "--filter", "median"},
             Words{"process", file, "--interpolation", "spline"},
             Words{"process", file, "--comma", "--point"},
             Words{"process", file, "--bogus"},
             Words{"process", file, "--end-value"},
             Words{"process"},
             Words{"report", file},
             Words{"report", file, "--curve-points", "--comma", "--point"},
         }) {
        const ToolOutcome o = Run(words);
        EXPECT_EQ(o.status, 64) << words.back();
        EXPECT_EQ(o.out, "") << words.back();
    }
    EXPECT_EQ(Run({"process", Path("missing.kel")}).status, 74);
    WriteBytes(dir / "damaged.kel", std::string("readable text\x1D"
                                                "00",
                                                16));
    EXPECT_EQ(Run({"process", Path("damaged.kel")}).status, 65);
    EXPECT_EQ(Run({"report", Path("damaged.kel"), "--curve-points"}).status, 65);
}

TEST_F(ProcessTool, ReportListsTheMeasuredPointsWithEitherSeparator) {
    const std::string file =
        RecordFile("emf.kel", {{0, -120.456}, {0.5, 20}, {1.25, 300.004}}, MeasuredQuantity::Emf);
    const ToolOutcome point = Run({"report", file, "--curve-points"});
    ASSERT_EQ(point.status, 0) << point.err;
    EXPECT_EQ(point.out, "Объём\tЭДС\r\n0.\t-120.46\r\n0.5\t20.\r\n1.25\t300.\r\n");
    const ToolOutcome comma = Run({"report", file, "--curve-points", "--comma"});
    EXPECT_EQ(comma.out, "Объём\tЭДС\r\n0,\t-120,46\r\n0,5\t20,\r\n1,25\t300,\r\n");
}

}  // namespace
}  // namespace kelm
