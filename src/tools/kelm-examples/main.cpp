// kelm-examples: writes the example result files of examples/ from the
// chemistry of each titration, so that they can be checked and regenerated.
//
// Each curve comes from the exact charge (or electron) balance of the mixture
// after every addition, solved numerically by bisection; concentrations stand
// in for activities. A little measurement noise from a fixed seed is added and
// the readings are rounded to the meter's resolution.
//
//   kelm-examples [DIR]          write the files into DIR (default "examples")
//   kelm-examples --check DIR    exit 1 when a file in DIR differs from what
//                                this program writes
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/Cp1251.h"
#include "core/FileMessages.h"
#include "core/FileReader.h"
#include "core/FileWriter.h"
#include "core/LastResort.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace {

using kelm::MeasuredQuantity;
using kelm::SharedState;

constexpr double kKw = 1.0e-14;             // ionic product of water at 25 °C
constexpr double kNernstSlope = 0.0591597;  // RT ln10 / F at 25 °C, volts
constexpr double kAgAgClPotential = 0.197;  // Ag/AgCl in saturated KCl vs SHE, volts

// The x in [lo, hi] where the monotonic f changes sign.
double Bisect(const std::function<double(double)>& f, double lo, double hi) {
    const bool risingAtLo = f(lo) < 0.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        if ((f(mid) < 0.0) == risingAtLo) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

// Measurement noise that every platform reproduces: mt19937 is fully
// specified, the standard distributions are not.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : engine_(seed) {}
    double Gaussian(double sigma) {
        const double u1 = (static_cast<double>(engine_()) + 1.0) / 4294967297.0;
        const double u2 = static_cast<double>(engine_()) / 4294967296.0;
        return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
    }

private:
    std::mt19937 engine_;
};

double RoundTo(double value, double step) {
    return std::round(value / step) * step;
}

// pH of V0 mL of a strong acid (concentration ca) after v mL of NaOH (cb).
double StrongAcidPh(double v0, double ca, double cb, double v) {
    const double total = v0 + v;
    const double chloride = ca * v0 / total;
    const double sodium = cb * v / total;
    // h + Na = Kw/h + Cl, written in pH so that bisection works on a sane scale.
    const auto balance = [&](double pH) {
        const double h = std::pow(10.0, -pH);
        return h + sodium - kKw / h - chloride;
    };
    return Bisect(balance, -1.0, 15.0);
}

// pH of `v0` mL of water holding `millimoles` of potassium hydrogen phthalate
// (KHA of the acid H2A) after v mL of NaOH (cb).
double HydrogenPhthalatePh(double v0, double millimoles, double ka1, double ka2, double cb,
                           double v) {
    const double total = v0 + v;
    const double phthalate = millimoles / total;  // and as much potassium
    const double sodium = cb * v / total;
    const auto balance = [&](double pH) {
        const double h = std::pow(10.0, -pH);
        const double d = h * h + ka1 * h + ka1 * ka2;
        const double anionCharge = phthalate * (ka1 * h + 2.0 * ka1 * ka2) / d;
        return h + phthalate + sodium - kKw / h - anionCharge;
    };
    return Bisect(balance, -1.0, 15.0);
}

// pH of V0 mL of a diprotic acid H2A (concentration ca) after v mL of NaOH (cb).
double DiproticAcidPh(double v0, double ca, double ka1, double ka2, double cb, double v) {
    const double total = v0 + v;
    const double acid = ca * v0 / total;
    const double sodium = cb * v / total;
    const auto balance = [&](double pH) {
        const double h = std::pow(10.0, -pH);
        const double d = h * h + ka1 * h + ka1 * ka2;
        const double anionCharge = acid * (ka1 * h + 2.0 * ka1 * ka2) / d;
        return h + sodium - kKw / h - anionCharge;
    };
    return Bisect(balance, -1.0, 15.0);
}

// Potential of a Pt electrode, in mV against Ag/AgCl, in V0 mL of Fe(II)
// (concentration cFe, with a trace of Fe(III) as a fraction of it) after v mL
// of Ce(IV) (concentration cCe).
double IronCeriumMillivolts(double v0, double cFe, double traceFe3, double cCe, double v) {
    constexpr double kFormalFe = 0.68;  // Fe(III)/Fe(II) in 1 M H2SO4, volts vs SHE
    constexpr double kFormalCe = 1.44;  // Ce(IV)/Ce(III) in 1 M H2SO4
    const double ferrous = cFe * v0;    // millimoles
    const double ferric = traceFe3 * ferrous;
    const double cerium = cCe * v;
    // Electron balance at the common potential E: the Fe(III) present is the
    // trace plus the Ce(III) formed.
    const auto balance = [&](double e) {
        const double fe3 =
            (ferrous + ferric) / (1.0 + std::pow(10.0, (kFormalFe - e) / kNernstSlope));
        const double ce3 = cerium / (1.0 + std::pow(10.0, (e - kFormalCe) / kNernstSlope));
        return fe3 - ferric - ce3;
    };
    const double shePotential = Bisect(balance, -0.5, 2.5);
    return (shePotential - kAgAgClPotential) * 1000.0;
}

struct Example {
    std::string fileName;
    std::string description;  // UTF-8
    MeasuredQuantity quantity;
    kelm::StartTime start;
    int decimalComma;
    std::vector<double> volumes;
    std::function<double(double)> reading;  // the noise-free reading at a volume
    double noise;                           // standard deviation of a reading
    double resolution;                      // the meter's last digit
    std::uint32_t seed;
    kelm::ResultSettings result{};  // the sample and titrant data the file keeps
};

std::string Render(const Example& e) {
    SharedState state;
    kelm::NewRecord(state);
    kelm::ApplyStartDefaults(state);
    const std::string description = kelm::Utf8ToCp1251(e.description);
    std::copy(description.begin(), description.end(), state.record.description.begin());
    state.record.quantity = e.quantity;
    state.record.startTime = e.start;
    state.record.startTimeKnown = 1;
    state.display.decimalComma = e.decimalComma;
    state.notes.result = e.result;
    Noise noise(e.seed);
    state.record.pointCount = static_cast<int>(e.volumes.size());
    for (std::size_t i = 0; i < e.volumes.size(); ++i) {
        const double v = e.volumes[i];
        const double reading = RoundTo(e.reading(v) + noise.Gaussian(e.noise), e.resolution);
        state.record.points[i] = {v, reading};
    }
    return kelm::SaveRecord(state);
}

std::vector<Example> Examples() {
    std::vector<Example> list;

    // 20.00 mL of 0.1 M HCl with 0.1 M NaOH: one jump at 20.00 mL.
    list.push_back({
        "hcl-naoh.kel",
        "Титрование 20,00 мл HCl (0,1000 М) раствором NaOH (0,1000 М). "
        "Стеклянный электрод, 25 °C.",
        MeasuredQuantity::Ph,
        {2024, 3, 14, 10, 25},
        0,
        {0,    1,    2,    4,    6,    8,    10,   12,   14,    15,   16,    17,   18,
         18.5, 19,   19.2, 19.4, 19.6, 19.7, 19.8, 19.9, 19.95, 20.0, 20.05, 20.1, 20.2,
         20.3, 20.4, 20.6, 20.8, 21,   21.5, 22,   23,   24,    25,   26,    28,   30},
        [](double v) { return StrongAcidPh(20.0, 0.1, 0.1, v); },
        0.006,
        0.001,
        20240314u,
    });

    // A replicate series: three aliquots of one HCl sample, pipetted with a
    // 20 mL pipette (19.98, 20.00 and 20.03 mL delivered), each titrated
    // with the same NaOH and read with its own noise.
    const double aliquots[] = {19.98, 20.00, 20.03};
    for (int i = 0; i < 3; ++i) {
        const double v0 = aliquots[i];
        list.push_back({
            "series-hcl-" + std::to_string(i + 1) + ".kel",
            "Проба HCl, аликвота 20 мл, параллельное определение " + std::to_string(i + 1) +
                " из 3. Титрант NaOH (0,1000 М). Стеклянный электрод, 25 °C.",
            MeasuredQuantity::Ph,
            {2024, 3, 18, 10, 15 + 20 * i},
            0,
            list.front().volumes,
            [v0](double v) { return StrongAcidPh(v0, 0.1, 0.1, v); },
            0.006,
            0.001,
            20240318u + static_cast<std::uint32_t>(i),
        });
    }

    // The worked example: a NaOH of nominal 0.1 M whose real concentration is
    // 0.09954 M (titer 0.9954), set against potassium hydrogen phthalate, then
    // used for three aliquots of different sizes of one HCl sample (0.1012 M).
    constexpr double kNaoh = 0.09954;
    constexpr double kPhthalateMass = 0.4084;  // g, 99.95 %, M 204.22
    constexpr double kPhthalateMillimoles = 1000.0 * kPhthalateMass * 0.9995 / 204.22;
    const double phthalateKa1 = std::pow(10.0, -2.95);
    const double phthalateKa2 = std::pow(10.0, -5.41);
    kelm::ResultSettings titer;
    kelm::SetName(titer.sampleName, kelm::Utf8ToCp1251("Бифталат калия"));
    kelm::SetName(titer.titrantName, kelm::Utf8ToCp1251("NaOH 0,1 М"));
    titer.concentration = 0.1;
    titer.titerDetermination = true;
    titer.standardMass = kPhthalateMass;
    titer.standardPurity = 99.95;
    titer.standardMolarMass = 204.22;
    list.push_back({
        "naoh-titer.kel",
        "Установка титра NaOH (0,1 М) по бифталату калия: навеска 0,4084 г (99,95 %) "
        "в 50 мл воды. Стеклянный электрод, 25 °C.",
        MeasuredQuantity::Ph,
        {2024, 3, 19, 9, 10},
        1,
        {0,    2,    4,     6,    8,     10,   12,   14,   16,   17, 18,   18.5, 19, 19.4, 19.7,
         19.9, 20.0, 20.05, 20.1, 20.15, 20.2, 20.3, 20.5, 20.8, 21, 21.5, 22,   23, 24,   26},
        [=](double v) {
            return HydrogenPhthalatePh(50.0, kPhthalateMillimoles, phthalateKa1, phthalateKa2,
                                       kNaoh, v);
        },
        0.006,
        0.001,
        20240319u,
        titer,
    });
    const double samples[] = {10.0, 15.0, 20.0};
    for (int i = 0; i < 3; ++i) {
        const double v0 = samples[i];
        const double at = v0 * 0.1012 / kNaoh;
        kelm::ResultSettings hcl;
        kelm::SetName(hcl.sampleName,
                      kelm::Utf8ToCp1251("HCl, проба 7, аликвота " + std::to_string(i + 1)));
        kelm::SetName(hcl.titrantName, kelm::Utf8ToCp1251("NaOH 0,1 М"));
        hcl.sampleAmount = v0;
        hcl.concentration = 0.1;
        hcl.titer = 0.9954;
        std::vector<double> volumes;
        for (double v = 0.0; v < at - 1.2; v += 1.0) {
            volumes.push_back(v);
        }
        for (double d : {-1.0, -0.5, -0.3, -0.2, -0.1, -0.05, 0.0, 0.05, 0.1, 0.2, 0.3, 0.5, 1.0,
                         2.0, 3.0, 4.0}) {
            volumes.push_back(std::round((std::floor(at * 10.0) / 10.0 + d) * 100.0) / 100.0);
        }
        list.push_back({
            "hcl-sample-" + std::to_string(i + 1) + ".kel",
            "Проба 7 (HCl), аликвота " + std::to_string(i + 1) +
                " из 3: " + std::to_string(static_cast<int>(v0)) +
                ",00 мл. Титрант NaOH (0,1 М, титр 0,9954). Стеклянный электрод, 25 °C.",
            MeasuredQuantity::Ph,
            {2024, 3, 19, 10, 5 + 15 * i},
            1,
            volumes,
            [v0](double v) { return StrongAcidPh(v0, 0.1012, kNaoh, v); },
            0.006,
            0.001,
            20240320u + static_cast<std::uint32_t>(i),
            hcl,
        });
    }

    // 20.00 mL of 0.1 M Fe(II) in 1 M H2SO4 with 0.1 M Ce(IV): E of a Pt
    // electrode against Ag/AgCl, one jump at 20.00 mL.
    list.push_back({
        "fe-ce-redox.kel",
        "Титрование 20,00 мл соли Мора (Fe(II) 0,1000 М в 1 М H2SO4) раствором "
        "Ce(SO4)2 (0,1000 М). Pt-электрод против Ag/AgCl (нас. KCl), мВ.",
        MeasuredQuantity::Emf,
        {2024, 3, 14, 11, 40},
        1,
        {0,    1,  2,    4,    6,    8,    10,    12,   14,    16,   17,   18,
         18.5, 19, 19.4, 19.6, 19.8, 19.9, 19.95, 20.0, 20.05, 20.1, 20.2, 20.4,
         20.6, 21, 21.5, 22,   23,   24,   26,    28,   30,    35,   40},
        [](double v) { return IronCeriumMillivolts(20.0, 0.1, 0.001, 0.1, v); },
        0.4,
        0.1,
        20240315u,
    });

    // The hydrochloric acid of the first example with an electrode still
    // settling: its first reading, taken too soon, stands 1.2 pH above the
    // acid's, and the first addition is a drop of 0.0005 mL. That step is far
    // steeper than the jump at 20 mL, so it alone sets the extremum threshold.
    std::vector<double> settlingVolumes = list.front().volumes;
    settlingVolumes.insert(settlingVolumes.begin() + 1, 0.0005);
    list.push_back({
        "settling-electrode.kel",
        "Титрование 20,00 мл HCl (0,1000 М) раствором NaOH (0,1000 М). Электрод не "
        "установился: первое показание завышено, первая добавка 0,0005 мл. Стеклянный "
        "электрод, 25 °C.",
        MeasuredQuantity::Ph,
        {2024, 3, 14, 11, 40},
        0,
        settlingVolumes,
        [](double v) { return StrongAcidPh(20.0, 0.1, 0.1, v) + (v == 0.0 ? 1.2 : 0.0); },
        0.006,
        0.001,
        20240319u,
    });

    // 20.00 mL of 0.05 M maleic acid (pKa 1.92 and 6.27) with 0.1 M NaOH:
    // two jumps, at 10.00 and 20.00 mL.
    const double ka1 = std::pow(10.0, -1.92);
    const double ka2 = std::pow(10.0, -6.27);
    list.push_back({
        "maleic-naoh.kel",
        "Титрование 20,00 мл малеиновой кислоты (0,0500 М) раствором NaOH (0,1000 М). "
        "Две ступени: pKa1 = 1,92, pKa2 = 6,27. Стеклянный электрод, 25 °C.",
        MeasuredQuantity::Ph,
        {2024, 3, 15, 9, 5},
        1,
        {0,    1,    2,    3,    4,    5,    6,  7,    8,  8.5, 9,  9.3,  9.6, 9.8,  10.0, 10.2,
         10.4, 10.7, 11,   11.5, 12,   13,   14, 15,   16, 17,  18, 18.5, 19,  19.3, 19.6, 19.8,
         19.9, 20.0, 20.1, 20.2, 20.4, 20.7, 21, 21.5, 22, 23,  24, 26,   28,  30},
        [=](double v) { return DiproticAcidPh(20.0, 0.05, ka1, ka2, 0.1, v); },
        0.006,
        0.001,
        20240316u,
    });
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    return kelm::RunGuarded("kelm-examples", [&] {
        const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
        const int dirArgument = check ? 2 : 1;
        const std::filesystem::path dir = argc > dirArgument ? argv[dirArgument] : "examples";
        int status = 0;
        for (const Example& e : Examples()) {
            const std::string bytes = Render(e);
            const std::filesystem::path path = dir / e.fileName;
            if (check) {
                if (kelm::ReadWholeFile(path).bytes != bytes) {
                    std::cerr << path.string() << " differs from what kelm-examples writes\n";
                    status = 1;
                }
            } else if (const kelm::WriteResult w = kelm::WriteWholeFile(path, bytes);
                       !w.Written()) {
                std::cerr << "kelm-examples: "
                          << kelm::WriteFailureMessage(w, path, kelm::MessageStyle::Tool) << '\n';
                status = 1;
            }
        }
        return status;
    });
}
