// From an equivalence volume to the chemist's result, and from a primary
// standard's titration to the titrant's titer. c in mol/L, volumes in mL,
// masses in g, molar masses in g/mol; n = nu c t (V - V_blank) in mmol.
// Every refusal is a problem with a message; no NaN or infinity comes out.
#pragma once

#include <string_view>

#include "core/FileMessages.h"
#include "core/ResultSettings.h"

namespace kelm {

enum class ResultProblem {
    None,
    NoSample,               // the sample amount is not above 0
    NoConcentration,        // the titrant's concentration is not above 0
    BadTiter,               // the titer is not above 0
    BadRatio,               // nu is not above 0
    NegativeBlank,          // the blank is below 0
    NoMolarMass,            // the unit needs M and there is none
    BadMolarMass,           // M is given and not above 0
    UnitNeedsVolumeSample,  // a volume unit with a sample in g
    UnitNeedsMassSample,    // a mass unit with a sample in mL
    BlankAboveVolume,       // more titrant in the blank than at the point
    NoStandardMass,         // titer: m is not above 0
    BadPurity,              // titer: P is not in (0, 100]
    NoStandardMolarMass,    // titer: M_s is not above 0
    BadStandardRatio,       // titer: nu_s is not above 0
    BlankNotBelowVolume,    // titer: V - V_blank is not above 0
    OutOfRange,             // the inputs are valid, yet the figure is not a finite number
};

// The values a user gives, each with its own rule of what it may be.
enum class ResultValue {
    SampleAmount,       // above 0
    Concentration,      // above 0
    Titer,              // above 0
    Blank,              // 0 or above
    Ratio,              // above 0
    MolarMass,          // above 0, or 0 for none
    StandardMass,       // above 0
    Purity,             // above 0, at most 100
    StandardMolarMass,  // above 0
    StandardRatio,      // above 0
};

// Whether `x` may stand for the value; never for a NaN or an infinity.
bool IsValidValue(ResultValue which, double x);
// The problem a value that is not valid gives.
ResultProblem ValueProblem(ResultValue which);

struct ResultOutcome {
    ResultProblem problem = ResultProblem::None;
    double value = 0.0;  // the result or the titer; 0 unless problem is None
    bool Ok() const { return problem == ResultProblem::None; }
};

// The first problem of the settings a result needs, before any volume.
ResultProblem CheckResultSettings(const ResultSettings& s);
// The result of the point at `volume` mL, in the settings' unit.
ResultOutcome ComputeResult(const ResultSettings& s, double volume);

// The first problem of the settings a titer needs (c, blank and the standard).
ResultProblem CheckTiterSettings(const ResultSettings& s);
// t = (1000 m P/100 / M_s) / (nu_s c (V - V_blank)).
ResultOutcome ComputeTiter(const ResultSettings& s, double volume);

// What the user is told: a Russian sentence for the window, an English one
// for kelmtool (naming the option that supplies the value).
std::string_view ProblemText(ResultProblem problem, MessageStyle style);

// Whether the problem lies in the settings alone (a bad command line for
// kelmtool) rather than in the volume a point was found at.
bool IsSettingsProblem(ResultProblem problem);

}  // namespace kelm
