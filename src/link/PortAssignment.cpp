#include "link/PortAssignment.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace kelm {

namespace {

// The longest path the system opens, with its terminating zero.
constexpr std::size_t kPathCapacity = 4096;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

PortEntry EntryOf(const SystemPort& port) {
    // Opened by its stable name, so the number follows the adapter even when
    // the kernel gives it another node between the listing and the exchange.
    return {port.stableName, port.device, port.description, false};
}

// The file's port that names this device, or 0.
int FilePortOf(const PortMap& named, const SystemPort& port) {
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const PortEntry& e = named.Entry(n);
        if (!e.device.empty() &&
            (e.shown == port.device || e.device == port.device || e.device == port.stableName)) {
            return n;
        }
    }
    return 0;
}

void Forget(PortMemory& memory, const std::string& stableName) {
    for (std::string& remembered : memory) {
        if (remembered == stableName) {
            remembered.clear();
        }
    }
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && IsDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && IsDigit(b[j])) {
                ++j;
            }
            std::string_view runA = a.substr(startA, i - startA);
            std::string_view runB = b.substr(startB, j - startB);
            // Leading zeros do not make a number larger.
            while (runA.size() > 1 && runA.front() == '0') {
                runA.remove_prefix(1);
            }
            while (runB.size() > 1 && runB.front() == '0') {
                runB.remove_prefix(1);
            }
            if (runA.size() != runB.size()) {
                return runA.size() < runB.size();
            }
            if (runA != runB) {
                return runA < runB;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

PortMemory ReadPortMemory(const std::function<std::string(int port)>& stored) {
    PortMemory memory;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        std::string value = stored(n);
        if (value.size() > 1 && value.size() < kPathCapacity && value.front() == '/' &&
            value.find('\0') == std::string::npos) {
            memory[n] = std::move(value);
        }
    }
    return memory;
}

PortMap AssignPorts(const PortMap& named, std::vector<SystemPort> system, PortMemory& memory,
                    int keep) {
    PortMap map;
    std::array<bool, kLastPort + 1> fileNamed{};
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        if (!named.DevicePath(n).empty()) {
            map.Set(n, named.Entry(n));
            fileNamed[n] = true;
        }
    }
    // A hand-edited memory may name a device twice: the lower number keeps it.
    memory[0].clear();
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        for (int m = kFirstPort; m < n; ++m) {
            if (!memory[n].empty() && memory[n] == memory[m]) {
                memory[n].clear();
            }
        }
    }

    // A device the file names is the file's: it takes no second number, and
    // the system's description of it is shown with the file's entry.
    std::vector<SystemPort> unnamed;
    for (SystemPort& port : system) {
        if (const int n = FilePortOf(named, port); n != 0) {
            PortEntry entry = map.Entry(n);
            if (entry.description.empty()) {
                entry.description = port.description;
            }
            map.Set(n, std::move(entry));
            Forget(memory, port.stableName);
        } else {
            unnamed.push_back(std::move(port));
        }
    }
    std::stable_sort(unnamed.begin(), unnamed.end(), [](const SystemPort& a, const SystemPort& b) {
        if (a.usb != b.usb) {
            return a.usb;
        }
        return NaturalLess(a.stableName, b.stableName);
    });

    // Remembered devices take their numbers back; one that is away keeps its
    // number, so the port fails to open rather than reach another device.
    std::array<bool, kLastPort + 1> present{};
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        if (fileNamed[n] || memory[n].empty()) {
            continue;
        }
        const auto found = std::find_if(unnamed.begin(), unnamed.end(), [&](const SystemPort& p) {
            return p.stableName == memory[n];
        });
        if (found != unnamed.end()) {
            map.Set(n, EntryOf(*found));
            present[n] = true;
            unnamed.erase(found);
        } else {
            map.Set(n, {memory[n], memory[n], {}, false});
        }
    }

    // Newcomers: the lowest free number, else the lowest one whose device is away.
    for (const SystemPort& port : unnamed) {
        int chosen = 0;
        for (int n = kFirstPort; n <= kLastPort && chosen == 0; ++n) {
            if (!fileNamed[n] && memory[n].empty()) {
                chosen = n;
            }
        }
        for (int n = kFirstPort; n <= kLastPort && chosen == 0; ++n) {
            if (!fileNamed[n] && !present[n] && n != keep) {
                chosen = n;
            }
        }
        if (chosen == 0) {
            break;  // more devices than numbers
        }
        Forget(memory, port.stableName);
        memory[chosen] = port.stableName;
        map.Set(chosen, EntryOf(port));
        present[chosen] = true;
    }
    return map;
}

std::map<std::string, std::string> StableNames(const std::filesystem::path& folder) {
    std::map<std::string, std::string> names;
    std::error_code ec;
    // Stepped with error codes: the folder changes as adapters come and go.
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code linkError;
        const std::filesystem::path device = std::filesystem::canonical(it->path(), linkError);
        if (linkError) {
            continue;  // a dangling link: its device is gone
        }
        const std::string name = it->path().string();
        auto [slot, added] = names.emplace(device.string(), name);
        if (!added && name < slot->second) {
            slot->second = name;
        }
    }
    return names;
}

}  // namespace kelm
