// kelmtool check: the connection check of the program, printed.
#include <iostream>

#include "Commands.h"
#include "LinkOptions.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "link/ConnectionCheck.h"
#include "link/InstrumentLink.h"
#include "link/qt/QtSerialPort.h"

namespace kelm::tool {

int RunCheck(Args args) {
    LinkOptions options;
    const int status =
        ParseLinkOptions(args,
                         "Usage: kelmtool check [--port N] [--address A] [--channel C]\n"
                         "                      [--quantity emf|ph|px|conductivity]\n\n"
                         "Identifies the instrument and tries one reading of the quantity,\n"
                         "then prints the report of the program's connection check.\n"
                         "Exit status 0 when the instrument was found and the reading\n"
                         "succeeded, 3 otherwise (as read).\n"
                         "Defaults: port 1 (COM1), address 0, channel 1, emf.\n",
                         options);
    if (status >= 0) {
        return status;
    }
    EnsureQtApplication();
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Load());
    const ConnectionCheckResult check =
        RunConnectionCheck(link, options.settings, options.quantity);
    std::cout << Cp1251ToUtf8(check.report) << '\n';
    return check.Passed() ? kExitOk : kExitInstrumentFailed;
}

}  // namespace kelm::tool
