#include "link/ReadingFailure.h"

#include "core/Cp1251.h"

namespace kelm {

FixedText<64> ReadingFailureText(ResultCode code) {
    static constexpr Cp1251Literal kDataFormat("Неверный формат данных");
    static constexpr Cp1251Literal kNoParameter("Ошибка в параметрах команды");
    static constexpr Cp1251Literal kNotReady("Данные не готовы");
    static constexpr Cp1251Literal kFault("Прибор не исправен");
    static constexpr Cp1251Literal kNoReply("Нет связи");
    static constexpr Cp1251Literal kPacket("Ошибка пакета");
    static constexpr Cp1251Literal kPort("Ошибка COM порта");
    static constexpr Cp1251Literal kOther("Ошибка ");
    FixedText<64> text;
    switch (code) {
        case result::kDataFormat:
            text.Append(kDataFormat);
            break;
        case result::kNoParameter:
            text.Append(kNoParameter);
            break;
        case result::kNotReady:
            text.Append(kNotReady);
            break;
        case result::kInstrumentFault:
            text.Append(kFault);
            break;
        case result::kNoReply:
            text.Append(kNoReply);
            break;
        case result::kPacketError:
            text.Append(kPacket);
            break;
        case result::kPortNotOpened:
            text.Append(kPort);
            break;
        default: {
            text.Append(kOther);
            // Lower-case hexadecimal digits and an "h": 26 reads "1ah".
            char digits[9];
            int count = 0;
            unsigned value = static_cast<unsigned>(code);
            do {
                digits[count++] = "0123456789abcdef"[value & 0xF];
                value >>= 4;
            } while (value != 0);
            while (count > 0) {
                text.Append(digits[--count]);
            }
            text.Append('h');
        }
    }
    return text;
}

}  // namespace kelm
