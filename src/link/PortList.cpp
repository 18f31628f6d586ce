#include "link/PortList.h"

namespace kelm {

std::string PortTitle(int port, const PortEntry& entry) {
    std::string text = "COM" + std::to_string(port);
    if (!entry.shown.empty()) {
        text += " — " + entry.shown;
    }
    if (!entry.description.empty()) {
        text += " (" + entry.description + ")";
    }
    return text;
}

PortList BuildPortList(const PortPresenceTable& presence, const PortMap& ports, int comPort,
                       const PortDiagnosis& diagnose) {
    PortList list;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const PortEntry& entry = ports.Entry(n);
        PortListEntry item{n, PortTitle(n, entry), {}};
        if (presence[n] == 0) {
            if (entry.device.empty()) {
                continue;
            }
            item.problem = diagnose(entry.device);
            // A device that is not there is no port to choose.
            if (item.problem.kind == PortProblemKind::Gone ||
                item.problem.kind == PortProblemKind::NoDevice ||
                item.problem.kind == PortProblemKind::None) {
                continue;
            }
            item.text += " — " + item.problem.mark;
        }
        if (n == comPort) {
            list.selected = static_cast<int>(list.entries.size());
        }
        list.entries.push_back(std::move(item));
    }
    return list;
}

}  // namespace kelm
