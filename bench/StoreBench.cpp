// One save's entry in the history of results (a transaction of three
// results, made durable before it returns), and the results of a processed
// record with their texts.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "results/RecordResults.h"
#include "store/Store.h"

namespace {

void BM_HistoryTransaction(benchmark::State& bench) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kelm-bench-store";
    std::filesystem::remove_all(folder);
    kelm::Store store;
    if (!store.Open(folder / "kelm.db").Ok()) {
        bench.SkipWithError("no database");
        return;
    }
    const std::vector<kelm::HistoryEntry> entries(
        3, {"2026-12-09 10:00:00", "/data/hcl.kel", "HCl 1", 1, 20.0, 0.1, "mol/L", "NaOH", 1.0,
            "criterion=extremum"});
    for (auto _ : bench) {
        benchmark::DoNotOptimize(store.AddResults(entries).Ok());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_HistoryTransaction)->Unit(benchmark::kMicrosecond);

void BM_ResultsOfAProcessedRecord(benchmark::State& bench) {
    auto state = std::make_unique<kelm::SharedState>();
    kelm::NewRecord(*state);
    state->curve.curveProcessed = 1;
    state->curve.equivalencePointCount = 3;
    for (int k = 0; k < 3; ++k) {
        state->curve.equivalencePoints[k].volume = 5.0 + 7.5 * k;
    }
    state->notes.result.sampleAmount = 20.0;
    state->notes.result.concentration = 0.1;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(kelm::ResultTableText(*state, kelm::ComputePointResults(*state)));
    }
}
BENCHMARK(BM_ResultsOfAProcessedRecord);

}  // namespace

BENCHMARK_MAIN();
