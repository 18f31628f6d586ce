// One exchange with the simulated meter through the real port code: open,
// configure, write 8 bytes, read 13, close. At 9600 baud the bytes alone take
// 21 × 10 bits / 9600 ≈ 21.9 ms; the paced case shows what the port adds.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <string>

#include "PtySimulator.h"
#include "link/ConnectionCheck.h"
#include "link/InstrumentLink.h"
#include "link/qt/QtSerialPort.h"
#include "link/qt/SystemPortMap.h"

namespace {

// The simulated meter on a pseudo-terminal as COM1, and a link to it.
struct MeterOnCom1 {
    explicit MeterOnCom1(const kelm::sim::InstrumentConfig& config)
        : simulator(config, kelm::sim::SampleConfig{}),
          started(simulator.Start(error)),
          link(port, kelm::PortMap::Parse("COM1=" + simulator.DevicePath())) {}
    kelm::sim::PtySimulator simulator;
    std::string error;
    bool started;
    kelm::QtSerialPort port;
    kelm::InstrumentLink link;
};

void Exchange(benchmark::State& state) {
    kelm::sim::InstrumentConfig config;
    config.pace = state.range(0) != 0;
    MeterOnCom1 meter(config);
    if (!meter.started) {
        state.SkipWithError(meter.error.c_str());
        return;
    }
    kelm::InstrumentLink& link = meter.link;
    for (auto _ : state) {
        if (link.Exchange(0, 0x10, 0x10, 0x10, 0) != kelm::result::kOk) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetLabel(config.pace ? "paced at 9600 baud" : "unpaced");
}
BENCHMARK(Exchange)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The connection check as the check dialog runs it: the three identification
// requests and the trial reading of a meter that answers, and the one model
// request that times out when nothing answers. Bounded by the exchanges'
// time-outs: about 4 x 22 ms paced, and the 200 ms header read when silent.
void Check(benchmark::State& state) {
    kelm::sim::InstrumentConfig config;
    config.fault = state.range(0) != 0 ? kelm::sim::Fault::None : kelm::sim::Fault::Silent;
    MeterOnCom1 meter(config);
    if (!meter.started) {
        state.SkipWithError(meter.error.c_str());
        return;
    }
    kelm::InstrumentLink& link = meter.link;
    const kelm::LinkSettings settings;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            kelm::RunConnectionCheck(link, settings, kelm::MeasuredQuantity::Emf));
    }
    state.SetLabel(state.range(0) != 0 ? "meter answers" : "nothing answers");
}
BENCHMARK(Check)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The system's serial devices as each opening of the parameters or check
// dialog lists them.
void ListPorts(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelm::ListSystemPorts());
    }
}
BENCHMARK(ListPorts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
