// One full processing run on 255 measured points with a 500-point grid, for
// each interpolation kind, filter and criterion.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/SharedState.h"
#include "processing/Processing.h"

namespace {

std::unique_ptr<kelm::SharedState> Titration() {
    auto state = std::make_unique<kelm::SharedState>();
    kelm::NewRecord(*state);
    state->record.quantity = kelm::MeasuredQuantity::Ph;
    state->record.pointCount = kelm::kMaxPoints;
    for (int i = 0; i < kelm::kMaxPoints; ++i) {
        const double v = 0.1 * i;
        // Two jumps and a little measurement noise, as a diprotic acid gives.
        const double noise = 0.01 * std::sin(17.0 * i);
        state->record.points[i] = {
            v, 4.0 + 2.0 * std::tanh(3.0 * (v - 8.0)) + 3.0 * std::tanh(3.0 * (v - 17.0)) + noise};
    }
    state->processing.autoPointCount = 0;
    state->processing.interpolationPointCount = kelm::kMaxGridPoints;
    state->processing.endValuePh = 7.0;
    return state;
}

void BM_ProcessingRun(benchmark::State& bench) {
    auto state = Titration();
    state->processing.interpolationKind = static_cast<kelm::InterpolationKind>(bench.range(0));
    state->processing.filterKind = static_cast<kelm::FilterKind>(bench.range(1));
    state->processing.criterion = static_cast<kelm::EndPointCriterion>(bench.range(2));
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::RunProcessing(*state));
        benchmark::ClobberMemory();
    }
    if (state->curve.equivalencePointCount == 0) {
        bench.SkipWithError("no equivalence point found");
    }
}

BENCHMARK(BM_ProcessingRun)
    ->ArgNames({"cubic", "polynomial", "extremum"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}});

// The same cubic, polynomial run with a search window around the second jump
// and a choice among the points: its cost over the plain run above is the
// evaluation's, including the notice's assessment.
void BM_ProcessingRunWindowed(benchmark::State& bench) {
    auto state = Titration();
    state->processing.criterion = static_cast<kelm::EndPointCriterion>(bench.range(0));
    state->notes.evaluation.windowFrom = 12.0;
    state->notes.evaluation.windowTo = 22.0;
    state->notes.evaluation.choice = kelm::PointChoice::Greatest;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::RunProcessing(*state));
        benchmark::ClobberMemory();
    }
    if (state->curve.equivalencePointCount == 0) {
        bench.SkipWithError("no equivalence point found");
    }
}

BENCHMARK(BM_ProcessingRunWindowed)->ArgName("extremum")->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
