// Saving and loading a result file of a 40-point record, and one number's
// text on its own: the result-file fuzz target runs these for every input.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/NumberText.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace {

constexpr int kPoints = 40;

std::unique_ptr<kelm::SharedState> Record() {
    auto state = std::make_unique<kelm::SharedState>();
    kelm::NewRecord(*state);
    kelm::ApplyStartDefaults(*state);
    state->record.quantity = kelm::MeasuredQuantity::Emf;
    state->record.pointCount = kPoints;
    for (int i = 0; i < kPoints; ++i) {
        const double v = 0.25 * i + 0.013;
        state->record.points[i] = {v, 350.0 - 300.0 * std::tanh(2.0 * (v - 5.0)) + 0.37 * i};
    }
    return state;
}

void BM_SaveRecord(benchmark::State& bench) {
    const auto state = Record();
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::SaveRecord(*state));
    }
}
BENCHMARK(BM_SaveRecord);

void BM_LoadRecord(benchmark::State& bench) {
    auto state = Record();
    const std::string bytes = kelm::SaveRecord(*state);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::LoadRecord(*state, bytes));
    }
}
BENCHMARK(BM_LoadRecord);

void BM_SignificantText(benchmark::State& bench) {
    double value = 123.456789012;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::SignificantText(value, 8));
        value += 0.001;
    }
}
BENCHMARK(BM_SignificantText);

void BM_FormatNumber(benchmark::State& bench) {
    double value = 123.456789012;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::FormatNumber(value, 2, false));
        value += 0.001;
    }
}
BENCHMARK(BM_FormatNumber);

}  // namespace

BENCHMARK_MAIN();
