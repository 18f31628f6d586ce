// The instrument's request/reply frames: building a request, judging a reply
// and decoding its data. Pure functions on byte buffers; no port is touched.
#pragma once

#include <cstdint>
#include <span>

#include "core/FixedText.h"

namespace kelm {

// The result of one exchange: 0 success, 1..255 the instrument's error code,
// 256 and up the link's own failures.
using ResultCode = int;

namespace result {
inline constexpr ResultCode kOk = 0;
inline constexpr ResultCode kDataFormat = 2;   // the instrument: invalid data format
inline constexpr ResultCode kNoParameter = 3;  // the instrument: parameter not described
inline constexpr ResultCode kNotReady = 4;     // the instrument: data not ready
inline constexpr ResultCode kInstrumentFault = 255;
inline constexpr ResultCode kNoReply = 256;
inline constexpr ResultCode kPacketError = 257;
inline constexpr ResultCode kPortNotOpened = 258;
}  // namespace result

inline constexpr int kLinkCapacity = 1024;                  // largest body a reply may declare
inline constexpr int kFrameBufferSize = kLinkCapacity + 8;  // also the port's buffer size
inline constexpr int kHeaderSize = 4;                       // start, address, length
inline constexpr int kTextCapacity = 1024;

inline constexpr std::uint8_t kCommandRead = 0x10;
inline constexpr std::uint8_t kErrorReplyStatus = 0x40;
inline constexpr int kFirstMeasurementZ = 0x10;  // Z below this selects a text parameter
inline constexpr int kNumericReplyLength = 13;

// The selectors of the parameters the program reads.
inline constexpr int kZModel = 0x00;
inline constexpr int kZSoftwareDate = 0x01;
inline constexpr int kZMaker = 0x02;
inline constexpr int kREmf = 0x10;
inline constexpr int kRPh = 0x30;  // pH and pX share it
inline constexpr int kRConductivity = 0x40;

using LinkText = FixedText<kTextCapacity>;

// 8-bit sum of the bytes.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

// Writes the request into `frame` and returns its length, data.size() + 8.
// Integer fields keep their low 8 bits. `frame` must hold data.size() + 8 bytes.
int BuildRequest(std::span<std::uint8_t> frame, int address, int command, int z, int r,
                 std::span<const std::uint8_t> data);

// Declared length L of a header (bytes 2 and 3, low byte first).
int DeclaredLength(std::span<const std::uint8_t> header);

// Whether the body of a reply declaring L is read at all.
inline bool BodyWanted(int declaredLength) {
    return declaredLength > 0 && declaredLength < kLinkCapacity;
}

// Judges the bytes received for a request (header and body as they arrived):
// 256 when nothing or a declared length of 0 arrived; 257 for a partial header,
// a declared length below 4 or of 1024 and more, a truncated body, a checksum
// mismatch, a foreign start byte or address, a Z or R that is not echoed, and
// an error reply without an error code; the error code of an error reply;
// 0 for a valid normal reply. Only received bytes are ever looked at.
ResultCode CheckReply(std::span<const std::uint8_t> received, int address, int z, int r);

// The data bytes of a checked reply: from offset 7 up to the checksum.
std::span<const std::uint8_t> ReplyData(std::span<const std::uint8_t> reply);

// A checked normal reply decoded by the form its Z, R and length select.
struct DecodedReply {
    bool valueValid = false;
    double value = 0.0;
    bool textValid = false;
};

// Decodes `reply` (checked, result 0): a 13-byte reply to a measurement request
// gives its single-precision value (a non-finite one counts as no value); a
// reply to a text request gives its data bytes in `text`, bytes below 0x20 as
// spaces; any other reply gives neither.
DecodedReply DecodeReply(std::span<const std::uint8_t> reply, int z, int r, LinkText& text);

}  // namespace kelm
