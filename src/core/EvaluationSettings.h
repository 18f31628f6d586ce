// How the equivalence points found on a curve are evaluated: where they are
// searched for and which of them are reported. Plain data, so the record, the
// processing and the tool share it without depending on each other.
#pragma once

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

struct EvaluationSettings {
    // The search window in mL; an infinite end is an open one.
    double windowFrom = -std::numeric_limits<double>::infinity();
    double windowTo = std::numeric_limits<double>::infinity();
    PointChoice choice = PointChoice::All;
    int count = 1;  // used by GreatestN only, at least 1

    bool HasWindow() const {
        return windowFrom != -std::numeric_limits<double>::infinity() ||
               windowTo != std::numeric_limits<double>::infinity();
    }
    bool IsDefault() const { return !HasWindow() && choice == PointChoice::All; }
    friend bool operator==(const EvaluationSettings&, const EvaluationSettings&) = default;
};

}  // namespace kelm
