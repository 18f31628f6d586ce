// The processing runs whose results are kept to the bit: every grid array and
// the equivalence points of every combination of settings, on the example
// files and on the test curves. ProcessingReferenceTest compares the code with
// the kept reference, ProcessingReference.txt; make_processing_reference writes
// that file from the code as it is (run it only for an intended change of results).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/SharedState.h"

namespace kelm::test {

// Two sums modulo a prime over the mixed bit patterns of an array: the plain
// one and one weighted by position. Any change of a bit changes them; when a
// single entry changed, the two together name it.
struct Fingerprint {
    std::uint32_t sum = 0;
    std::uint32_t weighted = 0;
    friend bool operator==(const Fingerprint&, const Fingerprint&) = default;
};

Fingerprint FingerprintOf(std::span<const double> values);

// The entry of an array of `size` entries in which `actual` differs from
// `expected` when one entry explains the difference, else -1.
int DifferingEntry(const Fingerprint& expected, const Fingerprint& actual, int size);

inline constexpr int kAutomaticGrid = -1;

struct ReferenceSettings {
    InterpolationKind kind = InterpolationKind::CubicSpline;
    FilterKind filter = FilterKind::PolynomialSmoothing;
    int strength = 0;
    int grid = kAutomaticGrid;  // the requested grid count, or automatic
};

// Every combination: both kinds, both filters, strengths 0 to 15 in the steps
// where the window changes, automatic and explicit grid counts up to 500.
std::vector<ReferenceSettings> AllReferenceSettings();

// The example files (by file name) and the test curves (by a name of their own).
std::vector<std::string> ReferenceCurveNames();
// The record of a named curve with the end value halfway up its values, so
// that the given-value criterion finds it; null for an unknown name.
std::unique_ptr<SharedState> ReferenceCurve(const std::string& name);

// "hcl-naoh.kel cubic polynomial 15 auto": one line of the reference.
std::string CaseKey(const std::string& curve, const ReferenceSettings& settings);

inline constexpr std::array<const char*, 5> kGridArrayNames = {
    "gridVolume", "interpolatedValue", "smoothedValue", "firstDerivative", "secondDerivative"};
inline constexpr std::array<EndPointCriterion, 2> kCriteria = {
    EndPointCriterion::GivenValue, EndPointCriterion::DerivativeExtremum};

// The grid arrays of a run, its first N entries each.
std::array<std::span<const double>, 5> GridArrays(const SharedState& state);
// The equivalence points of a run as volume, value, derivative, one after the other.
std::vector<double> EquivalenceValues(const SharedState& state);

// One run of `curve` with the settings and criterion, from a clean processed
// curve; returns what RunProcessing returns.
int RunCase(const SharedState& curve, const ReferenceSettings& settings,
            EndPointCriterion criterion, SharedState& run);

struct CriterionOutcome {
    int result = 0;
    int pointCount = 0;
    Fingerprint points;
    friend bool operator==(const CriterionOutcome&, const CriterionOutcome&) = default;
};

// What the reference keeps of one curve and settings: the grid arrays are the
// same for both criteria, the outcomes are each criterion's.
struct ReferenceLine {
    int gridCount = 0;
    std::array<Fingerprint, 5> arrays{};
    std::array<CriterionOutcome, 2> outcome{};
    friend bool operator==(const ReferenceLine&, const ReferenceLine&) = default;
};

// The line measured from runs of the code.
ReferenceLine MeasureLine(const SharedState& curve, const ReferenceSettings& settings);

// The runs kept whole as well, to show the values themselves where they differ.
struct WholeRun {
    std::string curve;
    ReferenceSettings settings;
    EndPointCriterion criterion;
};
std::vector<WholeRun> WholeRuns();
std::string WholeRunKey(const WholeRun& run);

struct Reference {
    std::map<std::string, ReferenceLine> lines;
    // Per whole run: the five arrays, then the equivalence values.
    std::map<std::string, std::array<std::vector<double>, 6>> whole;
};

// The reference file's text, and reading it back; a line that does not parse
// is reported in `error` and reading stops.
std::string FormatReference(const Reference& reference);
Reference ParseReference(std::string_view text, std::string& error);

// The reference measured from the code: what the generator writes. A curve
// that does not load is reported in `error`.
Reference MeasureReference(std::string& error);

std::string ReferencePath();

}  // namespace kelm::test
