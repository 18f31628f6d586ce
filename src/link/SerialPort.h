// The serial port as one exchange with the instrument needs it. The exchange
// logic is written once against this interface; the Qt library provides the
// real port, and tests drive that real port against a simulator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kelm {

// The line and its limits. Everything is fixed: the instrument knows no other.
inline constexpr int kBaudRate = 9600;             // 8 data bits, no parity, 1 stop bit
inline constexpr int kReadIntervalTimeoutMs = 40;  // longest gap after a byte
inline constexpr int kReadTotalTimeoutMs = 200;    // from the start of one read
inline constexpr int kWriteTimeoutPerByteMs = 10;
inline constexpr int kWriteTimeoutConstantMs = 100;
inline constexpr int kPortBufferSize = 1032;  // capacity 1024 plus 8

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the device for reading and writing, exclusively, and discards any
    // bytes already waiting, so a late reply to an earlier request is never
    // taken for the next one. False when the device is absent or held.
    virtual bool Open(std::string_view devicePath) = 0;

    // Sets the line (9600 8N1, no flow control, DTR and RTS held off) and the
    // buffer size. Failures are ignored: a device without modem lines still
    // works, and a broken line shows up as a missing reply.
    virtual void Configure() = 0;

    // Writes all bytes, waiting at most 10 ms per byte plus 100 ms.
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;

    // Reads into `buffer` until it is full, 200 ms have passed since the call,
    // 40 ms have passed after a byte without the next one, or the device fails.
    // Returns the number of bytes read; the rest of the buffer is untouched.
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;

    // Closes the device; harmless when it is not open.
    virtual void Close() = 0;
};

}  // namespace kelm
