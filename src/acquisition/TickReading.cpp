#include "acquisition/TickReading.h"

#include "link/InstrumentLink.h"

namespace kelm {

namespace {

// One reading request; a reply without a value is a packet error.
ResultCode Read(InstrumentLink& link, const LinkSettings& s, int r, double& value) {
    ResultCode code = link.Exchange(s.networkNumber, kCommandRead, s.codeZ, r, 0);
    if (code == result::kOk && !link.ValueValid()) {
        code = result::kPacketError;
    }
    value = code == result::kOk ? link.Value() : 0.0;
    return code;
}

}  // namespace

TickReading ReadTick(InstrumentLink& link, const LinkSettings& settings,
                     MeasuredQuantity quantity) {
    link.SetPortNumber(settings.comPort);
    TickReading tick;
    tick.valueCode = Read(link, settings, settings.codeR, tick.value);
    if (quantity == MeasuredQuantity::Emf) {
        tick.emfCode = tick.valueCode;
        tick.emf = tick.value;
    } else if (tick.ValueValid()) {
        tick.emfCode = Read(link, settings, kREmf, tick.emf);
    } else {
        tick.emfCode = tick.valueCode;
    }
    return tick;
}

}  // namespace kelm
