#include "results/ResultFormula.h"

#include <cmath>
#include <initializer_list>
#include <utility>

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

// Every factor is above 0 where this is called: a 0 is an underflow, not the answer.
ResultOutcome NonZero(ResultOutcome outcome) {
    if (outcome.Ok() && outcome.value == 0.0) {
        return {ResultProblem::OutOfRange, 0.0};
    }
    return outcome;
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
    {ResultProblem::BadMolarMass, "Молярная масса должна быть больше нуля.",
     "the molar mass must be above 0 (--molar-mass)"},
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

bool IsValidValue(ResultValue which, double x) {
    switch (which) {
        case ResultValue::Blank:
            return std::isfinite(x) && x >= 0.0;
        case ResultValue::MolarMass:
            return std::isfinite(x) && x >= 0.0;
        case ResultValue::Purity:
            return Positive(x) && x <= 100.0;
        default:
            return Positive(x);
    }
}

ResultProblem ValueProblem(ResultValue which) {
    switch (which) {
        case ResultValue::SampleAmount:
            return ResultProblem::NoSample;
        case ResultValue::Concentration:
            return ResultProblem::NoConcentration;
        case ResultValue::Titer:
            return ResultProblem::BadTiter;
        case ResultValue::Blank:
            return ResultProblem::NegativeBlank;
        case ResultValue::Ratio:
            return ResultProblem::BadRatio;
        case ResultValue::MolarMass:
            return ResultProblem::BadMolarMass;
        case ResultValue::StandardMass:
            return ResultProblem::NoStandardMass;
        case ResultValue::Purity:
            return ResultProblem::BadPurity;
        case ResultValue::StandardMolarMass:
            return ResultProblem::NoStandardMolarMass;
        case ResultValue::StandardRatio:
            break;
    }
    return ResultProblem::BadStandardRatio;
}

namespace {

// The first of the values that is not valid.
ResultProblem FirstInvalid(std::initializer_list<std::pair<ResultValue, double>> values) {
    for (const auto& [which, x] : values) {
        if (!IsValidValue(which, x)) {
            return ValueProblem(which);
        }
    }
    return ResultProblem::None;
}

}  // namespace

ResultProblem CheckResultSettings(const ResultSettings& s) {
    using V = ResultValue;
    if (const ResultProblem problem = FirstInvalid({{V::SampleAmount, s.sampleAmount},
                                                    {V::Concentration, s.concentration},
                                                    {V::Titer, s.titer},
                                                    {V::Ratio, s.ratio},
                                                    {V::Blank, s.blank},
                                                    {V::MolarMass, s.molarMass}});
        problem != ResultProblem::None) {
        return problem;
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
    if (volume == s.blank) {
        return {ResultProblem::None, 0.0};  // exactly, even where c·t alone overflows
    }
    const ResultUnitInfo& unit = UnitInfo(s.unit);
    const double millimoles = s.ratio * s.concentration * s.titer * (volume - s.blank);
    const double amount = unit.needsMolarMass ? millimoles * s.molarMass : millimoles;
    return NonZero(Finite(unit.factor * amount / s.sampleAmount));
}

ResultProblem CheckTiterSettings(const ResultSettings& s) {
    using V = ResultValue;
    return FirstInvalid({{V::Concentration, s.concentration},
                         {V::Blank, s.blank},
                         {V::StandardMass, s.standardMass},
                         {V::Purity, s.standardPurity},
                         {V::StandardMolarMass, s.standardMolarMass},
                         {V::StandardRatio, s.standardRatio}});
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
    return NonZero(
        Finite(standardMillimoles / (s.standardRatio * s.concentration * (volume - s.blank))));
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
