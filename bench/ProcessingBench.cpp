// One full processing run on 255 measured points with a 500-point grid, for
// each interpolation kind, filter and criterion, at the default filter
// strength and at the strongest.
#include <benchmark/benchmark.h>

#include "core/SharedState.h"
#include "processing/CurveFixtures.h"
#include "processing/Processing.h"

namespace {

void BM_ProcessingRun(benchmark::State& bench) {
    auto state = kelm::test::DiproticTitration();
    state->processing.interpolationKind = static_cast<kelm::InterpolationKind>(bench.range(0));
    state->processing.filterKind = static_cast<kelm::FilterKind>(bench.range(1));
    state->processing.criterion = static_cast<kelm::EndPointCriterion>(bench.range(2));
    state->processing.filterStrength = static_cast<int>(bench.range(3));
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::RunProcessing(*state));
        benchmark::ClobberMemory();
    }
    if (state->curve.equivalencePointCount == 0) {
        bench.SkipWithError("no equivalence point found");
    }
}

BENCHMARK(BM_ProcessingRun)
    ->ArgNames({"cubic", "polynomial", "extremum", "strength"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}, {5, 15}});

// The cubic, polynomial run at strength 5 with a search window around the
// second jump, and with a choice among the points as well: their cost over
// the plain run above (cubic:1/polynomial:1/.../strength:5) is the
// evaluation's, the notice's assessment included.
void BM_ProcessingRunWindowed(benchmark::State& bench) {
    auto state = kelm::test::DiproticTitration();
    state->processing.interpolationKind = kelm::InterpolationKind::CubicSpline;
    state->processing.filterKind = kelm::FilterKind::PolynomialSmoothing;
    state->processing.criterion = static_cast<kelm::EndPointCriterion>(bench.range(0));
    state->processing.filterStrength = 5;
    state->notes.evaluation.windowFrom = 12.0;
    state->notes.evaluation.windowTo = 22.0;
    if (bench.range(1) != 0) {
        state->notes.evaluation.choice = kelm::PointChoice::Greatest;
    }
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::RunProcessing(*state));
        benchmark::ClobberMemory();
    }
    if (state->curve.equivalencePointCount == 0) {
        bench.SkipWithError("no equivalence point found");
    }
}

BENCHMARK(BM_ProcessingRunWindowed)
    ->ArgNames({"extremum", "greatest"})
    ->ArgsProduct({{0, 1}, {0, 1}});

}  // namespace

BENCHMARK_MAIN();
