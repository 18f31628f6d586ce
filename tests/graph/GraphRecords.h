// Records for the drawing tests: a fresh state with the given points.
#pragma once

#include <memory>
#include <vector>

#include "core/SharedState.h"

namespace kelm::test {

inline std::unique_ptr<SharedState> Record(std::vector<CurvePoint> points,
                                           MeasuredQuantity q = MeasuredQuantity::Emf) {
    auto s = std::make_unique<SharedState>();
    NewRecord(*s);
    ApplyStartDefaults(*s);
    s->record.quantity = q;
    s->record.pointCount = static_cast<int>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        s->record.points[i] = points[i];
    }
    return s;
}

}  // namespace kelm::test
