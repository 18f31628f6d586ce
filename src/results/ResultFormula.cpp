#include "results/ResultFormula.h"

#include <cmath>

#include "results/ResultUnits.h"

namespace kelm {

namespace {

// Also false for NaN, so that a value from a hand-edited file never passes.
bool Positive(double x) {
    return std::isfinite(x) && x > 0.0;
}

ResultOutcome Finite(double value) {
    if (!std::isfinite(value)) {
        return {ResultProblem::OutOfRange, 0.0};
    }
    return {ResultProblem::None, value + 0.0};  // never -0
}

struct ProblemWords {
    ResultProblem problem;
    std::string_view window;
    std::string_view tool;
};

constexpr ProblemWords kProblemWords[] = {
    {ResultProblem::None, "", ""},
    {ResultProblem::NoSample, "Укажите количество пробы больше нуля.",
     "the sample amount must be above 0 (--sample)"},
    {ResultProblem::NoConcentration, "Укажите концентрацию титранта больше нуля.",
     "the titrant's concentration must be above 0 (--titrant-concentration)"},
    {ResultProblem::BadTiter, "Титр должен быть больше нуля.",
     "the titer must be above 0 (--titer)"},
    {ResultProblem::BadRatio, "Стехиометрический коэффициент должен быть больше нуля.",
     "the ratio must be above 0 (--ratio)"},
    {ResultProblem::NegativeBlank, "Объём холостого опыта не может быть отрицательным.",
     "the blank must not be below 0 (--blank)"},
    {ResultProblem::NoMolarMass, "Для этой единицы нужна молярная масса.",
     "this unit needs the molar mass (--molar-mass)"},
    {ResultProblem::UnitNeedsVolumeSample, "Для этой единицы проба отмеряется в мл, а не в г.",
     "this unit needs a sample in mL (--sample-unit mL)"},
    {ResultProblem::UnitNeedsMassSample, "Для этой единицы проба взвешивается в г, а не в мл.",
     "this unit needs a sample in g (--sample-unit g)"},
    {ResultProblem::BlankAboveVolume, "Холостой опыт больше объёма в точке эквивалентности.",
     "the blank is larger than the equivalence volume"},
    {ResultProblem::NoStandardMass, "Укажите массу стандарта больше нуля.",
     "the standard's mass must be above 0 (--standard-mass)"},
    {ResultProblem::BadPurity, "Чистота стандарта должна быть больше 0 и не больше 100 %.",
     "the purity must be above 0 and at most 100 % (--purity)"},
    {ResultProblem::NoStandardMolarMass, "Укажите молярную массу стандарта больше нуля.",
     "the standard's molar mass must be above 0 (--standard-molar-mass)"},
    {ResultProblem::BadStandardRatio,
     "Стехиометрический коэффициент стандарта должен быть больше нуля.",
     "the standard's ratio must be above 0 (--ratio)"},
    {ResultProblem::BlankNotBelowVolume,
     "Холостой опыт не меньше объёма в точке эквивалентности: титр не определить.",
     "the blank is not smaller than the equivalence volume: no titer"},
    {ResultProblem::OutOfRange, "Результат вне пределов представимых чисел.",
     "the result is out of the range of numbers"},
};

}  // namespace

ResultProblem CheckResultSettings(const ResultSettings& s) {
    if (!Positive(s.sampleAmount)) {
        return ResultProblem::NoSample;
    }
    if (!Positive(s.concentration)) {
        return ResultProblem::NoConcentration;
    }
    if (!Positive(s.titer)) {
        return ResultProblem::BadTiter;
    }
    if (!Positive(s.ratio)) {
        return ResultProblem::BadRatio;
    }
    if (!std::isfinite(s.blank) || s.blank < 0.0) {
        return ResultProblem::NegativeBlank;
    }
    const ResultUnitInfo& unit = UnitInfo(s.unit);
    if (unit.sample != s.sampleUnit) {
        return unit.sample == SampleUnit::Millilitre ? ResultProblem::UnitNeedsVolumeSample
                                                     : ResultProblem::UnitNeedsMassSample;
    }
    if (unit.needsMolarMass && !Positive(s.molarMass)) {
        return ResultProblem::NoMolarMass;
    }
    return ResultProblem::None;
}

ResultOutcome ComputeResult(const ResultSettings& s, double volume) {
    if (const ResultProblem problem = CheckResultSettings(s); problem != ResultProblem::None) {
        return {problem, 0.0};
    }
    if (!std::isfinite(volume)) {
        return {ResultProblem::OutOfRange, 0.0};
    }
    if (s.blank > volume) {
        return {ResultProblem::BlankAboveVolume, 0.0};
    }
    const ResultUnitInfo& unit = UnitInfo(s.unit);
    const double millimoles = s.ratio * s.concentration * s.titer * (volume - s.blank);
    const double amount = unit.needsMolarMass ? millimoles * s.molarMass : millimoles;
    return Finite(unit.factor * amount / s.sampleAmount);
}

ResultProblem CheckTiterSettings(const ResultSettings& s) {
    if (!Positive(s.concentration)) {
        return ResultProblem::NoConcentration;
    }
    if (!std::isfinite(s.blank) || s.blank < 0.0) {
        return ResultProblem::NegativeBlank;
    }
    if (!Positive(s.standardMass)) {
        return ResultProblem::NoStandardMass;
    }
    if (!Positive(s.standardPurity) || s.standardPurity > 100.0) {
        return ResultProblem::BadPurity;
    }
    if (!Positive(s.standardMolarMass)) {
        return ResultProblem::NoStandardMolarMass;
    }
    if (!Positive(s.standardRatio)) {
        return ResultProblem::BadStandardRatio;
    }
    return ResultProblem::None;
}

ResultOutcome ComputeTiter(const ResultSettings& s, double volume) {
    if (const ResultProblem problem = CheckTiterSettings(s); problem != ResultProblem::None) {
        return {problem, 0.0};
    }
    if (!std::isfinite(volume)) {
        return {ResultProblem::OutOfRange, 0.0};
    }
    if (!(volume - s.blank > 0.0)) {
        return {ResultProblem::BlankNotBelowVolume, 0.0};
    }
    const double standardMillimoles =
        1000.0 * s.standardMass * (s.standardPurity / 100.0) / s.standardMolarMass;
    return Finite(standardMillimoles / (s.standardRatio * s.concentration * (volume - s.blank)));
}

std::string_view ProblemText(ResultProblem problem, MessageStyle style) {
    for (const ProblemWords& words : kProblemWords) {
        if (words.problem == problem) {
            return style == MessageStyle::Window ? words.window : words.tool;
        }
    }
    return {};
}

bool IsSettingsProblem(ResultProblem problem) {
    return problem != ResultProblem::None && problem != ResultProblem::BlankAboveVolume &&
           problem != ResultProblem::BlankNotBelowVolume && problem != ResultProblem::OutOfRange;
}

}  // namespace kelm
