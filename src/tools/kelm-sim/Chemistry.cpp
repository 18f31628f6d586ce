#include "Chemistry.h"

#include <algorithm>
#include <cmath>

namespace kelm::sim {

namespace {

constexpr double kWater = 1e-14;  // ionic product of water at 25 °C

// Molar conductivities at infinite dilution, S·cm²/mol.
constexpr double kLambdaH = 349.8;
constexpr double kLambdaOh = 198.6;
constexpr double kLambdaNa = 50.1;
constexpr double kLambdaChloride = 76.3;
constexpr double kLambdaAcetate = 40.9;

// Root of an increasing function by bisection.
template <typename F>
double Bisect(F f, double low, double high) {
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (low + high);
        (f(mid) > 0 ? high : low) = mid;
    }
    return 0.5 * (low + high);
}

}  // namespace

double Chemistry::NernstSlope() const {
    // RT ln10 / F in mV.
    return 0.19842 * (config_.temperatureC + 273.15);
}

double Chemistry::HydrogenIon(double titrantMl) const {
    const double total = config_.sampleMl + std::max(0.0, titrantMl);
    const double acid = config_.analyteMolar * config_.sampleMl / total;
    const double sodium = config_.titrantMolar * std::max(0.0, titrantMl) / total;
    const double ka = std::pow(10.0, -config_.pKa);
    // Charge balance H+ + Na+ = OH- + A-, increasing in H+; solved in log H+.
    const double logH = Bisect(
        [&](double lg) {
            const double h = std::pow(10.0, lg);
            return h + sodium - kWater / h - acid * ka / (ka + h);
        },
        -15.0, 1.0);
    return std::pow(10.0, logH);
}

double Chemistry::RedoxPotentialShe(double titrantMl) const {
    const double slope = NernstSlope();
    const double iron = config_.analyteMolar * config_.sampleMl;
    const double cerium = config_.titrantMolar * std::max(0.0, titrantMl);
    // A trace of iron(III) is always present, so the start is finite.
    const double trace = iron * 1e-9;
    // Iron(III) formed equals cerium(III) formed; increasing in E.
    return Bisect(
        [&](double e) {
            const double oxidisedIron =
                iron / (1.0 + std::pow(10.0, (config_.ironPotentialMv - e) / slope));
            const double reducedCerium =
                cerium / (1.0 + std::pow(10.0, (e - config_.ceriumPotentialMv) / slope));
            return oxidisedIron - trace - reducedCerium;
        },
        -500.0, 2500.0);
}

double Chemistry::Ph(double titrantMl) const {
    if (config_.reaction == Reaction::Redox) {
        return config_.redoxMediumPh;
    }
    return -std::log10(HydrogenIon(titrantMl));
}

double Chemistry::Emf(double titrantMl) const {
    if (config_.reaction == Reaction::Redox) {
        return RedoxPotentialShe(titrantMl) - config_.referenceMv;
    }
    return NernstSlope() * (7.0 - Ph(titrantMl));
}

double Chemistry::Conductivity(double titrantMl) const {
    if (config_.reaction == Reaction::Redox) {
        return -1.0;
    }
    const double total = config_.sampleMl + std::max(0.0, titrantMl);
    const double acid = config_.analyteMolar * config_.sampleMl / total;
    const double sodium = config_.titrantMolar * std::max(0.0, titrantMl) / total;
    const double h = HydrogenIon(titrantMl);
    const double ka = std::pow(10.0, -config_.pKa);
    const double anion = acid * ka / (ka + h);
    const double lambdaAnion = config_.pKa < 0 ? kLambdaChloride : kLambdaAcetate;
    // S·cm²/mol × mol/L gives mS/cm.
    return kLambdaH * h + kLambdaOh * kWater / h + kLambdaNa * sodium + lambdaAnion * anion;
}

}  // namespace kelm::sim
