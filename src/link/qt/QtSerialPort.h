// The serial port on QSerialPort: the real port of the program and the tool.
#pragma once

#include <QSerialPort>

#include "link/SerialPort.h"

namespace kelm {

class QtSerialPort final : public SerialPort {
public:
    bool Open(std::string_view devicePath) override;
    void Configure() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    void Close() override;

private:
    QSerialPort port_;
};

}  // namespace kelm
