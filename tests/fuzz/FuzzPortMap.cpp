// kelm.ports on arbitrary bytes: never a crash or a read outside the input;
// only COM1..COM8 have devices, each as the file wrote it, trimmed, on one line
// and without a zero byte; the map written as a file reads back the same; and
// in the assignment of the system's devices the file's numbers stay the file's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "link/PortAssignment.h"
#include "link/PortMap.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A system of two adapters and a built-in port, with one adapter remembered.
const std::vector<kelm::SystemPort> kSystem = {
    {"/dev/ttyUSB0", "/dev/serial/by-id/usb-a", "USB UART", true},
    {"/dev/ttyUSB1", "/dev/serial/by-id/usb-b", "", true},
    {"/dev/ttyS0", "/dev/ttyS0", "", false},
};

kelm::PortMemory Remembered() {
    kelm::PortMemory memory;
    memory[2] = "/dev/serial/by-id/usb-b";
    memory[5] = "/dev/serial/by-id/away";
    return memory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::string written;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const kelm::PortMap map = kelm::PortMap::Parse(text);
    written.clear();
    for (int n = kelm::kFirstPort - 1; n <= kelm::kLastPort + 1; ++n) {
        const kelm::PortEntry& entry = map.Entry(n);
        if (entry.device.empty()) {
            Require(!entry.fromFile);
            continue;
        }
        const std::string& device = entry.device;
        Require(n >= kelm::kFirstPort && n <= kelm::kLastPort && entry.fromFile &&
                entry.shown == device && !IsBlank(device.front()) && !IsBlank(device.back()) &&
                device.find_first_of(std::string_view("\n\0", 2)) == std::string::npos);
        written += "COM" + std::to_string(n) + " = " + device + "\r\n";
    }
    const kelm::PortMap again = kelm::PortMap::Parse(written);
    for (int n = kelm::kFirstPort; n <= kelm::kLastPort; ++n) {
        Require(again.DevicePath(n) == map.DevicePath(n));
    }

    // A device the file names takes no second number.
    const auto fileNames = [&](const kelm::SystemPort& port) {
        for (int n = kelm::kFirstPort; n <= kelm::kLastPort; ++n) {
            const std::string_view device = map.DevicePath(n);
            if (!device.empty() && (device == port.device || device == port.stableName)) {
                return true;
            }
        }
        return false;
    };
    kelm::PortMemory memory = Remembered();
    const kelm::PortMap assigned = kelm::AssignPorts(map, kSystem, memory, 2);
    for (int n = kelm::kFirstPort; n <= kelm::kLastPort; ++n) {
        if (!map.DevicePath(n).empty()) {
            Require(assigned.DevicePath(n) == map.DevicePath(n) && assigned.Entry(n).fromFile);
            continue;
        }
        for (const kelm::SystemPort& port : kSystem) {
            Require(assigned.DevicePath(n) != port.stableName || !fileNames(port));
        }
    }
    return 0;
}
