// The port list of the parameters dialog, which kelmtool ports prints too:
// the ports the last search opened and, marked with the reason, those whose
// device is there but could not be opened, each as "COMn" with its device and
// description. Texts are UTF-8.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/InstrumentLink.h"
#include "link/PortMap.h"
#include "link/PortProblem.h"

namespace kelm {

struct PortListEntry {
    int port = 0;         // the COM number
    std::string text;     // "COM1 — /dev/ttyUSB0 (FT232R USB UART)", then the mark
    PortProblem problem;  // kind None for a port that opened
};

struct PortList {
    std::vector<PortListEntry> entries;  // in COM order; entries[i].port is the port table
    int selected = 0;                    // the position of comPort, else 0 (the list may be empty)
};

using PortDiagnosis = std::function<PortProblem(std::string_view device)>;

PortList BuildPortList(
    const PortPresenceTable& presence, const PortMap& ports, int comPort,
    const PortDiagnosis& diagnose = [](std::string_view device) {
        return DiagnoseOpenFailure(device);
    });

// "COMn — device (description)"; without a device or a description, less.
std::string PortTitle(int port, const PortEntry& entry);

}  // namespace kelm
