#include "ProcessingReference.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "CurveFixtures.h"
#include "core/ResultFile.h"
#include "processing/Processing.h"

namespace kelm::test {

namespace {

constexpr std::uint64_t kPrime = 2147483647;  // 2^31 - 1

std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

std::uint64_t PowerModPrime(std::uint64_t base, std::uint64_t exponent) {
    std::uint64_t result = 1;
    base %= kPrime;
    while (exponent > 0) {
        if (exponent & 1) {
            result = result * base % kPrime;
        }
        base = base * base % kPrime;
        exponent >>= 1;
    }
    return result;
}

std::unique_ptr<SharedState> ExampleFile(const std::string& name) {
    std::ifstream in(std::filesystem::path(KELM_EXAMPLES_DIR) / name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto state = StateWithPoints({});
    if (!in.good() && !in.eof()) {
        return nullptr;
    }
    if (LoadRecord(*state, bytes) != LoadStatus::Loaded) {
        return nullptr;
    }
    return state;
}

// Volumes in any order, repeated and negative ones, as a hand-edited file can
// hold them; a negative last volume makes the grid run downwards.
std::unique_ptr<SharedState> HandEditedCurve(unsigned seed, double lastVolume) {
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 10) % range);
    };
    auto state = StateWithPoints({});
    const int n = 12 + next(30);
    for (int i = 0; i < n; ++i) {
        state->record.points[i] = {0.25 * (next(60) - 10), 0.1 * next(140)};
    }
    state->record.points[n - 1].volume = lastVolume;
    state->record.pointCount = n;
    return state;
}

struct FixtureCurve {
    const char* name;
    std::unique_ptr<SharedState> (*make)();
};

constexpr std::array<FixtureCurve, 15> kFixtureCurves = {{
    {"acid-255", [] { return AcidBaseTitration(255, 0.1, 12.0); }},
    {"acid-120", [] { return AcidBaseTitration(120, 0.5, 1.0); }},
    {"acid-61", [] { return AcidBaseTitration(61, 0.2, 6.13); }},
    {"acid-40", [] { return AcidBaseTitration(40, 0.5, 1.0); }},
    {"acid-10", [] { return AcidBaseTitration(10, 0.5, 1.0); }},
    {"acid-3", [] { return AcidBaseTitration(3, 0.5, 1.0); }},
    {"diprotic", [] { return DiproticTitration(); }},
    {"constant",
     [] {
         return StateWithPoints({{0.0, 4.0}, {1.0, 4.0}, {2.0, 4.0}, {3.0, 4.0}});
     }},
    {"three-points",
     [] {
         return StateWithPoints({{0.0, 2.0}, {1.0, 3.0}, {2.0, 11.0}});
     }},
    // Straight stretches: the second derivative is 0 along them.
    {"ramps",
     [] {
         return StateWithPoints(
             {{0, 0}, {1, 1}, {2, 2}, {3, 6}, {4, 10}, {5, 11}, {6, 12}, {7, 13}});
     }},
    {"late-start",
     [] {
         return StateWithPoints({{1.5, 2.0},
                                 {2.0, 2.4},
                                 {2.5, 3.1},
                                 {3.0, 5.0},
                                 {3.5, 9.0},
                                 {4.0, 10.5},
                                 {4.5, 11.0}});
     }},
    // Two pairs of equal volumes: the cubic falls back to the line.
    {"repeated-volumes",
     [] {
         return StateWithPoints({{0.0, 2.0},
                                 {0.5, 2.3},
                                 {1.0, 2.9},
                                 {1.0, 3.4},
                                 {1.5, 6.0},
                                 {2.0, 10.0},
                                 {2.0, 10.6},
                                 {2.5, 11.0},
                                 {3.0, 11.2}});
     }},
    {"hand-edited-1", [] { return HandEditedCurve(2024, 9.5); }},
    {"hand-edited-2", [] { return HandEditedCurve(77, 9.5); }},
    {"hand-edited-3", [] { return HandEditedCurve(5, -3.0); }},
}};

const char* KindName(InterpolationKind kind) {
    return kind == InterpolationKind::Linear ? "linear" : "cubic";
}
const char* FilterName(FilterKind filter) {
    return filter == FilterKind::MovingAverage ? "average" : "polynomial";
}
const char* CriterionName(EndPointCriterion criterion) {
    return criterion == EndPointCriterion::GivenValue ? "given" : "extremum";
}

std::string FingerprintText(const Fingerprint& f) {
    char text[17];
    std::snprintf(text, sizeof text, "%08x%08x", static_cast<unsigned>(f.sum),
                  static_cast<unsigned>(f.weighted));
    return text;
}

bool ReadFingerprint(const std::string& text, Fingerprint& f) {
    if (text.size() != 16) {
        return false;
    }
    const char* begin = text.data();
    const auto a = std::from_chars(begin, begin + 8, f.sum, 16);
    const auto b = std::from_chars(begin + 8, begin + 16, f.weighted, 16);
    return a.ec == std::errc{} && a.ptr == begin + 8 && b.ec == std::errc{} && b.ptr == begin + 16;
}

std::string HexDouble(double v) {
    char text[40];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::hex);
    return std::string(text, r.ptr);
}

bool ReadHexDouble(const std::string& text, double& v) {
    const auto r =
        std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::hex);
    return r.ec == std::errc{} && r.ptr == text.data() + text.size();
}

bool ReadInt(const std::string& text, int& v) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc{} && r.ptr == text.data() + text.size();
}

}  // namespace

Fingerprint FingerprintOf(std::span<const double> values) {
    std::uint64_t sum = 0;
    std::uint64_t weighted = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::uint64_t m = Mix(std::bit_cast<std::uint64_t>(values[i])) % kPrime;
        sum = (sum + m) % kPrime;
        weighted = (weighted + (i + 1) * m) % kPrime;
    }
    return {static_cast<std::uint32_t>(sum), static_cast<std::uint32_t>(weighted)};
}

int DifferingEntry(const Fingerprint& expected, const Fingerprint& actual, int size) {
    // One entry k changed by d: the sums differ by d and by (k + 1) * d.
    const std::uint64_t d = (actual.sum + kPrime - expected.sum) % kPrime;
    const std::uint64_t kd = (actual.weighted + kPrime - expected.weighted) % kPrime;
    if (d == 0) {
        return -1;
    }
    const std::uint64_t position = kd * PowerModPrime(d, kPrime - 2) % kPrime;
    if (position < 1 || position > static_cast<std::uint64_t>(size)) {
        return -1;
    }
    return static_cast<int>(position - 1);
}

std::vector<ReferenceSettings> AllReferenceSettings() {
    std::vector<ReferenceSettings> all;
    for (InterpolationKind kind : {InterpolationKind::Linear, InterpolationKind::CubicSpline}) {
        for (FilterKind filter : {FilterKind::MovingAverage, FilterKind::PolynomialSmoothing}) {
            for (int strength : {0, 1, 2, 3, 5, 8, 12, 15}) {
                for (int grid : {kAutomaticGrid, 0, 137, kMaxGridPoints}) {
                    all.push_back({kind, filter, strength, grid});
                }
            }
        }
    }
    return all;
}

std::vector<std::string> ReferenceCurveNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(KELM_EXAMPLES_DIR, error)) {
        if (entry.path().extension() == ".kel") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    for (const FixtureCurve& c : kFixtureCurves) {
        names.emplace_back(c.name);
    }
    return names;
}

std::unique_ptr<SharedState> ReferenceCurve(const std::string& name) {
    std::unique_ptr<SharedState> state;
    for (const FixtureCurve& c : kFixtureCurves) {
        if (name == c.name) {
            state = c.make();
        }
    }
    if (!state && name.ends_with(".kel")) {
        state = ExampleFile(name);
    }
    if (!state) {
        return nullptr;
    }
    const auto points = std::span(state->record.points).first(PointCount(state->record));
    const auto [low, high] = std::minmax_element(
        points.begin(), points.end(),
        [](const CurvePoint& a, const CurvePoint& b) { return a.value < b.value; });
    const double middle = points.empty() ? 0.0 : (low->value + high->value) / 2;
    state->processing.endValueEmf = middle;
    state->processing.endValuePh = middle;
    return state;
}

std::string CaseKey(const std::string& curve, const ReferenceSettings& s) {
    return curve + " " + KindName(s.kind) + " " + FilterName(s.filter) + " " +
           std::to_string(s.strength) + " " +
           (s.grid == kAutomaticGrid ? std::string("auto") : std::to_string(s.grid));
}

std::array<std::span<const double>, 5> GridArrays(const SharedState& state) {
    const auto n = static_cast<std::size_t>(
        std::clamp(state.processing.interpolationPointCount, 0, kMaxGridPoints));
    const ProcessedCurve& c = state.curve;
    return {std::span<const double>(c.gridVolume).first(n),
            std::span<const double>(c.interpolatedValue).first(n),
            std::span<const double>(c.smoothedValue).first(n),
            std::span<const double>(c.firstDerivative).first(n),
            std::span<const double>(c.secondDerivative).first(n)};
}

std::vector<double> EquivalenceValues(const SharedState& state) {
    std::vector<double> values;
    const int count = std::clamp(state.curve.equivalencePointCount, 0, kMaxEquivalencePoints);
    for (int k = 0; k < count; ++k) {
        const EquivalencePoint& p = state.curve.equivalencePoints[k];
        values.insert(values.end(), {p.volume, p.value, p.derivative});
    }
    return values;
}

int RunCase(const SharedState& curve, const ReferenceSettings& settings,
            EndPointCriterion criterion, SharedState& run) {
    run.record = curve.record;
    run.processing = curve.processing;
    run.notes = RecordNotes{};  // the plain run: no search window, every point
    run.curve = ProcessedCurve{};
    run.processing.interpolationKind = settings.kind;
    run.processing.filterKind = settings.filter;
    run.processing.filterStrength = settings.strength;
    run.processing.autoPointCount = settings.grid == kAutomaticGrid ? 1 : 0;
    run.processing.interpolationPointCount = settings.grid == kAutomaticGrid ? 0 : settings.grid;
    run.processing.criterion = criterion;
    return RunProcessing(run);
}

ReferenceLine MeasureLine(const SharedState& curve, const ReferenceSettings& settings) {
    auto run = std::make_unique<SharedState>();
    ReferenceLine line;
    for (std::size_t c = 0; c < kCriteria.size(); ++c) {
        const int result = RunCase(curve, settings, kCriteria[c], *run);
        line.outcome[c] = {result, run->curve.equivalencePointCount,
                           FingerprintOf(EquivalenceValues(*run))};
        if (c == 0) {
            line.gridCount = run->processing.interpolationPointCount;
            const auto arrays = GridArrays(*run);
            for (std::size_t a = 0; a < arrays.size(); ++a) {
                line.arrays[a] = FingerprintOf(arrays[a]);
            }
        }
    }
    return line;
}

std::vector<WholeRun> WholeRuns() {
    return {
        {"diprotic",
         {InterpolationKind::CubicSpline, FilterKind::PolynomialSmoothing, 15, kMaxGridPoints},
         EndPointCriterion::DerivativeExtremum},
        {"hcl-naoh.kel",
         {InterpolationKind::Linear, FilterKind::MovingAverage, 8, kAutomaticGrid},
         EndPointCriterion::GivenValue},
    };
}

std::string WholeRunKey(const WholeRun& run) {
    return CaseKey(run.curve, run.settings) + " " + CriterionName(run.criterion);
}

std::string FormatReference(const Reference& reference) {
    std::ostringstream out;
    out << "# Processing results kept to the bit; written by make_processing_reference.\n"
           "# case CURVE KIND FILTER STRENGTH GRID: N, then the fingerprints of gridVolume,\n"
           "# interpolatedValue, smoothedValue, firstDerivative and secondDerivative, then\n"
           "# for the given-value and the extremum criterion: result, point count, fingerprint\n"
           "# of the points. whole KEY CRITERION ARRAY COUNT: the values as hexadecimal doubles.\n";
    for (const auto& [key, line] : reference.lines) {
        out << "case " << key << " " << line.gridCount;
        for (const Fingerprint& f : line.arrays) {
            out << " " << FingerprintText(f);
        }
        for (const CriterionOutcome& o : line.outcome) {
            out << " " << o.result << " " << o.pointCount << " " << FingerprintText(o.points);
        }
        out << "\n";
    }
    for (const auto& [key, arrays] : reference.whole) {
        for (std::size_t a = 0; a < arrays.size(); ++a) {
            out << "whole " << key << " "
                << (a < kGridArrayNames.size() ? kGridArrayNames[a] : "equivalencePoints") << " "
                << arrays[a].size();
            for (double v : arrays[a]) {
                out << " " << HexDouble(v);
            }
            out << "\n";
        }
    }
    return out.str();
}

Reference ParseReference(std::string_view text, std::string& error) {
    Reference reference;
    std::istringstream in{std::string(text)};
    std::string row;
    int number = 0;
    while (std::getline(in, row)) {
        ++number;
        if (row.empty() || row[0] == '#') {
            continue;
        }
        std::istringstream words(row);
        std::vector<std::string> w{std::istream_iterator<std::string>(words),
                                   std::istream_iterator<std::string>()};
        bool good = false;
        if (w.size() == 18 && w[0] == "case") {
            const std::string key = w[1] + " " + w[2] + " " + w[3] + " " + w[4] + " " + w[5];
            ReferenceLine& line = reference.lines[key];
            good = ReadInt(w[6], line.gridCount);
            for (std::size_t a = 0; a < line.arrays.size(); ++a) {
                good = good && ReadFingerprint(w[7 + a], line.arrays[a]);
            }
            for (std::size_t c = 0; c < line.outcome.size(); ++c) {
                CriterionOutcome& o = line.outcome[c];
                good = good && ReadInt(w[12 + 3 * c], o.result) &&
                       ReadInt(w[13 + 3 * c], o.pointCount) &&
                       ReadFingerprint(w[14 + 3 * c], o.points);
            }
        } else if (w.size() >= 9 && w[0] == "whole") {
            const std::string key =
                w[1] + " " + w[2] + " " + w[3] + " " + w[4] + " " + w[5] + " " + w[6];
            const auto name = std::find(kGridArrayNames.begin(), kGridArrayNames.end(), w[7]);
            const std::size_t a = static_cast<std::size_t>(name - kGridArrayNames.begin());
            int count = 0;
            good = (name != kGridArrayNames.end() || w[7] == "equivalencePoints") &&
                   ReadInt(w[8], count) && count >= 0 &&
                   w.size() == 9 + static_cast<std::size_t>(count);
            std::vector<double>& values = reference.whole[key][a];
            values.assign(good ? static_cast<std::size_t>(count) : 0, 0.0);
            for (std::size_t i = 0; good && i < values.size(); ++i) {
                good = ReadHexDouble(w[9 + i], values[i]);
            }
        }
        if (!good) {
            error = "line " + std::to_string(number) + " does not read";
            return reference;
        }
    }
    return reference;
}

Reference MeasureReference(std::string& error) {
    Reference reference;
    const std::vector<ReferenceSettings> settings = AllReferenceSettings();
    for (const std::string& name : ReferenceCurveNames()) {
        const auto curve = ReferenceCurve(name);
        if (!curve) {
            error = name + " does not load";
            return reference;
        }
        for (const ReferenceSettings& s : settings) {
            reference.lines[CaseKey(name, s)] = MeasureLine(*curve, s);
        }
    }
    auto run = std::make_unique<SharedState>();
    for (const WholeRun& w : WholeRuns()) {
        const auto curve = ReferenceCurve(w.curve);
        if (!curve) {
            error = w.curve + " does not load";
            return reference;
        }
        RunCase(*curve, w.settings, w.criterion, *run);
        auto& arrays = reference.whole[WholeRunKey(w)];
        const auto grid = GridArrays(*run);
        for (std::size_t a = 0; a < grid.size(); ++a) {
            arrays[a].assign(grid[a].begin(), grid[a].end());
        }
        arrays[grid.size()] = EquivalenceValues(*run);
    }
    return reference;
}

std::string ReferencePath() {
    return KELM_SOURCE_DIR "/tests/processing/ProcessingReference.txt";
}

}  // namespace kelm::test
