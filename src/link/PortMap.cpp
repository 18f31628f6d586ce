#include "link/PortMap.h"

#include <system_error>
#include <utility>

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

PortMap PortMap::Load(const std::filesystem::path& path) {
    // A file that cannot be read, whatever the reason, leaves the defaults.
    const ReadResult read = ReadWholeFile(path);
    if (read.status != ReadStatus::Read) {
        return {};
    }
    PortMap map = Parse(read.bytes);
    // A link (a by-id name, kelm-sim's --link) is shown as the device it names.
    std::error_code ec;
    for (PortEntry& entry : map.entries_) {
        if (!entry.device.empty()) {
            const std::filesystem::path real = std::filesystem::canonical(entry.device, ec);
            if (!ec) {
                entry.shown = real.string();
            }
        }
    }
    return map;
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
        // Exactly "COMn" with one digit 1..8, and a device the system can
        // open: at a zero byte it would end the path and open another.
        if (name.size() != 4 || !StartsWithCom(name) || name[3] < '1' || name[3] > '8' ||
            device.empty() || device.find('\0') != std::string_view::npos) {
            continue;
        }
        PortEntry& entry = map.entries_[name[3] - '0'];
        entry.device = std::string(device);
        entry.shown = entry.device;
        entry.fromFile = true;
    }
    return map;
}

std::string_view PortMap::DevicePath(int port) const {
    return Entry(port).device;
}

const PortEntry& PortMap::Entry(int port) const {
    static const PortEntry kNone;
    if (port < kFirstPort || port > kLastPort) {
        return kNone;
    }
    return entries_[port];
}

void PortMap::Set(int port, PortEntry entry) {
    if (port >= kFirstPort && port <= kLastPort) {
        entries_[port] = std::move(entry);
    }
}

}  // namespace kelm
