// The port numbers the profile remembers, read by the program's own rule and
// given to the assignment with the system's devices and kelm.ports. The input
// is text, so that seeds read as what they test:
//
//     2                          the port the settings use (the first line's number)
//     /dev/serial/by-id/usb-a    what the profile stores for COM1 .. COM8, a line each
//     ...
//     u ttyUSB0 usb-a            the system's devices, a line each: "u" for a USB
//     s ttyS0                    adapter, the node, the by-id name (else the node)
//     [kelm.ports]
//     COM4=/dev/pts/3            the rest: kelm.ports
//
// Never a crash; after the assignment the memory names no device twice, names
// only devices that were remembered or are present, and reads back from the
// profile as it was saved; the port the settings use waits for its own device;
// and a second run with the same devices changes nothing.
#include <algorithm>
#include <charconv>
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

std::string_view NextLine(std::string_view& text) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return line;
}

// A system has a handful of serial devices: with twice as many as there are
// numbers every path of the assignment is taken, and more only cost time.
constexpr std::size_t kMaxSystemPorts = 2 * kelm::kLastPort;

// The system lists device nodes: paths under /dev, no zero byte in them.
bool ReadSystemPort(std::string_view line, kelm::SystemPort& port) {
    if (line.size() < 2 || line.size() > 100 || line.find('\0') != std::string_view::npos) {
        return false;
    }
    port.usb = line.front() == 'u';
    line.remove_prefix(2);
    const std::size_t space = line.find(' ');
    port.device = "/dev/" + std::string(line.substr(0, space));
    port.stableName = space == std::string_view::npos
                          ? port.device
                          : "/dev/serial/by-id/" + std::string(line.substr(space + 1));
    port.description = port.usb ? "USB" : "";
    return true;
}

bool SameDevices(const kelm::PortMap& a, const kelm::PortMap& b) {
    for (int n = kelm::kFirstPort; n <= kelm::kLastPort; ++n) {
        if (a.DevicePath(n) != b.DevicePath(n)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view keepLine = NextLine(text);
    int keep = 0;
    std::from_chars(keepLine.data(), keepLine.data() + keepLine.size(), keep);
    std::string_view stored[kelm::kLastPort + 1];
    for (int n = kelm::kFirstPort; n <= kelm::kLastPort; ++n) {
        stored[n] = NextLine(text);
    }
    static std::vector<kelm::SystemPort> system;
    system.clear();
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        if (line == "[kelm.ports]") {
            break;
        }
        // Each device once, as the system lists them.
        kelm::SystemPort port;
        if (system.size() < kMaxSystemPorts && ReadSystemPort(line, port) &&
            std::none_of(system.begin(), system.end(), [&](const kelm::SystemPort& p) {
                return p.stableName == port.stableName || p.device == port.device;
            })) {
            system.push_back(std::move(port));
        }
    }
    const kelm::PortMap named = kelm::PortMap::Parse(text);

    const kelm::PortMemory before =
        kelm::ReadPortMemory([&](int n) { return std::string(stored[n]); });
    kelm::PortMemory memory = before;
    const kelm::PortMap map = kelm::AssignPorts(named, system, memory, keep);

    const auto present = [&](const std::string& name) {
        return std::any_of(system.begin(), system.end(),
                           [&](const kelm::SystemPort& p) { return p.stableName == name; });
    };
    Require(memory[0].empty());
    for (int n = kelm::kFirstPort; n <= kelm::kLastPort; ++n) {
        if (memory[n].empty()) {
            continue;
        }
        Require(std::count(memory.begin(), memory.end(), memory[n]) == 1);
        Require(std::count(before.begin(), before.end(), memory[n]) > 0 || present(memory[n]));
    }
    // Saved as it is and read back by the same rule, the memory is the same.
    Require(kelm::ReadPortMemory([&](int n) { return memory[n]; }) == memory);

    if (keep >= kelm::kFirstPort && keep <= kelm::kLastPort && named.DevicePath(keep).empty() &&
        !before[keep].empty() && !present(before[keep]) &&
        std::find(before.begin(), before.begin() + keep, before[keep]) == before.begin() + keep) {
        Require(map.DevicePath(keep) == before[keep] && memory[keep] == before[keep]);
    }

    kelm::PortMemory second = memory;
    Require(SameDevices(kelm::AssignPorts(named, system, second, keep), map) && second == memory);
    return 0;
}
