// kelmtool ports: the serial ports that can be opened, as the program's port
// list shows them, and why the others that are there cannot.
#include <iostream>

#include "Commands.h"
#include "LinkOptions.h"
#include "ToolSupport.h"
#include "core/SettingsFile.h"
#include "link/InstrumentLink.h"
#include "link/PortList.h"
#include "link/qt/QtSerialPort.h"
#include "link/qt/SystemPortMap.h"

namespace kelm::tool {

int RunPorts(Args args) {
    if (!args.empty()) {
        if (IsHelp(args[0])) {
            std::cout << "Usage: kelmtool ports\n\n"
                         "Lists the ports COM1..COM8 that can be opened, one line each: the\n"
                         "name, a tab, the device, and a tab and its description when the\n"
                         "system gives one. A port whose device is there but cannot be opened\n"
                         "is told on stderr with the reason. Devices come from kelm.ports in\n"
                         "the current folder (lines COMn=/path); the other numbers go to the\n"
                         "serial devices the system has, USB adapters first, and each device\n"
                         "keeps its number in later runs; the port that kelm.cfg in the\n"
                         "current folder uses keeps its device, as in kelm.\n";
            return kExitOk;
        }
        PrintError("ports takes no arguments");
        return kExitUsage;
    }
    EnsureQtApplication();
    // The map kelm shows here: its settings' port never loses its device.
    SharedState state;
    InitFreshState(state);
    LoadSettings(state);
    QtSerialPort port;
    const PortMap ports = LoadPortMap(state.link.comPort);
    InstrumentLink link(port, ports);
    link.FindPorts();
    for (const PortListEntry& item : BuildPortList(link.Presence(), ports, 0).entries) {
        const PortEntry& entry = ports.Entry(item.port);
        if (item.problem.kind != PortProblemKind::None) {
            std::cerr << "COM" << item.port << ": " << item.problem.text << '\n';
            continue;
        }
        std::cout << "COM" << item.port << '\t' << entry.shown;
        if (!entry.description.empty()) {
            std::cout << '\t' << entry.description;
        }
        std::cout << '\n';
    }
    return kExitOk;
}

}  // namespace kelm::tool
