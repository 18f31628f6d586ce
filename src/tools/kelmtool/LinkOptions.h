// What the instrument commands (ports, check, read) share: their options and
// the application object the serial port needs.
#pragma once

#include <string_view>

#include "Commands.h"
#include "core/SharedState.h"

namespace kelm::tool {

// The exit status of check and read when the instrument was not found or
// its reading failed.
inline constexpr int kExitInstrumentFailed = 3;

struct LinkOptions {
    LinkSettings settings;  // COM1, address 0, channel 1, codes for EMF
    MeasuredQuantity quantity = MeasuredQuantity::Emf;
};

// Reads --port N, --address A, --channel C and --quantity emf|ph|px|conductivity,
// deriving codeZ and codeR as the parameters dialog does. Returns kExitOk after
// printing the help, kExitUsage after a bad option, -1 to go on.
int ParseLinkOptions(Args args, std::string_view usage, LinkOptions& options);

// Makes the Qt application object the serial port relies on, unless one exists.
void EnsureQtApplication();

}  // namespace kelm::tool
