// kelmtool read: one reading as an acquisition tick takes it.
#include <iostream>

#include "Commands.h"
#include "LinkOptions.h"
#include "ToolSupport.h"
#include "acquisition/TickReading.h"
#include "core/Cp1251.h"
#include "link/InstrumentLink.h"
#include "link/ReadingFailure.h"
#include "link/qt/QtSerialPort.h"

namespace kelm::tool {

int RunRead(Args args) {
    LinkOptions options;
    const int status =
        ParseLinkOptions(args,
                         "Usage: kelmtool read [--port N] [--address A] [--channel C]\n"
                         "                     [--quantity emf|ph|px|conductivity]\n\n"
                         "Reads the quantity once and prints its value. For pH, pX and\n"
                         "conductivity the channel's EMF is read as well, as during a\n"
                         "titration. On failure prints the reason on stderr, exit status 3.\n"
                         "Defaults: port 1 (COM1), address 0, channel 1, emf.\n",
                         options);
    if (status >= 0) {
        return status;
    }
    EnsureQtApplication();
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Load());
    const TickReading tick = ReadTick(link, options.settings, options.quantity);
    if (!tick.Valid()) {
        std::cerr << Cp1251ToUtf8(ReadingFailureText(tick.Failure()).view()) << '\n';
        return kExitInstrumentFailed;
    }
    std::cout << JsonNumber(tick.value) << '\n';
    return kExitOk;
}

}  // namespace kelm::tool
