// kelmtool read: one reading as an acquisition tick takes it.
#include <iostream>

#include "Commands.h"
#include "LinkOptions.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "link/InstrumentLink.h"
#include "link/ReadingFailure.h"
#include "link/qt/QtSerialPort.h"

namespace kelm::tool {

namespace {

// The result of one reading: a result of 0 without a value counts as 257.
ResultCode Reading(InstrumentLink& link, const LinkSettings& s, int r) {
    const ResultCode code = link.Exchange(s.networkNumber, kCommandRead, s.codeZ, r, 0);
    if (code == result::kOk && !link.ValueValid()) {
        return result::kPacketError;
    }
    return code;
}

}  // namespace

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
    link.SetPortNumber(options.settings.comPort);

    ResultCode code = Reading(link, options.settings, options.settings.codeR);
    const double value = link.Value();
    if (code == result::kOk && options.quantity != MeasuredQuantity::Emf) {
        code = Reading(link, options.settings, kREmf);
    }
    if (code != result::kOk) {
        std::cerr << Cp1251ToUtf8(ReadingFailureText(code).view()) << '\n';
        return kExitInstrumentFailed;
    }
    std::cout << JsonNumber(value) << '\n';
    return kExitOk;
}

}  // namespace kelm::tool
