#include "link/PortMap.h"

#include "core/FileReader.h"

namespace kelm {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool StartsWithCom(std::string_view s) {
    if (s.size() < 3) {
        return false;
    }
    const auto upper = [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    };
    return upper(s[0]) == 'C' && upper(s[1]) == 'O' && upper(s[2]) == 'M';
}

}  // namespace

PortMap::PortMap() {
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        paths_[n] = "/dev/ttyS" + std::to_string(n - 1);
    }
}

PortMap PortMap::Load(const std::filesystem::path& path) {
    // A file that cannot be read, whatever the reason, leaves the defaults.
    const ReadResult read = ReadWholeFile(path);
    return read.status == ReadStatus::Read ? Parse(read.bytes) : PortMap();
}

PortMap PortMap::Parse(std::string_view text) {
    PortMap map;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view name = Trim(line.substr(0, equals));
        const std::string_view device = Trim(line.substr(equals + 1));
        // Exactly "COMn" with one digit 1..8.
        if (name.size() != 4 || !StartsWithCom(name) || name[3] < '1' || name[3] > '8' ||
            device.empty()) {
            continue;
        }
        map.paths_[name[3] - '0'] = std::string(device);
    }
    return map;
}

std::string_view PortMap::DevicePath(int port) const {
    if (port < kFirstPort || port > kLastPort) {
        return {};
    }
    return paths_[port];
}

}  // namespace kelm
