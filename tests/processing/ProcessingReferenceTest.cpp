// The processing gives the kept results to the bit, for every curve and every
// combination of settings: a faster computation must not move a single bit.
#include <gtest/gtest.h>

#include <bit>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>

#include "ProcessingReference.h"

namespace kelm::test {
namespace {

const Reference& KeptReference() {
    static const Reference reference = [] {
        std::ifstream in(ReferencePath(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        std::string error;
        Reference r = ParseReference(text, error);
        EXPECT_TRUE(error.empty()) << ReferencePath() << ": " << error;
        EXPECT_FALSE(r.lines.empty()) << ReferencePath() << " holds no case";
        return r;
    }();
    return reference;
}

constexpr int kMostReportedDifferences = 20;

std::string EntryText(const char* array, int entry) {
    if (std::string_view(array) == "equivalencePoints") {
        constexpr std::array<const char*, 3> field = {"volume", "value", "derivative"};
        return "point " + std::to_string(entry / 3) + " " + field[entry % 3];
    }
    return "index " + std::to_string(entry);
}

std::string Difference(const char* array, const Fingerprint& kept, std::span<const double> now) {
    const int entry = DifferingEntry(kept, FingerprintOf(now), static_cast<int>(now.size()));
    std::ostringstream text;
    text << array << " differs at ";
    if (entry < 0) {
        text << "more than one entry";
    } else {
        text << EntryText(array, entry) << " (now " << std::setprecision(17) << now[entry] << ")";
    }
    return text.str();
}

class UnchangedToTheBit : public ::testing::TestWithParam<std::string> {};

TEST_P(UnchangedToTheBit, EveryGridArrayAndEquivalencePointOfEveryCombination) {
    const std::string& name = GetParam();
    const auto curve = ReferenceCurve(name);
    ASSERT_NE(curve, nullptr) << name << " does not load";
    const Reference& reference = KeptReference();
    auto run = std::make_unique<SharedState>();
    int reported = 0;
    for (const ReferenceSettings& settings : AllReferenceSettings()) {
        const std::string key = CaseKey(name, settings);
        const auto kept = reference.lines.find(key);
        ASSERT_NE(kept, reference.lines.end()) << key << " is not in the reference";
        for (std::size_t c = 0; c < kCriteria.size() && reported < kMostReportedDifferences; ++c) {
            const std::string where = key + (c == 0 ? " given: " : " extremum: ");
            const ReferenceLine& line = kept->second;
            const int result = RunCase(*curve, settings, kCriteria[c], *run);
            std::vector<std::string> differences;
            if (run->processing.interpolationPointCount != line.gridCount) {
                differences.push_back("grid count " +
                                      std::to_string(run->processing.interpolationPointCount));
            }
            const auto arrays = GridArrays(*run);
            for (std::size_t a = 0; a < arrays.size(); ++a) {
                if (FingerprintOf(arrays[a]) != line.arrays[a]) {
                    differences.push_back(
                        Difference(kGridArrayNames[a], line.arrays[a], arrays[a]));
                }
            }
            const CriterionOutcome& outcome = line.outcome[c];
            if (result != outcome.result ||
                run->curve.equivalencePointCount != outcome.pointCount) {
                differences.push_back("result " + std::to_string(result) + " with " +
                                      std::to_string(run->curve.equivalencePointCount) + " points");
            } else {
                const std::vector<double> points = EquivalenceValues(*run);
                if (FingerprintOf(points) != outcome.points) {
                    differences.push_back(Difference("equivalencePoints", outcome.points, points));
                }
            }
            for (const std::string& d : differences) {
                ADD_FAILURE() << where << d;
                ++reported;
            }
        }
    }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) {
            ch = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(ExamplesAndTestCurves, UnchangedToTheBit,
                         ::testing::ValuesIn(ReferenceCurveNames()), TestName);

TEST(ProcessingReference, HoldsExactlyTheCasesThatAreRun) {
    EXPECT_EQ(KeptReference().lines.size(),
              ReferenceCurveNames().size() * AllReferenceSettings().size());
    EXPECT_EQ(KeptReference().whole.size(), WholeRuns().size());
}

// A few runs are kept whole, so that a difference shows with its values.
TEST(ProcessingReference, RunsKeptWholeAreEqualEntryByEntry) {
    auto run = std::make_unique<SharedState>();
    for (const WholeRun& w : WholeRuns()) {
        const auto kept = KeptReference().whole.find(WholeRunKey(w));
        ASSERT_NE(kept, KeptReference().whole.end()) << WholeRunKey(w);
        const auto curve = ReferenceCurve(w.curve);
        ASSERT_NE(curve, nullptr) << w.curve;
        RunCase(*curve, w.settings, w.criterion, *run);
        const auto grid = GridArrays(*run);
        const std::vector<double> points = EquivalenceValues(*run);
        for (std::size_t a = 0; a < kept->second.size(); ++a) {
            const std::span<const double> now = a < grid.size() ? grid[a] : points;
            const char* name = a < grid.size() ? kGridArrayNames[a] : "equivalencePoints";
            const std::vector<double>& values = kept->second[a];
            ASSERT_EQ(now.size(), values.size()) << WholeRunKey(w) << " " << name;
            for (std::size_t i = 0; i < now.size(); ++i) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(now[i]),
                          std::bit_cast<std::uint64_t>(values[i]))
                    << std::setprecision(17) << WholeRunKey(w) << ": " << name << " at "
                    << EntryText(name, static_cast<int>(i)) << " is " << now[i] << ", kept "
                    << values[i];
            }
        }
    }
}

// The fingerprint names the one entry that changed, and says so when more did.
TEST(Fingerprint, NamesTheOneChangedEntryOrNone) {
    struct Case {
        int size;
        std::vector<int> changed;
        int named;
    };
    const Case cases[] = {
        {10, {3}, 3}, {500, {0}, 0},     {500, {499}, 499},
        {1, {0}, 0},  {500, {7, 8}, -1}, {500, {0, 250, 499}, -1},
        {40, {}, -1},
    };
    for (const Case& c : cases) {
        std::vector<double> before(c.size);
        for (int i = 0; i < c.size; ++i) {
            before[i] = 0.125 * i - 3.0;
        }
        std::vector<double> after = before;
        for (int i : c.changed) {
            after[i] = std::nextafter(after[i], 1e300);  // the last bit only
        }
        EXPECT_EQ(FingerprintOf(before) == FingerprintOf(after), c.changed.empty())
            << "size " << c.size;
        EXPECT_EQ(DifferingEntry(FingerprintOf(before), FingerprintOf(after), c.size), c.named)
            << "size " << c.size;
    }
    // The sign of a zero is a bit like any other.
    EXPECT_NE(FingerprintOf(std::vector{0.0}), FingerprintOf(std::vector{-0.0}));
}

}  // namespace
}  // namespace kelm::test
