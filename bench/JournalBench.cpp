// Keeping a full record in the journal of unsaved titrations: the whole file
// written through a temporary file, flushed and renamed, as after each point.
// The folder is the state folder's file system unless KELM_BENCH_JOURNAL names one.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/Journal.h"
#include "core/SharedState.h"

namespace {

std::unique_ptr<kelm::SharedState> FullRecord() {
    auto state = std::make_unique<kelm::SharedState>();
    kelm::NewRecord(*state);
    state->record.pointCount = kelm::kMaxPoints;
    for (int i = 0; i < kelm::kMaxPoints; ++i) {
        state->record.points[i] = {0.05 * i + 0.0123456,
                                   350.0 * std::tanh(0.2 * (i - 128)) + 0.01 * i};
    }
    std::fill_n(state->record.description.begin(), kelm::kMaxDescriptionLength, '\xC0');
    state->curve.curveProcessed = 1;
    state->curve.equivalencePointCount = 3;
    return state;
}

std::filesystem::path BenchFolder() {
    if (const char* folder = std::getenv("KELM_BENCH_JOURNAL")) {
        return folder;
    }
    const std::filesystem::path state = kelm::DefaultJournalFolder();
    return (state.empty() ? std::filesystem::temp_directory_path() : state.parent_path()) /
           "bench-journal";
}

void BM_KeepFullRecord(benchmark::State& bench) {
    const auto state = FullRecord();
    const std::filesystem::path folder = BenchFolder();
    {
        kelm::Journal journal(folder);
        for (auto _ : bench) {
            state->record.points[0].value += 1e-3;  // a change each time
            if (journal.Keep(*state) != kelm::Journal::Write::Written) {
                bench.SkipWithError("the journal could not be written");
                break;
            }
        }
        journal.EndSaved();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_KeepFullRecord)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
