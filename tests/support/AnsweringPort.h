// A serial port in the process whose far end is a function: every request
// written is answered at once with what the function returns, so the link
// code runs without a device or a wire.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "link/Protocol.h"
#include "link/SerialPort.h"

namespace kelm::test {

class AnsweringPort : public SerialPort {
public:
    using Answer = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t> request)>;

    // `device` is the one path that opens.
    AnsweringPort(Answer answer, std::string device = "/dev/sim-meter")
        : answer_(std::move(answer)), device_(std::move(device)) {}

    bool Open(std::string_view devicePath) override {
        open_ = present && devicePath == device_;
        reply_.clear();
        return open_;
    }
    void Configure() override {}
    void Write(std::span<const std::uint8_t> bytes) override {
        if (open_) {
            ++requests;
            reply_ = answer_(bytes);
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
    Answer answer_;
    std::string device_;
    std::vector<std::uint8_t> reply_;
    std::size_t read_ = 0;
    bool open_ = false;
};

// A measurement reply as the meter sends it: the value in single precision
// and the reserved fifth byte.
inline std::vector<std::uint8_t> MeasurementReply(int address, int z, int r, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    std::vector<std::uint8_t> frame = {0x00,
                                       static_cast<std::uint8_t>(address),
                                       9,
                                       0,
                                       kCommandRead,
                                       static_cast<std::uint8_t>(z),
                                       static_cast<std::uint8_t>(r),
                                       static_cast<std::uint8_t>(bits),
                                       static_cast<std::uint8_t>(bits >> 8),
                                       static_cast<std::uint8_t>(bits >> 16),
                                       static_cast<std::uint8_t>(bits >> 24),
                                       0};
    frame.push_back(Checksum(frame));
    return frame;
}

}  // namespace kelm::test
