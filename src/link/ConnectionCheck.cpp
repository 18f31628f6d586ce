#include "link/ConnectionCheck.h"

#include "core/Cp1251.h"
#include "core/Quantity.h"
#include "link/InstrumentLink.h"

namespace kelm {

namespace {

std::string_view ReadingOutcome(ResultCode reading) {
    static constexpr Cp1251Literal kSupported(" поддерживается прибором.");
    static constexpr Cp1251Literal kFormat(" не выполнено.\r\nОшибка при передаче данных.");
    static constexpr Cp1251Literal kMissing(
        " не возможно.\r\nОтсутствует данный параметр в приборе.");
    static constexpr Cp1251Literal kNotReady(" временно не возможно.\r\nДанные не готовы.");
    static constexpr Cp1251Literal kFault(" не выполнено.\r\nПрибор не исправен.");
    static constexpr Cp1251Literal kNoReply(" не выполнено.\r\nНет связи.");
    static constexpr Cp1251Literal kPacket(" не выполнено.\r\nОшибка формата команды.");
    static constexpr Cp1251Literal kPort(" не выполнено.\r\nОшибка открытия порта.");
    static constexpr Cp1251Literal kOther(" не выполнено.");
    switch (reading) {
        case result::kOk:
            return kSupported;
        case result::kDataFormat:
            return kFormat;
        case result::kNoParameter:
            return kMissing;
        case result::kNotReady:
            return kNotReady;
        case result::kInstrumentFault:
            return kFault;
        case result::kNoReply:
            return kNoReply;
        case result::kPacketError:
            return kPacket;
        case result::kPortNotOpened:
            return kPort;
        default:
            return kOther;
    }
}

}  // namespace

std::string NotFoundReport(int port, int networkNumber) {
    static constexpr Cp1251Literal kHead("Прибор с номером ");
    static constexpr Cp1251Literal kIn(" в COM");
    static constexpr Cp1251Literal kTail(
        " не обнаружен. \r\nПодключите прибор или измените настройки.");
    std::string text(kHead.view());
    text += std::to_string(networkNumber);
    text += kIn.view();
    text += std::to_string(port);
    text += kTail.view();
    return text;
}

std::string FoundReport(std::string_view model, std::string_view date, std::string_view maker,
                        int networkNumber, MeasuredQuantity quantity, int channel,
                        ResultCode reading) {
    static constexpr Cp1251Literal kInstrument("Прибор ЛАРМИТ ");
    static constexpr Cp1251Literal kNetwork("\r\nСетевой номер ");
    static constexpr Cp1251Literal kSoftware("\r\nВерсия ПО от ");
    static constexpr Cp1251Literal kReading("\r\nСчитывание параметра ");
    static constexpr Cp1251Literal kChannel("в канале ");
    std::string text(kInstrument.view());
    text += model;
    text += kNetwork.view();
    text += std::to_string(networkNumber);
    text += kSoftware.view();
    text += date;
    text += ", ";
    text += maker;
    text += kReading.view();
    // A quantity outside the four names nothing rather than guessing one.
    if (quantity >= MeasuredQuantity::Emf && quantity <= MeasuredQuantity::Conductivity) {
        text += QuantityName(quantity);
        text += ' ';
    }
    text += kChannel.view();
    text += std::to_string(channel);
    text += ReadingOutcome(reading);
    return text;
}

ConnectionCheckResult RunConnectionCheck(InstrumentLink& link, const LinkSettings& settings,
                                         MeasuredQuantity quantity) {
    const int port = settings.comPort;
    const int networkNumber = settings.networkNumber;
    ConnectionCheckResult check;
    if (link.Identify(port, networkNumber) != result::kOk) {
        check.report = NotFoundReport(port, networkNumber);
        return check;
    }
    check.found = true;
    check.reading = link.Exchange(networkNumber, kCommandRead, settings.codeZ, settings.codeR, 0);
    check.report = FoundReport(link.ModelName(), link.SoftwareDate(), link.Maker(), networkNumber,
                               quantity, settings.channel, check.reading);
    return check;
}

}  // namespace kelm
