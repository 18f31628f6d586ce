// The result formulas and the titer against hand-computed values, and every
// refusal with its message.
#include "results/ResultFormula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "results/ResultUnits.h"

namespace kelm {
namespace {

ResultSettings Hcl() {
    ResultSettings s;
    s.sampleAmount = 20.0;
    s.concentration = 0.1;
    return s;
}

TEST(ResultFormula, EachUnitGivesTheHandComputedFigure) {
    // c 0.1 mol/L, t 1, nu 1, no blank: 20.00 mL hold n = 2 mmol. For the mass
    // units: Na2CO3 (M 105.99) with HCl, nu 0.5, a 0.1060 g: n = 1 mmol.
    const struct {
        ResultUnit unit;
        double amount;
        SampleUnit sampleUnit;
        double ratio;
        double molarMass;
        double expected;
    } table[] = {
        {ResultUnit::MolPerLitre, 20.0, SampleUnit::Millilitre, 1.0, 0.0, 0.1},
        {ResultUnit::MillimolPerLitre, 20.0, SampleUnit::Millilitre, 1.0, 0.0, 100.0},
        {ResultUnit::GramPerLitre, 20.0, SampleUnit::Millilitre, 1.0, 36.46, 3.646},
        {ResultUnit::MilligramPerLitre, 20.0, SampleUnit::Millilitre, 1.0, 36.46, 3646.0},
        {ResultUnit::Percent, 0.106, SampleUnit::Gram, 0.5, 105.99, 99.99056603773585},
        {ResultUnit::MilligramPerGram, 0.106, SampleUnit::Gram, 0.5, 105.99, 999.9056603773585},
        {ResultUnit::MillimolPerGram, 0.106, SampleUnit::Gram, 0.5, 0.0, 9.433962264150944},
    };
    for (const auto& row : table) {
        ResultSettings s = Hcl();
        s.unit = row.unit;
        s.sampleAmount = row.amount;
        s.sampleUnit = row.sampleUnit;
        s.ratio = row.ratio;
        s.molarMass = row.molarMass;
        const ResultOutcome r = ComputeResult(s, 20.0);
        ASSERT_TRUE(r.Ok()) << UnitInfo(row.unit).toolName;
        EXPECT_NEAR(r.value, row.expected, 1e-12 * row.expected) << UnitInfo(row.unit).toolName;
    }
}

TEST(ResultFormula, TheTiterAndTheBlankEnterTheAmount) {
    const struct {
        double titer;
        double blank;
        double volume;
        double expected;  // mol/L of 25.00 mL
        double concentration = 0.1;
    } table[] = {
        {1.0125, 0.15, 20.15, 0.1 * 1.0125 * 20.0 / 25.0},
        {1.0, 0.0, 0.0, 0.0},  // nothing titrated: 0, not a refusal
        {1.0, 0.5, 0.5, 0.0},  // the blank alone
        {0.98, 0.0, 12.5, 0.1 * 0.98 * 12.5 / 25.0},
        {1e300, 0.5, 0.5, 0.0, 1e300},  // c·t overflows, but nothing was titrated
    };
    for (const auto& row : table) {
        ResultSettings s = Hcl();
        s.sampleAmount = 25.0;
        s.titer = row.titer;
        s.blank = row.blank;
        s.concentration = row.concentration;
        const ResultOutcome r = ComputeResult(s, row.volume);
        ASSERT_TRUE(r.Ok()) << row.titer;
        EXPECT_NEAR(r.value, row.expected, 1e-15);
        EXPECT_FALSE(std::signbit(r.value));
    }
}

TEST(ResultFormula, RefusesWhatCannotGiveAResult) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct {
        const char* what;
        void (*change)(ResultSettings&);
        double volume;
        ResultProblem problem;
    } table[] = {
        {"no sample", [](ResultSettings& s) { s.sampleAmount = 0.0; }, 20.0,
         ResultProblem::NoSample},
        {"negative sample", [](ResultSettings& s) { s.sampleAmount = -5.0; }, 20.0,
         ResultProblem::NoSample},
        {"NaN sample", [](ResultSettings& s) { s.sampleAmount = kNaN; }, 20.0,
         ResultProblem::NoSample},
        {"no concentration", [](ResultSettings& s) { s.concentration = 0.0; }, 20.0,
         ResultProblem::NoConcentration},
        {"infinite concentration", [](ResultSettings& s) { s.concentration = kInf; }, 20.0,
         ResultProblem::NoConcentration},
        {"zero titer", [](ResultSettings& s) { s.titer = 0.0; }, 20.0, ResultProblem::BadTiter},
        {"negative ratio", [](ResultSettings& s) { s.ratio = -1.0; }, 20.0,
         ResultProblem::BadRatio},
        {"negative blank", [](ResultSettings& s) { s.blank = -0.1; }, 20.0,
         ResultProblem::NegativeBlank},
        {"g/L without M", [](ResultSettings& s) { s.unit = ResultUnit::GramPerLitre; }, 20.0,
         ResultProblem::NoMolarMass},
        {"mg/L with M 0", [](ResultSettings& s) { s.unit = ResultUnit::MilligramPerLitre; }, 20.0,
         ResultProblem::NoMolarMass},
        {"mol/L of grams", [](ResultSettings& s) { s.sampleUnit = SampleUnit::Gram; }, 20.0,
         ResultProblem::UnitNeedsVolumeSample},
        {"mmol/g of millilitres", [](ResultSettings& s) { s.unit = ResultUnit::MillimolPerGram; },
         20.0, ResultProblem::UnitNeedsMassSample},
        {"% of millilitres, no M", [](ResultSettings& s) { s.unit = ResultUnit::Percent; }, 20.0,
         ResultProblem::UnitNeedsMassSample},
        {"blank above the volume", [](ResultSettings& s) { s.blank = 20.5; }, 20.0,
         ResultProblem::BlankAboveVolume},
        {"volume not a number", [](ResultSettings&) {}, kNaN, ResultProblem::OutOfRange},
        {"overflow",
         [](ResultSettings& s) {
             s.concentration = 1e300;
             s.titer = 1e300;
         },
         20.0, ResultProblem::OutOfRange},
        {"underflow, not a result of 0",
         [](ResultSettings& s) {
             s.concentration = 1e-300;
             s.ratio = 1e-300;
         },
         20.0, ResultProblem::OutOfRange},
    };
    for (const auto& row : table) {
        ResultSettings s = Hcl();
        row.change(s);
        const ResultOutcome r = ComputeResult(s, row.volume);
        EXPECT_EQ(r.problem, row.problem) << row.what;
        EXPECT_EQ(r.value, 0.0) << row.what;
        EXPECT_FALSE(ProblemText(r.problem, MessageStyle::Window).empty()) << row.what;
        EXPECT_FALSE(ProblemText(r.problem, MessageStyle::Tool).empty()) << row.what;
    }
}

TEST(ResultFormula, TellsSettingsProblemsFromThoseOfAPoint) {
    EXPECT_TRUE(IsSettingsProblem(ResultProblem::NoMolarMass));
    EXPECT_TRUE(IsSettingsProblem(ResultProblem::UnitNeedsMassSample));
    EXPECT_TRUE(IsSettingsProblem(ResultProblem::NoStandardMass));
    EXPECT_FALSE(IsSettingsProblem(ResultProblem::BlankAboveVolume));
    EXPECT_FALSE(IsSettingsProblem(ResultProblem::BlankNotBelowVolume));
    EXPECT_FALSE(IsSettingsProblem(ResultProblem::None));
}

ResultSettings Phthalate() {
    // 0.4084 g of potassium hydrogen phthalate (M 204.22, 99.95 %) with
    // 0.1 M NaOH, blank 0.02 mL.
    ResultSettings s;
    s.titerDetermination = true;
    s.concentration = 0.1;
    s.blank = 0.02;
    s.standardMass = 0.4084;
    s.standardPurity = 99.95;
    s.standardMolarMass = 204.22;
    return s;
}

TEST(Titer, MatchesTheHandComputedValueAndServesTheNextResult) {
    // 1000 * 0.4084 * 0.9995 / 204.22 = 1.998804 mmol over 0.1 * 20.08.
    const ResultOutcome t = ComputeTiter(Phthalate(), 20.10);
    ASSERT_TRUE(t.Ok());
    EXPECT_NEAR(t.value, 0.9954204336312568, 1e-14);

    // The titer in use: 20.00 mL of HCl take 19.95 mL, blank 0.02.
    ResultSettings hcl = Hcl();
    hcl.titer = t.value;
    hcl.blank = 0.02;
    const ResultOutcome r = ComputeResult(hcl, 19.95);
    ASSERT_TRUE(r.Ok());
    EXPECT_NEAR(r.value, 0.09919364621135474, 1e-15);

    // A standard reacting 2:1 halves the titer; the sample's own data do not matter.
    ResultSettings two = Phthalate();
    two.standardRatio = 2.0;
    two.sampleAmount = -1.0;
    EXPECT_NEAR(ComputeTiter(two, 20.10).value, 0.9954204336312568 / 2.0, 1e-14);
}

TEST(Titer, RefusesWhatCannotGiveATiter) {
    const struct {
        const char* what;
        void (*change)(ResultSettings&);
        double volume;
        ResultProblem problem;
    } table[] = {
        {"no mass", [](ResultSettings& s) { s.standardMass = 0.0; }, 20.0,
         ResultProblem::NoStandardMass},
        {"purity 0", [](ResultSettings& s) { s.standardPurity = 0.0; }, 20.0,
         ResultProblem::BadPurity},
        {"purity above 100", [](ResultSettings& s) { s.standardPurity = 100.5; }, 20.0,
         ResultProblem::BadPurity},
        {"no molar mass", [](ResultSettings& s) { s.standardMolarMass = 0.0; }, 20.0,
         ResultProblem::NoStandardMolarMass},
        {"ratio 0", [](ResultSettings& s) { s.standardRatio = 0.0; }, 20.0,
         ResultProblem::BadStandardRatio},
        {"no concentration", [](ResultSettings& s) { s.concentration = 0.0; }, 20.0,
         ResultProblem::NoConcentration},
        {"negative blank", [](ResultSettings& s) { s.blank = -1.0; }, 20.0,
         ResultProblem::NegativeBlank},
        {"blank equal to the volume", [](ResultSettings& s) { s.blank = 20.0; }, 20.0,
         ResultProblem::BlankNotBelowVolume},
        {"volume 0", [](ResultSettings&) {}, 0.0, ResultProblem::BlankNotBelowVolume},
        {"tiny volume, huge mass",
         [](ResultSettings& s) {
             s.blank = 0.0;
             s.standardMass = 1e306;
         },
         1e-300, ResultProblem::OutOfRange},
        {"underflow, not a titer of 0",
         [](ResultSettings& s) {
             s.standardMass = 1e-300;
             s.standardMolarMass = 1e300;
         },
         20.0, ResultProblem::OutOfRange},
    };
    for (const auto& row : table) {
        ResultSettings s = Phthalate();
        row.change(s);
        const ResultOutcome t = ComputeTiter(s, row.volume);
        EXPECT_EQ(t.problem, row.problem) << row.what;
        EXPECT_EQ(t.value, 0.0) << row.what;
    }
}

TEST(ResultUnits, EveryUnitIsFoundByItsLabelAndItsToolName) {
    for (int k = 0; k < kResultUnitCount; ++k) {
        const ResultUnitInfo& info = UnitInfo(static_cast<ResultUnit>(k));
        EXPECT_EQ(info.unit, static_cast<ResultUnit>(k));
        EXPECT_EQ(UnitFromLabel(info.label), info.unit);
        EXPECT_EQ(UnitFromToolName(info.toolName), info.unit);
    }
    EXPECT_FALSE(UnitFromToolName("mol/l"));
    EXPECT_FALSE(UnitFromLabel(""));
    EXPECT_EQ(SampleUnitFromToolName("g"), SampleUnit::Gram);
    EXPECT_EQ(SampleUnitFromLabel("мл"), SampleUnit::Millilitre);
    EXPECT_FALSE(SampleUnitFromToolName("ml"));
}

}  // namespace
}  // namespace kelm
