// Any bytes from the line, judged and decoded as a reply: never a read outside
// the bytes received, never a crash.
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/Protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose the request's Z and R.
    const int z = data[0];
    const int r = data[1];
    const std::span<const std::uint8_t> received(data + 2, size - 2);
    if (kelm::CheckReply(received, received.size() > 1 ? received[1] : 0, z, r) ==
        kelm::result::kOk) {
        kelm::LinkText text;
        const std::size_t total = static_cast<std::size_t>(kelm::DeclaredLength(received)) + 4;
        kelm::DecodeReply(received.first(total), z, r, text);
    }
    return 0;
}
