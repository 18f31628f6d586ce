// The results of a record's equivalence points and the texts they are shown in.
#include "results/RecordResults.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/Cp1251.h"
#include "results/ResultHistory.h"

namespace kelm {
namespace {

SharedState TwoPoints() {
    SharedState s;
    NewRecord(s);
    s.curve.curveProcessed = 1;
    s.curve.equivalencePointCount = 2;
    s.curve.equivalencePoints[0].volume = 0.4;
    s.curve.equivalencePoints[1].volume = 20.0;
    s.notes.result.sampleAmount = 20.0;
    s.notes.result.concentration = 0.1;
    s.notes.result.blank = 0.5;
    SetName(s.notes.result.sampleName, Utf8ToCp1251("Проба 1"));
    return s;
}

TEST(RecordResults, EachPointGetsItsOwnResultOrItsOwnRefusal) {
    const SharedState s = TwoPoints();
    const std::vector<PointResult> all = ComputePointResults(s);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].point, 1);
    EXPECT_EQ(all[0].outcome.problem, ResultProblem::BlankAboveVolume);
    EXPECT_EQ(all[1].point, 2);
    EXPECT_NEAR(all[1].outcome.value, 0.1 * 19.5 / 20.0, 1e-15);

    const std::vector<PointResult> second = ComputePointResults(s, 2);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].point, 2);
    EXPECT_TRUE(ComputePointResults(s, 3).empty());

    SharedState unprocessed = s;
    unprocessed.curve.curveProcessed = 0;
    EXPECT_TRUE(ComputePointResults(unprocessed).empty());
    SharedState damaged = s;
    damaged.curve.equivalencePointCount = 100000;  // never read past the list
    EXPECT_EQ(ComputePointResults(damaged).size(), std::size_t(kMaxEquivalencePoints));
}

TEST(RecordResults, ATiterDeterminationGivesTheTiterOfEachPoint) {
    SharedState s = TwoPoints();
    s.notes.result.titerDetermination = true;
    s.notes.result.blank = 0.0;
    s.notes.result.standardMass = 0.2042;
    s.notes.result.standardMolarMass = 204.22;
    const std::vector<PointResult> all = ComputePointResults(s);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NEAR(all[1].outcome.value, 0.49995103319949075, 1e-15);
    EXPECT_EQ(ResultUnitText(s.notes.result), "Титр");
}

TEST(RecordResults, NumbersKeepFiveSignificantDigitsInFixedForm) {
    const struct {
        double value;
        bool comma;
        const char* text;
    } table[] = {
        {0.1000312, false, "0.10003"}, {0.05, false, "0.050000"},   {36.4612, false, "36.461"},
        {1234.56, true, "1234,6"},     {99.9906, true, "99.991"},   {0.0, false, "0.00000"},
        {-0.0, false, "0.00000"},      {123456.7, false, "123457"}, {2.5e-7, false, "2.5000e-07"},
        {3.2e12, true, "3,2000e+12"},
    };
    for (const auto& row : table) {
        std::string expected = row.text;
        if (row.comma) {
            std::replace(expected.begin(), expected.end(), '.', ',');
        }
        EXPECT_EQ(ResultNumberText(row.value, row.comma), expected) << row.value;
    }
    EXPECT_EQ(ResultNumberText(std::numeric_limits<double>::quiet_NaN(), false), "");
    EXPECT_EQ(ResultNumberText(std::numeric_limits<double>::infinity(), false), "");
}

TEST(RecordResults, TheTableNamesTheSampleAndWordsARefusal) {
    SharedState s = TwoPoints();
    s.display.decimalComma = 1;
    EXPECT_EQ(ResultTableText(s, ComputePointResults(s)),
              "Проба\tТочка\tОбъём, мл\tРезультат\tЕдиница\r\n"
              "Проба 1\t1\t0,400\tХолостой опыт больше объёма в точке эквивалентности.\t\r\n"
              "Проба 1\t2\t20,000\t0,097500\tмоль/л\r\n");
}

TEST(RecordResults, TheSummaryLineNamesTheSampleAndTheTitrant) {
    SharedState s = TwoPoints();
    SetName(s.notes.result.titrantName, "NaOH");
    s.display.decimalComma = 1;
    s.notes.result.titer = 1.0012;
    EXPECT_EQ(ResultSummaryLines(s),
              (std::vector<std::string>{"Проба: Проба 1; 20 мл",
                                        "Титрант: NaOH; 0,1 моль/л; титр 1,0012; холостой опыт "
                                        "0,5 мл"}));
    s.notes.result.titerDetermination = true;
    s.notes.result.standardMass = 0.4084;
    s.notes.result.standardPurity = 99.95;
    s.notes.result.standardMolarMass = 204.22;
    EXPECT_EQ(ResultSummaryLines(s)[0], "Стандарт: 0,4084 г; 99,95 %; 204,22 г/моль");
}

TEST(RecordResults, TheHistoryNamesTheMethodWithItsWindowAndChoice) {
    SharedState s = TwoPoints();
    ApplyStartDefaults(s);
    const std::string plain = MethodText(s);
    EXPECT_EQ(plain.find("window="), std::string::npos);
    EXPECT_EQ(plain.find("select="), std::string::npos);
    s.notes.evaluation.windowFrom = 4.5;
    s.notes.evaluation.choice = PointChoice::GreatestN;
    s.notes.evaluation.count = 2;
    EXPECT_EQ(MethodText(s), plain + " window=4.5: select=2");
}

TEST(RecordResults, OnlyARecordWithDataHasResults) {
    SharedState s;
    EXPECT_FALSE(HasResultData(s));
    s.notes.result.titer = 1.0;  // the default itself
    EXPECT_FALSE(HasResultData(s));
    s.notes.result.unit = ResultUnit::Percent;
    EXPECT_TRUE(HasResultData(s));
}

TEST(RecordResults, TheReportGainsTheResultColumnOnlyWithResultData) {
    SharedState s = TwoPoints();
    s.record.quantity = MeasuredQuantity::Ph;
    s.record.pointCount = 1;
    s.curve.equivalencePoints[1].value = 7.0;
    ResultsReport report;
    const struct {
        bool withData;
        ReportMode mode;
        const char* text;
    } table[] = {
        {true, ReportMode::EquivalencePoints,
         "Объём\tpH\tРезультат, моль/л\r\n0.4\t0.\tХолостой опыт больше объёма в точке "
         "эквивалентности.\r\n20.\t7.\t0.097500\r\n"},
        {true, ReportMode::CurvePoints, "Объём\tpH\r\n0.\t0.\r\n"},
        {false, ReportMode::EquivalencePoints, "Объём\tpH\r\n0.4\t0.\r\n20.\t7.\r\n"},
    };
    for (const auto& row : table) {
        SharedState state = s;
        if (!row.withData) {
            state.notes.result = ResultSettings{};
        }
        EXPECT_EQ(Cp1251ToUtf8(FillReportWithResults(report, state, row.mode)), row.text);
    }
}

TEST(RecordResults, ThePageListsEachResultAndTheSampleLine) {
    SharedState s = TwoPoints();
    s.notes.result.blank = 0.0;
    const PageResults page = ResultPageTexts(s);
    ASSERT_EQ(page.pointNotes.size(), 2u);
    EXPECT_EQ(Cp1251ToUtf8(page.pointNotes[1]), "0.10000 моль/л");
    ASSERT_EQ(page.listNotes.size(), 2u);
    EXPECT_EQ(Cp1251ToUtf8(page.listNotes[0]), "Проба: Проба 1; 20 мл");
    EXPECT_EQ(Cp1251ToUtf8(page.listNotes[1]), "Титрант: 0.1 моль/л; титр 1");
    s.notes.result.titerDetermination = true;
    s.notes.result.standardMass = 0.2042;
    s.notes.result.standardMolarMass = 204.22;
    EXPECT_EQ(Cp1251ToUtf8(ResultPageTexts(s).pointNotes[1]), "титр 0.49995");
    EXPECT_TRUE(ResultPageTexts(SharedState{}).pointNotes.empty());
    EXPECT_TRUE(ResultPageTexts(SharedState{}).listNotes.empty());
}

TEST(RecordResults, NewKeepsTheTitrantAndForgetsTheSample) {
    SharedState s = TwoPoints();
    SetName(s.notes.result.titrantName, "NaOH");
    s.notes.result.standardMass = 0.5;
    NewRecord(s);
    EXPECT_TRUE(NameView(s.notes.result.sampleName).empty());
    EXPECT_EQ(s.notes.result.sampleAmount, 0.0);
    EXPECT_EQ(s.notes.result.standardMass, 0.0);
    EXPECT_EQ(NameView(s.notes.result.titrantName), "NaOH");
    EXPECT_EQ(s.notes.result.concentration, 0.1);
}

}  // namespace
}  // namespace kelm
