#include "LinkOptions.h"

#include <QCoreApplication>

#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "ToolSupport.h"

namespace kelm::tool {

namespace {

// Reads one number option into `field`; false after saying what is wrong.
bool ReadNumber(const ParsedArgs& parsed, std::string_view option, int low, int high,
                std::string_view what, std::int32_t& field) {
    const std::optional<std::string_view> word = parsed.Value(option);
    if (!word) {
        return true;
    }
    const std::optional<int> value = ParseIntInRange(*word, low, high);
    if (!value) {
        PrintError("the " + std::string(what) + " is a number " + std::to_string(low) + ".." +
                   std::to_string(high));
        return false;
    }
    field = *value;
    return true;
}

std::optional<MeasuredQuantity> QuantityOf(std::string_view word) {
    if (word == "emf") {
        return MeasuredQuantity::Emf;
    }
    if (word == "ph") {
        return MeasuredQuantity::Ph;
    }
    if (word == "px") {
        return MeasuredQuantity::Px;
    }
    if (word == "conductivity") {
        return MeasuredQuantity::Conductivity;
    }
    return std::nullopt;
}

}  // namespace

int ParseLinkOptions(Args args, std::string_view usage, LinkOptions& options) {
    const std::optional<ParsedArgs> parsed =
        ParseArgs(args, {"--port", "--address", "--channel", "--quantity"});
    if (!parsed) {
        return kExitUsage;
    }
    if (parsed->help) {
        std::cout << usage;
        return kExitOk;
    }
    if (!parsed->positional.empty()) {
        PrintError("unexpected word " + std::string(parsed->positional[0]) + " (see --help)");
        return kExitUsage;
    }
    LinkSettings& s = options.settings;
    // Channel 0 is accepted as the dialog accepts it.
    std::int32_t channel = s.channel;
    if (!ReadNumber(*parsed, "--port", 1, 8, "port", s.comPort) ||
        !ReadNumber(*parsed, "--address", 0, 255, "address", s.networkNumber) ||
        !ReadNumber(*parsed, "--channel", 0, 9, "channel", channel)) {
        return kExitUsage;
    }
    SetChannel(s, channel);
    if (const std::optional<std::string_view> word = parsed->Value("--quantity")) {
        const std::optional<MeasuredQuantity> quantity = QuantityOf(*word);
        if (!quantity) {
            PrintError("the quantity is emf, ph, px or conductivity");
            return kExitUsage;
        }
        options.quantity = *quantity;
        s.codeR = QuantityCodeR(options.quantity);
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
