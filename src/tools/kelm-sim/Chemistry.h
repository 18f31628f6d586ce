// The sample in the simulator's beaker: what an electrode in it would read at
// a given total volume of titrant, from the equilibrium of the reaction.
#pragma once

namespace kelm::sim {

enum class Reaction {
    AcidBase,  // a monoprotic acid titrated with sodium hydroxide, glass electrode
    Redox,     // iron(II) titrated with cerium(IV), platinum electrode
};

struct SampleConfig {
    Reaction reaction = Reaction::AcidBase;
    double sampleMl = 20.0;     // volume of the sample before titration
    double analyteMolar = 0.1;  // acid or iron(II)
    double titrantMolar = 0.1;  // sodium hydroxide or cerium(IV)
    double pKa = -2.0;          // of the acid; below 0 it is a strong acid
    double temperatureC = 25.0;
    double ironPotentialMv = 771.0;     // Fe3+/Fe2+ against the hydrogen electrode
    double ceriumPotentialMv = 1440.0;  // Ce4+/Ce3+ in sulphuric acid
    double referenceMv = 197.0;         // silver chloride reference electrode
    double redoxMediumPh = 1.0;         // the acid medium of a redox titration
};

// Equilibrium readings of the sample after `titrantMl` of titrant.
class Chemistry {
public:
    explicit Chemistry(const SampleConfig& config) : config_(config) {}

    double Ph(double titrantMl) const;
    // Electrode potential in mV against the reference; a glass electrode reads
    // 0 mV at pH 7 and falls by the Nernst slope per pH unit.
    double Emf(double titrantMl) const;
    // Specific conductivity in mS/cm from the ions' molar conductivities;
    // negative when the sample has no conductivity cell (redox).
    double Conductivity(double titrantMl) const;
    // The Nernst slope in mV per decade at the sample's temperature.
    double NernstSlope() const;
    Reaction reaction() const { return config_.reaction; }

private:
    double HydrogenIon(double titrantMl) const;
    double RedoxPotentialShe(double titrantMl) const;
    SampleConfig config_;
};

}  // namespace kelm::sim
