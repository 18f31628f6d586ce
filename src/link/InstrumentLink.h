// The link to the instrument: one self-contained exchange (open, configure,
// write the request, read the reply, close), the search for present ports and
// the identification of the instrument. All buffers are fixed arrays, so an
// exchange allocates nothing; the port itself is given by the owner.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/SerialPort.h"

namespace kelm {

// Entry 0: number of ports found by the last search; entry n: 1 when COMn opened.
using PortPresenceTable = std::array<int, kLastPort + 1>;

class InstrumentLink {
public:
    // `port` must outlive the link; `ports` is copied.
    InstrumentLink(SerialPort& port, const PortMap& ports);

    // The port (1..8) of the next exchange; another number fails with 258.
    void SetPortNumber(int port) { portNumber_ = port; }
    int PortNumber() const { return portNumber_; }
    // The devices of the next exchanges, when adapters came or went.
    void SetPortMap(const PortMap& ports) { ports_ = ports; }

    // Payload a request carries after its R byte (up to 1024 bytes).
    std::span<std::uint8_t> RequestData() { return {requestData_.data(), kLinkCapacity}; }

    // One request and its reply on the current port. dataLength bytes of
    // RequestData() are sent (clamped to 0..1024).
    ResultCode Exchange(int address, int command, int z, int r, int dataLength);

    // Results of the last exchange.
    ResultCode LastResult() const { return lastResult_; }
    bool ValueValid() const { return valueValid_; }
    double Value() const { return value_; }
    bool TextValid() const { return textValid_; }
    std::string_view Text() const { return text_.view(); }  // code page 1251
    // The bytes received, header included; for a valid reply the whole frame.
    std::span<const std::uint8_t> Reply() const { return {reply_.data(), replyLength_}; }
    std::span<const std::uint8_t> Request() const { return {request_.data(), requestLength_}; }

    // Tries to open each of COM1..COM8 (nothing is written or configured) and
    // returns how many opened; the table keeps which.
    int FindPorts();
    const PortPresenceTable& Presence() const { return presence_; }
    std::string_view DevicePath(int port) const { return ports_.DevicePath(port); }

    // Asks for the model, the software date and the maker. Returns the result
    // of the model request; only that decides success. On success the date and
    // the maker are refilled (empty when their request failed).
    ResultCode Identify(int port, int address);
    std::string_view ModelName() const { return model_.view(); }    // code page 1251
    std::string_view SoftwareDate() const { return date_.view(); }  // code page 1251
    std::string_view Maker() const { return maker_.view(); }        // code page 1251

private:
    ResultCode RunExchange(int address, int command, int z, int r, int dataLength);

    SerialPort& port_;
    PortMap ports_;
    std::array<std::uint8_t, kFrameBufferSize> request_{};
    std::array<std::uint8_t, kFrameBufferSize> requestData_{};
    std::array<std::uint8_t, kFrameBufferSize> reply_{};
    std::size_t requestLength_ = 0;
    std::size_t replyLength_ = 0;
    int portNumber_ = 1;
    ResultCode lastResult_ = result::kOk;
    double value_ = 0.0;
    bool valueValid_ = false;
    LinkText text_;
    bool textValid_ = false;
    PortPresenceTable presence_{};
    LinkText model_;
    LinkText date_;
    LinkText maker_;
};

}  // namespace kelm
