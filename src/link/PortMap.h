// Which device each of COM1..COM8 is. The optional file "kelm.ports" in the
// current directory names devices in lines "COMn=/path/to/device"; the other
// numbers go to the serial devices the system has (PortAssignment.h). A number
// that nothing names has no device, and an exchange on it fails to open.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace kelm {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 8;
inline constexpr const char* kPortMapFileName = "kelm.ports";

struct PortEntry {
    std::string device;       // what is opened; empty: the number has no device
    std::string shown;        // the device as the port list shows it (links resolved)
    std::string description;  // what the system says the device is, or empty
    bool fromFile = false;    // named by kelm.ports
};

class PortMap {
public:
    // No port has a device.
    PortMap() = default;

    // The ports the file at `path` names; a missing or unreadable file names
    // none. Lines that do not name COM1..COM8 with a non-empty device without
    // a zero byte are ignored; of repeated lines the last counts.
    static PortMap Load(const std::filesystem::path& path = kPortMapFileName);

    // The same from the file's text. The devices are shown as written.
    static PortMap Parse(std::string_view text);

    // The device of port n, or empty when n is outside 1..8 or has none.
    std::string_view DevicePath(int port) const;

    // The whole entry of port n; an empty one outside 1..8.
    const PortEntry& Entry(int port) const;
    void Set(int port, PortEntry entry);

private:
    std::array<PortEntry, kLastPort + 1> entries_;
};

}  // namespace kelm
