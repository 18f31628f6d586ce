#include "link/qt/SystemPortMap.h"

#include <QSerialPortInfo>
#include <QSettings>
#include <system_error>

#include "core/Profile.h"

namespace kelm {

namespace {

constexpr char kGroup[] = "Ports";

QString Key(int port) {
    return QStringLiteral("COM%1").arg(port);
}

}  // namespace

std::vector<SystemPort> ListSystemPorts() {
    const std::map<std::string, std::string> stableNames = StableNames();
    std::vector<SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPort port;
        port.device = info.systemLocation().toStdString();
        std::error_code ec;
        const std::filesystem::path real = std::filesystem::canonical(port.device, ec);
        const auto stable = stableNames.find(ec ? port.device : real.string());
        port.stableName = stable != stableNames.end() ? stable->second : port.device;
        const QString description =
            info.description().isEmpty() ? info.manufacturer() : info.description();
        port.description = description.toStdString();
        port.usb = info.hasVendorIdentifier() || stable != stableNames.end();
        ports.push_back(std::move(port));
    }
    return ports;
}

PortMemory LoadPortMemory() {
    QSettings settings(kProfileOrganisation, kProfileApplication);
    settings.beginGroup(kGroup);
    return ReadPortMemory([&](int n) { return settings.value(Key(n)).toString().toStdString(); });
}

void SavePortMemory(const PortMemory& memory) {
    QSettings settings(kProfileOrganisation, kProfileApplication);
    settings.beginGroup(kGroup);
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        if (memory[n].empty()) {
            settings.remove(Key(n));
        } else {
            settings.setValue(Key(n), QString::fromStdString(memory[n]));
        }
    }
}

PortMap LoadPortMap(int keep, const std::filesystem::path& file) {
    const PortMemory before = LoadPortMemory();
    PortMemory memory = before;
    PortMap map = AssignPorts(PortMap::Load(file), ListSystemPorts(), memory, keep);
    if (memory != before) {
        SavePortMemory(memory);
    }
    return map;
}

}  // namespace kelm
