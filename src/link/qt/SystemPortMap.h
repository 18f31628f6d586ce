// The port map of the program and of kelmtool: the ports kelm.ports names,
// then the serial devices the system has (Qt's serial port information, with
// their /dev/serial/by-id/ names), each keeping the COM number it was given in
// the per-user profile (group "Ports", keys "COM1".."COM8"), so both show the
// same map in every run.
#pragma once

#include <filesystem>
#include <vector>

#include "link/PortAssignment.h"
#include "link/PortMap.h"

namespace kelm {

std::vector<SystemPort> ListSystemPorts();

PortMemory LoadPortMemory();
void SavePortMemory(const PortMemory& memory);

// The whole map; the profile is written when a device got a new number.
// `keep` is the port the settings use: its device never loses its number.
PortMap LoadPortMap(int keep, const std::filesystem::path& file = kPortMapFileName);

}  // namespace kelm
