#include "LinkOptions.h"

#include <QCoreApplication>

#include <charconv>
#include <iostream>
#include <memory>
#include <string>

#include "ToolSupport.h"

namespace kelm::tool {

namespace {

bool ParseInt(std::string_view text, int low, int high, int& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && out >= low && out <= high;
}

}  // namespace

int ParseLinkOptions(Args args, std::string_view usage, LinkOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (IsHelp(arg)) {
            std::cout << usage;
            return kExitOk;
        }
        if (i + 1 >= args.size()) {
            PrintError("option " + std::string(arg) + " needs a value (see --help)");
            return kExitUsage;
        }
        const std::string_view value = args[++i];
        LinkSettings& s = options.settings;
        if (arg == "--port") {
            if (!ParseInt(value, 1, 8, s.comPort)) {
                PrintError("the port is a number 1..8");
                return kExitUsage;
            }
        } else if (arg == "--address") {
            if (!ParseInt(value, 0, 255, s.networkNumber)) {
                PrintError("the address is a number 0..255");
                return kExitUsage;
            }
        } else if (arg == "--channel") {
            // Channel 0 is accepted as the dialog accepts it; it has no code of
            // its own, so Z stays at its start value.
            if (!ParseInt(value, 0, 9, s.channel)) {
                PrintError("the channel is a number 0..9");
                return kExitUsage;
            }
            if (s.channel >= 1) {
                s.codeZ = 15 + s.channel;
            }
        } else if (arg == "--quantity") {
            if (value == "emf") {
                options.quantity = MeasuredQuantity::Emf;
            } else if (value == "ph") {
                options.quantity = MeasuredQuantity::Ph;
            } else if (value == "px") {
                options.quantity = MeasuredQuantity::Px;
            } else if (value == "conductivity") {
                options.quantity = MeasuredQuantity::Conductivity;
            } else {
                PrintError("the quantity is emf, ph, px or conductivity");
                return kExitUsage;
            }
            s.codeR = QuantityCodeR(options.quantity);
        } else {
            PrintError("unknown option " + std::string(arg) + " (see --help)");
            return kExitUsage;
        }
    }
    return -1;
}

void EnsureQtApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "kelmtool";
        static char* argv[] = {name, nullptr};
        static const auto app = std::make_unique<QCoreApplication>(argc, argv);
    }
}

}  // namespace kelm::tool
