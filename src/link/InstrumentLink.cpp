#include "link/InstrumentLink.h"

#include <algorithm>

#include "core/Cp1251.h"

namespace kelm {

namespace {

constexpr Cp1251Literal kGalPrefix("ГАЛ-");
constexpr Cp1251Literal kBriPrefix("БРИ-");
constexpr Cp1251Literal kDarensMaker("НПП ДАРЕНС");

// The data bytes in order, zero bytes left out.
void AppendNonZero(LinkText& out, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) {
        if (b != 0) {
            out.Append(static_cast<char>(b));
        }
    }
}

bool StartsWith(std::span<const std::uint8_t> data, std::string_view prefix) {
    return data.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), data.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

bool AllDigits(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](std::uint8_t b) { return b >= '0' && b <= '9'; });
}

}  // namespace

InstrumentLink::InstrumentLink(SerialPort& port, const PortMap& ports)
    : port_(port), ports_(ports) {}

ResultCode InstrumentLink::Exchange(int address, int command, int z, int r, int dataLength) {
    lastResult_ = RunExchange(address, command, z, r, dataLength);
    return lastResult_;
}

ResultCode InstrumentLink::RunExchange(int address, int command, int z, int r, int dataLength) {
    valueValid_ = false;
    textValid_ = false;
    const int n = std::clamp(dataLength, 0, kLinkCapacity);
    requestLength_ = static_cast<std::size_t>(
        BuildRequest(request_, address, command, z, r, std::span(requestData_).first(n)));

    const std::string_view device = ports_.DevicePath(portNumber_);
    if (device.empty() || !port_.Open(device)) {
        return result::kPortNotOpened;
    }
    port_.Configure();
    std::fill(reply_.begin(), reply_.end(), 0);
    replyLength_ = 0;
    port_.Write(Request());

    std::size_t received = port_.Read(std::span(reply_).first(kHeaderSize));
    if (received == kHeaderSize) {
        const int declared = DeclaredLength(reply_);
        if (BodyWanted(declared)) {
            received += port_.Read(std::span(reply_).subspan(kHeaderSize, declared));
        }
    }
    port_.Close();

    replyLength_ = received;
    const ResultCode code = CheckReply(Reply(), address, z, r);
    if (code != result::kOk) {
        return code;
    }
    const DecodedReply decoded = DecodeReply(Reply(), z, r, text_);
    valueValid_ = decoded.valueValid;
    value_ = decoded.value;
    textValid_ = decoded.textValid;
    return result::kOk;
}

int InstrumentLink::FindPorts() {
    presence_.fill(0);
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const std::string_view device = ports_.DevicePath(n);
        if (!device.empty() && port_.Open(device)) {
            presence_[n] = 1;
            ++presence_[0];
            port_.Close();
        }
    }
    return presence_[0];
}

ResultCode InstrumentLink::Identify(int port, int address) {
    SetPortNumber(port);
    const ResultCode first = Exchange(address, kCommandRead, kZModel, 0, 0);
    if (first != result::kOk) {
        return first;
    }
    // Fixed positions are data positions: the checksum and whatever lies
    // beyond the reply are never compared.
    std::span<const std::uint8_t> data = ReplyData(Reply());
    model_.Clear();
    if (StartsWith(data, "GAL") || StartsWith(data, "BRI")) {
        const bool gal = data[0] == 'G';
        model_.Append(gal ? kGalPrefix.view() : kBriPrefix.view());
        AppendNonZero(model_, data.subspan(3, std::min<std::size_t>(3, data.size() - 3)));
        if (gal && data.size() >= 7 && data[6] == '1') {
            model_.Append("-1");
        }
    } else {
        AppendNonZero(model_, data);
    }

    // A failed date request also empties the maker, so a repeated check never
    // shows the maker of an earlier instrument.
    date_.Clear();
    maker_.Clear();
    if (Exchange(address, kCommandRead, kZSoftwareDate, 0, 0) != result::kOk) {
        return result::kOk;
    }
    data = ReplyData(Reply());
    if (data.size() == 6 && AllDigits(data)) {
        date_.Append(std::string_view(reinterpret_cast<const char*>(data.data()), 2));
        date_.Append('.');
        date_.Append(std::string_view(reinterpret_cast<const char*>(data.data()) + 2, 2));
        date_.Append('.');
        date_.Append(std::string_view(reinterpret_cast<const char*>(data.data()) + 4, 2));
    } else {
        AppendNonZero(date_, data);
    }

    if (Exchange(address, kCommandRead, kZMaker, 0, 0) != result::kOk) {
        return result::kOk;
    }
    data = ReplyData(Reply());
    if (StartsWith(data, "DARENS")) {
        maker_.Append(kDarensMaker.view());
    } else {
        AppendNonZero(maker_, data);
    }
    return result::kOk;
}

}  // namespace kelm
