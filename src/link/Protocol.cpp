#include "link/Protocol.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace kelm {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    return static_cast<std::uint8_t>(sum & 0xFF);
}

int BuildRequest(std::span<std::uint8_t> frame, int address, int command, int z, int r,
                 std::span<const std::uint8_t> data) {
    const auto low = [](int v) { return static_cast<std::uint8_t>(v & 0xFF); };
    const int n = static_cast<int>(data.size());
    frame[0] = 0x00;
    frame[1] = low(address);
    frame[2] = low(n + 4);
    frame[3] = low((n + 4) >> 8);
    frame[4] = low(command);
    frame[5] = low(z);
    frame[6] = low(r);
    std::copy(data.begin(), data.end(), frame.begin() + 7);
    frame[7 + n] = Checksum(frame.first(7 + n));
    return n + 8;
}

int DeclaredLength(std::span<const std::uint8_t> header) {
    return header[2] + 256 * header[3];
}

ResultCode CheckReply(std::span<const std::uint8_t> received, int address, int z, int r) {
    if (received.empty()) {
        return result::kNoReply;
    }
    if (received.size() < kHeaderSize) {
        return result::kPacketError;
    }
    const int declared = DeclaredLength(received);
    if (declared == 0) {
        return result::kNoReply;
    }
    // Below 4 there is no room for command, Z, R and checksum; from the
    // capacity on, the body was never read and cannot be verified.
    if (declared < 4 || declared >= kLinkCapacity) {
        return result::kPacketError;
    }
    const std::size_t total = static_cast<std::size_t>(declared) + kHeaderSize;
    if (received.size() < total) {
        return result::kPacketError;
    }
    const std::span<const std::uint8_t> frame = received.first(total);
    if (Checksum(frame.first(total - 1)) != frame[total - 1]) {
        return result::kPacketError;
    }
    if (frame[0] != 0x00 || frame[1] != (address & 0xFF)) {
        return result::kPacketError;
    }
    if (frame[5] != (z & 0xFF) || frame[6] != (r & 0xFF)) {
        return result::kPacketError;
    }
    if (frame[4] == kErrorReplyStatus) {
        // An error reply must carry its code as a data byte, and a code of 0
        // would read as success.
        const std::span<const std::uint8_t> data = ReplyData(frame);
        if (data.empty() || data[0] == 0) {
            return result::kPacketError;
        }
        return data[0];
    }
    return result::kOk;
}

std::span<const std::uint8_t> ReplyData(std::span<const std::uint8_t> reply) {
    if (reply.size() < 8) {
        return {};
    }
    return reply.subspan(7, reply.size() - 8);
}

DecodedReply DecodeReply(std::span<const std::uint8_t> reply, int z, int r, LinkText& text) {
    DecodedReply decoded;
    z &= 0xFF;
    r &= 0xFF;
    const int length = static_cast<int>(reply.size());
    if (z >= kFirstMeasurementZ && r != 0 && length == kNumericReplyLength) {
        std::uint32_t bits = 0;
        for (int i = 3; i >= 0; --i) {
            bits = (bits << 8) | reply[7 + i];
        }
        const double value = std::bit_cast<float>(bits);
        if (std::isfinite(value)) {
            decoded.value = value;
            decoded.valueValid = true;
        }
    } else if (z < kFirstMeasurementZ && r == 0 && length > 7) {
        text.Clear();
        for (std::uint8_t b : ReplyData(reply)) {
            text.Append(b < 0x20 ? ' ' : static_cast<char>(b));
        }
        decoded.textValid = true;
    }
    return decoded;
}

}  // namespace kelm
