// A serial port in the test's own process whose far end is the simulator's
// meter model: every request written is answered at once, at the time the
// test's clock gives, so acquisition runs in test time with no device.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Instrument.h"
#include "link/SerialPort.h"

namespace kelm::test {

class InstrumentPort final : public SerialPort {
public:
    // `nowS` is the meter's time in seconds; `device` the one path that opens.
    InstrumentPort(sim::Instrument& meter, std::function<double()> nowS,
                   std::string device = "/dev/sim-meter")
        : meter_(meter), nowS_(std::move(nowS)), device_(std::move(device)) {}

    bool Open(std::string_view devicePath) override {
        open_ = present && devicePath == device_;
        reply_.clear();
        return open_;
    }
    void Configure() override {}
    void Write(std::span<const std::uint8_t> bytes) override {
        if (open_) {
            ++requests;
            reply_ = meter_.Answer(bytes, nowS_());
            read_ = 0;
        }
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min(buffer.size(), reply_.size() - read_);
        std::copy_n(reply_.begin() + std::ptrdiff_t(read_), n, buffer.begin());
        read_ += n;
        return n;
    }
    void Close() override { open_ = false; }

    const std::string& Device() const { return device_; }

    bool present = true;  // false: the adapter is unplugged, nothing opens
    int requests = 0;     // requests written so far

private:
    sim::Instrument& meter_;
    std::function<double()> nowS_;
    std::string device_;
    std::vector<std::uint8_t> reply_;
    std::size_t read_ = 0;
    bool open_ = false;
};

}  // namespace kelm::test
