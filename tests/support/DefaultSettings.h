// The settings file a first start writes when nothing changes: every field of
// the settings table at its start value, byte for byte.
#pragma once

#include <string>

namespace kelm::test {

inline std::string DefaultSettingsBytes() {
    std::string bytes = "0064";       // format mark 100
    bytes += "00010000000100100010";  // COM1, net 0, channel 1, Z 16, R 16
    bytes += "0000001E03E8";          // manual, 30 s, 1.000 mV/min
    bytes += "0000025801F4";          // layout not saved, 600 x 500
    for (int i = 0; i < 10; ++i) {
        bytes += "0064";  // column widths 100
    }
    bytes += std::string(10 * 16, '0');  // record slots: never chosen
    bytes += "0032006400C80001";         // preferred: points (50,100,200)
    bytes += "0032006400320001";         // curve (50,100,50)
    bytes += "00FF000000000001";         // equivalence points (255,0,0)
    bytes += std::string(7 * 16, '0');   // slots 13..19
    return bytes + "0000";               // decimal point
}

}  // namespace kelm::test
