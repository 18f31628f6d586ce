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

// The same record with the sample and titrant data in its readable block.
std::unique_ptr<kelm::SharedState> RecordWithResultData() {
    auto state = Record();
    kelm::ResultSettings& r = state->notes.result;
    kelm::SetName(r.sampleName, "HCl 1");
    kelm::SetName(r.titrantName, "NaOH");
    r.sampleAmount = 20.0;
    r.concentration = 0.1;
    r.titer = 0.99542043363;
    r.blank = 0.02;
    return state;
}

void BM_SaveRecordWithResultData(benchmark::State& bench) {
    const auto state = RecordWithResultData();
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::SaveRecord(*state));
    }
}
BENCHMARK(BM_SaveRecordWithResultData);

void BM_LoadRecordWithResultData(benchmark::State& bench) {
    auto state = RecordWithResultData();
    const std::string bytes = kelm::SaveRecord(*state);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::LoadRecord(*state, bytes));
    }
}
BENCHMARK(BM_LoadRecordWithResultData);

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
