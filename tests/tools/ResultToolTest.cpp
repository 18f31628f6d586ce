// kelmtool result, titer, replicates --result, titrants and history, run as
// the built program on result files whose equivalence volume is exact.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "ToolFolder.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::ToolOutcome;
using test::WriteBytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using Words = std::vector<std::string>;

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

// A straight line of slope 1 crosses the end value 7 exactly at its volume.
const Words kLine = {"--criterion", "end-value", "--end-value",     "7",
                     "--strength",  "0",         "--interpolation", "linear"};

class ResultTool : public test::ToolFolder {
protected:
    void SetUp() override {
        // The tool's database stays in the test folder.
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    // pH = volume + 7 - at, from 0 to 40 mL: one equivalence point at `at`.
    std::string Line(std::string_view name, double at) {
        std::vector<CurvePoint> points;
        for (int i = 0; i <= 16; ++i) {
            points.push_back({2.5 * i, 2.5 * i + 7.0 - at});
        }
        return RecordFile(name, points);
    }
    ToolOutcome Tool(Words words, const Words& more) {
        words.insert(words.end(), kLine.begin(), kLine.end());
        words.insert(words.end(), more.begin(), more.end());
        return Run(words);
    }
};

TEST_F(ResultTool, EachUnitComesOutAsComputedByHand) {
    // 20.00 mL at the point, 0.1 M titrant of titer 0.98, blank 0.5 mL, so
    // n = 0.1 * 0.98 * 19.5 = 1.911 mmol (nu 1) in the sample.
    const std::string file = Line("a.kel", 20.0);
    const Words common = {"--titrant-concentration", "0.1", "--titer", "0.98", "--blank", "0.5"};
    const struct {
        Words options;
        const char* result;
        const char* unit;
    } table[] = {
        {{"--sample", "25"}, "0.076440", "mol/L"},
        {{"--sample", "25", "--unit", "mmol/L"}, "76.440", "mmol/L"},
        {{"--sample", "25", "--unit", "g/L", "--molar-mass", "36.46"}, "2.7870", "g/L"},
        {{"--sample", "25", "--unit", "mg/L", "--molar-mass", "36.46"}, "2787.0", "mg/L"},
        {{"--sample", "0.5", "--sample-unit", "g", "--unit", "%", "--molar-mass", "40", "--ratio",
          "0.5"},
         "7.6440",
         "%"},
        {{"--sample", "0.5", "--sample-unit", "g", "--unit", "mg/g", "--molar-mass", "40"},
         "152.88",
         "mg/g"},
        {{"--sample", "0.5", "--sample-unit", "g", "--unit", "mmol/g"}, "3.8220", "mmol/g"},
    };
    for (const auto& row : table) {
        Words words = {"result", file};
        words.insert(words.end(), common.begin(), common.end());
        const ToolOutcome o = Tool(words, row.options);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_THAT(Lines(o.out),
                    ElementsAre("file\tpoint\tvolume\tresult\tunit\tsample\tmessage",
                                file + "\t1\t20.000\t" + row.result + '\t' + row.unit + "\t\t", ""))
            << row.unit;
    }
}

TEST_F(ResultTool, RefusedCombinationsAndBadValuesAreBadArguments) {
    const std::string file = Line("a.kel", 20.0);
    const struct {
        Words options;
        const char* message;
    } table[] = {
        {{"--sample", "25", "--titrant-concentration", "0.1", "--unit", "g/L"}, "molar mass"},
        {{"--sample", "2", "--sample-unit", "g", "--titrant-concentration", "0.1"}, "in mL"},
        {{"--sample", "25", "--titrant-concentration", "0.1", "--unit", "%", "--molar-mass", "40"},
         "in g"},
        {{"--sample", "0", "--titrant-concentration", "0.1"}, "sample amount"},
        {{"--sample", "-3", "--titrant-concentration", "0.1"}, "sample amount"},
        {{"--sample", "25"}, "concentration"},  // the file has none
        {{"--sample", "25", "--titrant-concentration", "0.1", "--titer", "0"}, "titer"},
        {{"--sample", "25", "--titrant-concentration", "0,1"}, "decimal point"},
        {{"--sample", "abc"}, "decimal point"},
        {{"--unit", "kg"}, "--unit takes mol/L|mmol/L|g/L|mg/L|%|mg/g|mmol/g"},
        {{"--sample-unit", "ml"}, "mL or g"},
        {{"--point", "0"}, "--point"},
        {{"--csv", "--comma"}, "--csv"},
        {{"--json", "--table"}, "exclude"},
        {{"-o", "x.kel", "--sample", "1", "--titrant-concentration", "0.1", file}, "one file"},
    };
    for (const auto& row : table) {
        const ToolOutcome o = Tool({"result", file}, row.options);
        EXPECT_EQ(o.status, 64) << row.message << "\n" << o.err;
        EXPECT_THAT(o.err, HasSubstr(row.message));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x.kel"));
}

TEST_F(ResultTool, APointThatGivesNoResultAndBadFilesGetTheirOwnLines) {
    const std::string small = Line("small.kel", 5.0);
    const std::string good = Line("good.kel", 20.0);
    WriteBytes(dir / "damaged.kel", "no record here");
    const ToolOutcome o =
        Tool({"result", small, good, Path("damaged.kel"), Path("missing.kel"), "--json"},
             {"--sample", "20", "--titrant-concentration", "0.1", "--blank", "5.5"});
    EXPECT_EQ(o.status, 74) << o.err;
    EXPECT_THAT(o.out, StartsWith("[\n{\"file\":\"" + small +
                                  "\",\"point\":1,\"volume\":5,"
                                  "\"result\":null,\"unit\":\"mol/L\",\"sample\":\"\","
                                  "\"status\":65,\"message\":\"the blank is larger than the "
                                  "equivalence volume\"},\n"));
    EXPECT_THAT(o.out, HasSubstr("{\"file\":\"" + good +
                                 "\",\"point\":1,\"volume\":20,\"result\":0.07250000000000001,"
                                 "\"unit\":\"mol/L\",\"sample\":\"\",\"status\":0,"
                                 "\"message\":\"\"}"));
    EXPECT_THAT(o.out, HasSubstr("damaged.kel\",\"point\":null,\"volume\":null,\"result\":null"));
    EXPECT_THAT(o.out, HasSubstr("\"status\":65,\"message\":\"Unexpected file format.\"}"));
    EXPECT_THAT(o.out, HasSubstr("missing.kel\",\"point\":null"));
    EXPECT_THAT(o.err, HasSubstr("small.kel point 1: the blank is larger"));
    EXPECT_THAT(o.out, Not(HasSubstr("nan")));

    const ToolOutcome damagedAlone = Tool({"result", Path("damaged.kel")}, {});
    EXPECT_EQ(damagedAlone.status, 65);

    // A point the file lacks is refused as titer refuses it.
    const ToolOutcome second = Tool({"result", good, "--point", "2"},
                                    {"--sample", "20", "--titrant-concentration", "0.1"});
    EXPECT_EQ(second.status, 65);
    EXPECT_THAT(second.err, HasSubstr("good.kel: no equivalence point 2"));
}

TEST_F(ResultTool, TheTiterOfAStandardAndItsUseInTheNextResult) {
    // 0.4084 g of potassium hydrogen phthalate (204.22 g/mol, 99.95 %) take
    // 20.10 mL of 0.1 M NaOH, blank 0.02: t = 1.998804 / 2.008 = 0.99542.
    const std::string standard = Line("khp.kel", 20.10);
    const Words base = {
        "titer", standard, "--titrant-concentration", "0.1", "--standard-molar-mass", "204.22"};
    const Words standardData = {"--standard-mass", "0.4084",  "--purity",
                                "99.95",           "--blank", "0.02"};
    Words titer = base;
    titer.insert(titer.end(), standardData.begin(), standardData.end());
    const ToolOutcome text = Tool(titer, {});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_THAT(Lines(text.out), ElementsAre("point\tvolume\ttiter", "1\t20.100\t0.99542", ""));
    const ToolOutcome json = Tool(titer, {"--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, HasSubstr("\"volume\":20.1,\"titer\":0.99542043363"));

    // 20.00 mL of HCl take 19.95 mL: 0.1 * 0.99542 * 19.93 / 20 = 0.099194.
    const ToolOutcome hcl = Tool({"result", Line("hcl.kel", 19.95)},
                                 {"--sample", "20", "--titrant-concentration", "0.1", "--titer",
                                  "0.9954204336", "--blank", "0.02", "--json"});
    ASSERT_EQ(hcl.status, 0) << hcl.err;
    EXPECT_THAT(hcl.out, HasSubstr("\"result\":0.09919364"));

    const struct {
        Words change;
        int status;
        const char* message;
    } refusals[] = {
        {{"--standard-mass", "0.4", "--purity", "120"}, 64, "purity"},
        {{"--standard-mass", "0"}, 64, "standard's mass"},
        {{"--standard-mass", "0.4", "--blank", "20.1"}, 65, "not smaller"},
        {{"--standard-mass", "0.4", "--point", "2"}, 65, "no equivalence point 2"},
        {{"--standard-mass", "0.4", "--ratio", "-1"}, 64, "standard's ratio"},
    };
    for (const auto& row : refusals) {
        const ToolOutcome o = Tool(base, row.change);
        EXPECT_EQ(o.status, row.status) << row.message << "\n" << o.err;
        EXPECT_THAT(o.err, HasSubstr(row.message));
    }
    // Two points want a choice.
    const std::string zigzag = RecordFile("zigzag.kel", {{0, 0}, {10, 14}, {20, 0}, {30, 14}});
    const ToolOutcome two = Tool({"titer", zigzag, "--titrant-concentration", "0.1",
                                  "--standard-mass", "0.2", "--standard-molar-mass", "204.22"},
                                 {});
    EXPECT_EQ(two.status, 64);
    EXPECT_THAT(two.err, HasSubstr("choose one with --point K"));
}

TEST_F(ResultTool, TheLibraryKeepsEveryTiterAndTheHistoryEverySavedResult) {
    ASSERT_EQ(Run({"titrants", "add", "NaOH 0.1 M", "--concentration", "0.1"}).status, 0);
    const std::string standard = Line("khp.kel", 20.10);
    const ToolOutcome update =
        Tool({"titer", standard, "--titrant-concentration", "0.1", "--standard-mass", "0.4084",
              "--standard-molar-mass", "204.22", "--update", "NaOH 0.1 M"},
             {});
    ASSERT_EQ(update.status, 0) << update.err;
    const ToolOutcome list = Run({"titrants"});
    ASSERT_EQ(list.status, 0) << list.err;
    const std::vector<std::string> lines = Lines(list.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "name\tconcentration\ttiter\tdate\tfile");
    EXPECT_THAT(lines[1], StartsWith("NaOH 0.1 M\t0.10000\t0.99493\t"));
    EXPECT_THAT(lines[1], HasSubstr(standard));
    const ToolOutcome titers = Run({"titrants", "history", "NaOH 0.1 M", "--csv"});
    ASSERT_EQ(titers.status, 0) << titers.err;
    EXPECT_EQ(Lines(titers.out).size(), 4u);  // header, 1 at creation, the determined one
    EXPECT_THAT(titers.out, HasSubstr(",1.0000,\r\n"));

    const ToolOutcome saved =
        Tool({"result", Line("hcl.kel", 19.95), "-o", Path("out.kel")},
             {"--sample", "20", "--titrant-concentration", "0.1", "--titer", "0.99493"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "out.kel"));
    const ToolOutcome history = Run({"history"});
    ASSERT_EQ(history.status, 0) << history.err;
    ASSERT_EQ(Lines(history.out).size(), 3u);
    EXPECT_THAT(Lines(history.out)[1],
                HasSubstr(Path("out.kel") + "\t\t1\t19.950\t0.099244\t"
                                            "mol/L\t\t0.99493\tcriterion=end-value"));
    // The same file saved again under another spelling of its path, unchanged: one entry.
    ASSERT_EQ(Tool({"result", Line("hcl.kel", 19.95), "-o", (dir / "." / "out.kel").string()},
                   {"--sample", "20", "--titrant-concentration", "0.1", "--titer", "0.99493"})
                  .status,
              0);
    EXPECT_EQ(Lines(Run({"history"}).out).size(), 3u);
    // Nothing to save is a failure, and nothing is written.
    const ToolOutcome none = Tool({"result", Line("flat.kel", 99.0), "-o", Path("none.kel")},
                                  {"--sample", "20", "--titrant-concentration", "0.1"});
    EXPECT_EQ(none.status, 1) << none.err;
    EXPECT_THAT(none.err, HasSubstr("not written"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.kel"));

    const struct {
        Words words;
        int status;
        const char* message;
    } refusals[] = {
        {{"titrants", "add", "NaOH 0.1 M", "--concentration", "0.2"}, 64, "exists"},
        {{"titrants", "titer", "KOH", "1.01"}, 64, "no titrant"},
        {{"titrants", "history", "KOH"}, 64, "no titrant"},
        {{"titrants", "add", "KOH"}, 64, "--concentration"},
        {{"titrants", "add", "KOH", "--concentration", "0,1"}, 64, "--concentration"},
        {{"titrants", "titer", "NaOH 0.1 M", "0"}, 64, "above 0"},
        {{"titrants", "remove", "x"}, 64, "add, titer and history"},
        {{"history", "x.kel"}, 64, "no file"},
        // Names a result file could not keep would never be found from it.
        {{"titrants", "add", "NaOH α", "--concentration", "0.1"}, 64, "code page 1251 lacks \"α\""},
        {{"titrants", "add", std::string(101, 'N'), "--concentration", "0.1"}, 64, "longer than"},
        {{"titrants", "add", " ", "--concentration", "0.1"}, 64, "needs a name"},
        // Options of another verb are not ignored without a word.
        {{"titrants", "titer", "NaOH 0.1 M", "1.01", "--concentration", "0.1"}, 64, "belongs"},
        {{"titrants", "add", "KOH", "--concentration", "0.1", "--file", "k.kel"}, 64, "belongs"},
        {{"titrants", "add", "KOH", "--concentration", "0.1", "--csv"}, 64, "belongs"},
    };
    for (const auto& row : refusals) {
        const ToolOutcome o = Run(row.words);
        EXPECT_EQ(o.status, row.status) << row.message << "\n" << o.err;
        EXPECT_THAT(o.err, HasSubstr(row.message));
    }
}

TEST_F(ResultTool, ADatabaseThatCannotBeOpenedNeverStopsTheFigures) {
    // The data folder is a file: no database can be made under it.
    WriteBytes(dir / "data", "not a folder");
    const std::string file = Line("a.kel", 20.0);
    const ToolOutcome saved = Tool({"result", file, "-o", Path("out.kel")},
                                   {"--sample", "20", "--titrant-concentration", "0.1"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_THAT(saved.out, HasSubstr("\t0.10000\tmol/L"));
    EXPECT_TRUE(std::filesystem::exists(dir / "out.kel"));
    EXPECT_THAT(saved.err, HasSubstr("not entered in the history"));

    const ToolOutcome titer =
        Tool({"titer", file, "--titrant-concentration", "0.1", "--standard-mass", "0.4084",
              "--standard-molar-mass", "204.22", "--update", "NaOH"},
             {});
    EXPECT_EQ(titer.status, 74);
    EXPECT_THAT(titer.out, HasSubstr("1\t20.000\t0.99990"));
    EXPECT_THAT(titer.err, HasSubstr("not entered in the titrant library"));

    EXPECT_EQ(Run({"titrants"}).status, 74);
    // A damaged database is reported and left as it is.
    ::setenv("XDG_DATA_HOME", (dir / "other").c_str(), 1);
    std::filesystem::create_directories(dir / "other" / "kelm");
    WriteBytes(dir / "other" / "kelm" / "kelm.db", "damaged");
    const ToolOutcome damaged = Run({"history"});
    EXPECT_EQ(damaged.status, 74);
    EXPECT_THAT(damaged.err, HasSubstr("is damaged"));
    EXPECT_EQ(test::ReadBytes(dir / "other" / "kelm" / "kelm.db"), "damaged");
}

TEST_F(ResultTool, ReplicateResultsComeFromEachFilesOwnVolume) {
    // 20.00, 20.02 and 20.07 mL of 0.1 M for 20 mL: 0.1000, 0.1001, 0.10035 mol/L.
    const Words files = {Line("r1.kel", 20.00), Line("r2.kel", 20.02), Line("r3.kel", 20.07)};
    Words words = {"replicates", "--result", files[0], files[1], files[2]};
    const ToolOutcome o = Tool(words, {"--sample", "20", "--titrant-concentration", "0.1"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_THAT(Lines(o.out),
                ElementsAre("point\tn\tunit\tmean\tsd\trsd %\tci 95 %\t" + files[0] + '\t' +
                                files[1] + '\t' + files[2],
                            "1\t3\tmol/L\t0.10015\t0.000180\t0.18\t0.000448\t0.10000\t0.10010"
                            "\t0.10035",
                            ""));
    words.push_back("--json");
    const ToolOutcome json = Tool(words, {"--sample", "20", "--titrant-concentration", "0.1"});
    EXPECT_THAT(json.out, HasSubstr("\"results\":[0.1,0.1001"));
    EXPECT_THAT(json.out, HasSubstr("\"unit\":\"mol/L\""));
    const ToolOutcome plain = Tool({"replicates", files[0], files[1]}, {"--sample", "20"});
    EXPECT_EQ(plain.status, 64);
    EXPECT_THAT(plain.err, HasSubstr("go with --result"));
}

TEST_F(ResultTool, EachFileGivesItsResultFromItsOwnStoredData) {
    // The worked example: 10, 15 and 20 mL aliquots, each file with its amount.
    const Words samples = {test::Example("hcl-sample-1.kel"), test::Example("hcl-sample-2.kel"),
                           test::Example("hcl-sample-3.kel")};
    const ToolOutcome json =
        Run({"result", samples[0], samples[1], samples[2], "--grid", "500", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, HasSubstr("\"sample\":\"HCl, проба 7, аликвота 2\""));
    const ToolOutcome o =
        Run({"replicates", "--result", "--grid", "500", samples[0], samples[1], samples[2]});
    ASSERT_EQ(o.status, 0) << o.err;
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_GE(lines.size(), 2u);
    // Each within 0.2 % of the 0.1012 M the files were made with.
    EXPECT_THAT(lines[1], StartsWith("1\t3\tmol/L\t0.101"));
    // An override of the amount applies to every file: the spread grows.
    const ToolOutcome same = Run({"replicates", "--result", "--grid", "500", "--sample", "15",
                                  samples[0], samples[1], samples[2]});
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_THAT(Lines(same.out)[1], StartsWith("1\t3\tmol/L\t0.10"));
    EXPECT_THAT(Lines(same.out)[1], Not(HasSubstr("\t0.08\t")));

    // Files of different units are not mixed.
    const std::string other = Path("other.kel");
    const ToolOutcome converted =
        Run({"result", samples[0], "--unit", "g/L", "--molar-mass", "36.46", "-o", other});
    ASSERT_EQ(converted.status, 0) << converted.err;
    const ToolOutcome mixed = Run({"replicates", "--result", samples[1], samples[2], other});
    EXPECT_EQ(mixed.status, 64);
    EXPECT_THAT(mixed.err, HasSubstr("its results are in g/L, the first file's in mol/L"));
    // Nor are titers with results.
    const ToolOutcome titers =
        Run({"replicates", "--result", test::Example("naoh-titer.kel"), samples[0], samples[1]});
    EXPECT_EQ(titers.status, 64);
    EXPECT_THAT(titers.err, HasSubstr("its results are in mol/L, the first file's in titer"));
    // A spread far below the mean's last decimal still shows its digits.
    const ToolOutcome tiny = Run({"replicates", "--result", "--grid", "500", "--sample", "200000",
                                  samples[0], samples[1], samples[2]});
    ASSERT_EQ(tiny.status, 0) << tiny.err;
    const std::string row = Lines(tiny.out)[1];
    EXPECT_THAT(row, StartsWith("1\t3\tmol/L\t")) << row;
    EXPECT_THAT(row, Not(HasSubstr("\t0.00000\t"))) << row;
}

TEST_F(ResultTool, TheSavedRecordKeepsItsDataAndShowPrintsThem) {
    const std::string file = Line("a.kel", 20.0);
    const ToolOutcome saved =
        Tool({"result", file, "-o", Path("out.kel")},
             {"--sample", "0.5", "--sample-unit", "g", "--unit", "%", "--molar-mass", "40",
              "--titrant-concentration", "0.1", "--blank", "0.25", "--ratio", "0.5"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    // Opened again without any option, the file gives the same result.
    const ToolOutcome again = Tool({"result", Path("out.kel")}, {});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Lines(again.out)[1], Path("out.kel") + "\t1\t20.000\t7.9000\t%\t\t");
    const ToolOutcome show = Run({"show", Path("out.kel")});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_THAT(show.out, HasSubstr("\"result\": {\"sample\": \"\", \"sampleAmount\": 0.5, "
                                    "\"sampleUnit\": \"g\", \"titrant\": \"\", "
                                    "\"concentration\": 0.1, \"titer\": 1, \"blank\": 0.25, "
                                    "\"ratio\": 0.5, \"molarMass\": 40, \"unit\": \"%\""));
    // A file without data shows none, as before.
    EXPECT_THAT(Run({"show", file}).out, Not(HasSubstr("\"result\"")));
    // A refused combination writes nothing.
    const ToolOutcome refused =
        Tool({"result", file, "-o", Path("no.kel")}, {"--sample", "1", "--unit", "g/L"});
    EXPECT_EQ(refused.status, 64);
    EXPECT_FALSE(std::filesystem::exists(dir / "no.kel"));
}

}  // namespace
}  // namespace kelm
