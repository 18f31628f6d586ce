#include "link/qt/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QString>

#include "link/PortProblem.h"

namespace kelm {

bool QtSerialPort::Open(std::string_view devicePath) {
    port_.close();
    // QSerialPort holds a lock file named after the device (/run/lock/LCK..name)
    // and sets TIOCEXCL, so a device in use by another program or another port
    // object fails to open. The lock is named after the path it is given: the
    // device's real name, links resolved, is what every path to it shares.
    const QString given =
        QString::fromUtf8(devicePath.data(), static_cast<qsizetype>(devicePath.size()));
    const QString real = QFileInfo(given).canonicalFilePath();
    port_.setPortName(real.isEmpty() ? given : real);
    // QSerialPort reads whatever stands at the lock file's name: a FIFO put
    // there would keep the open waiting for ever.
    if (ForeignLockFile(port_.portName().toStdString(), lockFolders_)) {
        return false;
    }
    if (!port_.open(QIODevice::ReadWrite)) {
        return false;
    }
    port_.clear();
    return true;
}

void QtSerialPort::Configure() {
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal or an adapter without modem lines refuses these.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.setReadBufferSize(kPortBufferSize);
    port_.clearError();
}

void QtSerialPort::Write(std::span<const std::uint8_t> bytes) {
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    const int limit =
        kWriteTimeoutPerByteMs * static_cast<int>(bytes.size()) + kWriteTimeoutConstantMs;
    QDeadlineTimer deadline(limit);
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
    }
}

std::size_t QtSerialPort::Read(std::span<std::uint8_t> buffer) {
    const QDeadlineTimer total(kReadTotalTimeoutMs, Qt::PreciseTimer);
    QDeadlineTimer interval = total;
    std::size_t got = 0;
    while (got < buffer.size()) {
        const qint64 n = port_.read(reinterpret_cast<char*>(buffer.data() + got),
                                    static_cast<qint64>(buffer.size() - got));
        if (n < 0) {
            break;
        }
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            interval = QDeadlineTimer(kReadIntervalTimeoutMs, Qt::PreciseTimer);
            continue;
        }
        // The interval limit applies only once a byte has arrived.
        const QDeadlineTimer& limit = (got > 0 && interval < total) ? interval : total;
        const qint64 remaining = limit.remainingTime();
        if (remaining <= 0) {
            break;
        }
        if (!port_.waitForReadyRead(static_cast<int>(remaining)) &&
            port_.error() != QSerialPort::TimeoutError && port_.error() != QSerialPort::NoError) {
            break;  // the device failed or vanished
        }
    }
    return got;
}

void QtSerialPort::Close() {
    port_.close();
    port_.clearError();
}

}  // namespace kelm
