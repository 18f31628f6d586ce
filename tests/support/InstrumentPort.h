// A serial port in the test's own process whose far end is the simulator's
// meter model: every request written is answered at once, at the time the
// test's clock gives, so acquisition runs in test time with no device.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "Instrument.h"
#include "support/AnsweringPort.h"

namespace kelm::test {

class InstrumentPort final : public AnsweringPort {
public:
    // `nowS` is the meter's time in seconds; `device` the one path that opens.
    InstrumentPort(sim::Instrument& meter, std::function<double()> nowS,
                   std::string device = "/dev/sim-meter")
        : AnsweringPort(
              [&meter, nowS = std::move(nowS)](std::span<const std::uint8_t> request) {
                  return meter.Answer(request, nowS());
              },
              std::move(device)) {}
};

// A meter without noise that answers at once: every reading is exact.
inline sim::InstrumentConfig QuietMeter() {
    sim::InstrumentConfig config;
    config.noiseMv = 0;
    config.pace = false;
    return config;
}

}  // namespace kelm::test
