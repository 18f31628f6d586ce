// How the equivalence points found on a curve are evaluated: where they are
// searched for and which of them are reported, and what the last run has to
// say about it. Plain data, so the record, the processing and the tool share it
// without depending on each other.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace kelm {

// Which of the points found are reported.
enum class PointChoice : std::uint8_t {
    All,       // every point found (the default)
    Greatest,  // the largest |first derivative|
    First,
    Last,
    GreatestN,  // the `count` greatest, reported in volume order
};

inline constexpr double kOpenEnd = std::numeric_limits<double>::infinity();
inline constexpr int kMaxChoiceCount = 250;  // no search keeps more points

struct EvaluationSettings {
    // The search window in mL; an infinite end is an open one.
    double windowFrom = -kOpenEnd;
    double windowTo = kOpenEnd;
    PointChoice choice = PointChoice::All;
    int count = 1;  // used by GreatestN only, 1..kMaxChoiceCount

    bool HasWindow() const { return windowFrom != -kOpenEnd || windowTo != kOpenEnd; }
    bool Contains(double volume) const { return windowFrom <= volume && volume <= windowTo; }
    bool IsDefault() const { return !HasWindow() && choice == PointChoice::All; }
    // How many points the choice reports at most; 0 for all of them.
    int Expected() const {
        switch (choice) {
            case PointChoice::All:
                return 0;
            case PointChoice::GreatestN:
                return count;
            default:
                return 1;
        }
    }
    friend bool operator==(const EvaluationSettings&, const EvaluationSettings&) = default;
};

// What a run found doubtful about its evaluation, as numbers; the window and
// the tool word it. Every volume is in mL.
struct EvaluationOutcome {
    EvaluationSettings applied;  // the settings the run used
    int foundCount = 0;          // points the search found, before the choice

    // No point was found: where the curve is steepest and whether that lies
    // outside the range searched, and a window that finds the steepest jump
    // the range holds (an open end stays infinite).
    bool noPoint = false;
    double steepestVolume = 0.0;
    bool steepestOutside = false;
    double searchedFrom = 0.0;
    double searchedTo = 0.0;
    // Where points are searched without a window: all but the first and the
    // last measured interval.
    double searchableFrom = 0.0;
    double searchableTo = 0.0;
    bool windowSuggested = false;
    double suggestedFrom = -kOpenEnd;
    double suggestedTo = kOpenEnd;
    double jumpVolume = 0.0;
    // The end-value criterion: the first crossing of the end value outside
    // the window, when the window holds none.
    bool crossingOutside = false;
    double crossingVolume = 0.0;

    // A reported point within one measured interval of an edge of the window.
    bool nearEdge = false;
    double nearEdgeVolume = 0.0;
    double edgeVolume = 0.0;

    // The volumes of the first points the choice left out.
    static constexpr int kLeftOutShown = 4;
    int leftOutCount = 0;
    std::array<double, kLeftOutShown> leftOut{};

    // A reported point whose value lies outside the values measured around
    // it: the interpolated curve overshoots there, so the point is no jump.
    bool valueOutside = false;
    double outsideVolume = 0.0;
    double outsideValue = 0.0;
    double measuredLow = 0.0;
    double measuredHigh = 0.0;

    bool HasNotice() const { return noPoint || nearEdge || leftOutCount > 0 || valueOutside; }
};

}  // namespace kelm
