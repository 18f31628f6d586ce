// The benchmarks' main, after the application object its benchmarks need has
// been made: runs what the command line selects, refusing unknown arguments.
#pragma once

#include <benchmark/benchmark.h>

namespace kelm::bench {

inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kelm::bench
