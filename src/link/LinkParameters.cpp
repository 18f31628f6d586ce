#include "link/LinkParameters.h"

#include <algorithm>
#include <cstring>

#include "core/Cp1251.h"
#include "core/NumberText.h"

namespace kelm {

void StorePort(LinkSettings& link, const PortList& list, int position) {
    if (position < 0 || position >= static_cast<int>(list.entries.size())) {
        return;
    }
    const int port = list.entries[static_cast<std::size_t>(position)].port;
    if (port >= kFirstPort && port <= kLastPort) {
        link.comPort = port;
    }
}

void StoreQuantity(TitrationRecord& record, LinkSettings& link, int position) {
    if (position < 0 || position >= static_cast<int>(kQuantityEntries.size())) {
        return;
    }
    record.quantity = static_cast<MeasuredQuantity>(position);
    link.codeR = QuantityCodeR(record.quantity);
}

std::int32_t StoreNetworkNumber(LinkSettings& link, std::string_view typed) {
    const long long value = ParseTypedInteger(typed);
    link.networkNumber = (value < 0 || value > 255) ? 0 : static_cast<std::int32_t>(value);
    return link.networkNumber;
}

std::int32_t StoreChannel(LinkSettings& link, std::string_view typed) {
    const long long value = ParseTypedInteger(typed);
    SetChannel(link, (value < 0 || value > 9) ? 1 : static_cast<std::int32_t>(value));
    return link.channel;
}

void StoreDescription(TitrationRecord& record, std::string_view cp1251) {
    const std::size_t n = std::min<std::size_t>(cp1251.size(), kMaxDescriptionLength);
    record.description.fill('\0');
    std::memcpy(record.description.data(), cp1251.data(), n);
}

FittedDescription FitDescription(std::string_view utf8) {
    FittedDescription fitted;
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < utf8.size() && count < static_cast<std::size_t>(kMaxDescriptionLength)) {
        const std::size_t start = i;
        const char32_t cp = NextCodePoint(utf8, i);
        const std::string_view character = utf8.substr(start, i - start);
        if (cp == 0 || cp == 0xFFFD || Cp1251Byte(cp) < 0) {
            fitted.text += '?';
            if (cp != 0 && fitted.replaced.find(character) == std::string::npos) {
                fitted.replaced += character;
            }
        } else {
            fitted.text += character;
        }
        ++count;
    }
    return fitted;
}

bool QuantityChoosable(const TitrationRecord& record) {
    // pointCount -1 (before the first record) has no points either.
    return PointCount(record) == 0;
}

}  // namespace kelm
