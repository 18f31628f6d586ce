// The COM numbers of the serial devices the system has. A number kelm.ports
// names is the file's. Every other device keeps the number it was given in an
// earlier run (the port memory), so the port a user picked keeps meaning the
// same adapter while others come and go, and a remembered adapter that is
// unplugged keeps its number for when it comes back. A device seen for the
// first time takes the lowest free number, USB adapters before built-in ports,
// so the one adapter of a new installation is COM1.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/PortMap.h"

namespace kelm {

struct SystemPort {
    std::string device;       // the device node, e.g. /dev/ttyUSB0
    std::string stableName;   // its /dev/serial/by-id/ link when it has one, else the node
    std::string description;  // e.g. "FT232R USB UART", or empty
    bool usb = false;
};

// The stable name of the device each number was given; empty for none.
using PortMemory = std::array<std::string, kLastPort + 1>;

// The memory from the values the profile stores for COM1..COM8 (`stored(n)`,
// empty where it has none). A value that names no device path, as a hand edit
// may, is no memory: it starts with "/", is shorter than the longest path and
// holds no zero byte (the system would end the path there and open another).
PortMemory ReadPortMemory(const std::function<std::string(int port)>& stored);

// The map of the file's ports `named` and the devices present in `system`.
// `memory` is brought up to date. When all eight numbers are taken, a newcomer
// takes the lowest number whose remembered device is away, except `keep` (the
// port the settings use), which always waits for its own device.
PortMap AssignPorts(const PortMap& named, std::vector<SystemPort> system, PortMemory& memory,
                    int keep);

// For each device that a link in `folder` names (the canonical path), the
// link; of several links the first by name. A missing folder gives none.
std::map<std::string, std::string> StableNames(
    const std::filesystem::path& folder = "/dev/serial/by-id");

// "ttyS2" before "ttyS10": runs of digits compare by their value.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace kelm
