// kelmtool ports: the serial ports that can be opened, as the program's port
// list shows them.
#include <iostream>

#include "Commands.h"
#include "LinkOptions.h"
#include "ToolSupport.h"
#include "link/InstrumentLink.h"
#include "link/qt/QtSerialPort.h"

namespace kelm::tool {

int RunPorts(Args args) {
    if (!args.empty()) {
        if (IsHelp(args[0])) {
            std::cout << "Usage: kelmtool ports\n\n"
                         "Lists the ports COM1..COM8 that can be opened, one line each: the\n"
                         "name, a tab and the device. Devices come from kelm.ports in the\n"
                         "current folder (lines COMn=/path); others are /dev/ttyS<n-1>.\n";
            return kExitOk;
        }
        PrintError("ports takes no arguments");
        return kExitUsage;
    }
    EnsureQtApplication();
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Load());
    link.FindPorts();
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        if (link.Presence()[n] != 0) {
            std::cout << "COM" << n << '\t' << link.DevicePath(n) << '\n';
        }
    }
    return kExitOk;
}

}  // namespace kelm::tool
