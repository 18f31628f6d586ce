// Which device each of COM1..COM8 is. The optional file "kelm.ports" in the
// current directory names devices in lines "COMn=/path/to/device"; a port it
// does not name is /dev/ttyS<n-1>.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace kelm {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 8;
inline constexpr const char* kPortMapFileName = "kelm.ports";

class PortMap {
public:
    // Every port at its default device.
    PortMap();

    // The defaults overridden by the file at `path`; a missing or unreadable
    // file leaves the defaults. Lines that do not name COM1..COM8 with a
    // non-empty device are ignored; of repeated lines the last counts.
    static PortMap Load(const std::filesystem::path& path = kPortMapFileName);

    // The same from the file's text.
    static PortMap Parse(std::string_view text);

    // The device of port n, or empty when n is outside 1..8.
    std::string_view DevicePath(int port) const;

private:
    std::array<std::string, kLastPort + 1> paths_;
};

}  // namespace kelm
