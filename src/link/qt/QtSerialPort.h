// The serial port on QSerialPort: the real port of the program and the tool.
#pragma once

#include <QSerialPort>

#include <string>
#include <vector>

#include "link/PortProblem.h"
#include "link/SerialPort.h"

namespace kelm {

class QtSerialPort final : public SerialPort {
public:
    // `lockFolders`: where the lock files of serial ports are looked at.
    explicit QtSerialPort(std::vector<std::string> lockFolders = SystemLockFolders())
        : lockFolders_(std::move(lockFolders)) {}

    bool Open(std::string_view devicePath) override;
    void Configure() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    void Close() override;

private:
    std::vector<std::string> lockFolders_;
    QSerialPort port_;
};

}  // namespace kelm
