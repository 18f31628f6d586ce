// The reading one acquisition tick takes: the record's own quantity and the
// EMF of the same channel, which the drift rule needs. kelmtool read takes
// its reading the same way.
#pragma once

#include "core/SharedState.h"
#include "link/Protocol.h"

namespace kelm {

class InstrumentLink;

struct TickReading {
    // The request for the record's quantity (R = codeR); for an EMF record the
    // only one. A result of 0 without a value counts as 257.
    ResultCode valueCode = result::kOk;
    double value = 0.0;
    // The EMF of the channel: the same reading for an EMF record, else a second
    // request with R = 16, made only when the first succeeded; when it was not
    // made it carries the first request's failure.
    ResultCode emfCode = result::kOk;
    double emf = 0.0;

    bool ValueValid() const { return valueCode == result::kOk; }
    bool EmfValid() const { return emfCode == result::kOk; }
    // The tick counts as valid when both are.
    bool Valid() const { return ValueValid() && EmfValid(); }
    // The first failure, or 0.
    ResultCode Failure() const { return ValueValid() ? emfCode : valueCode; }
};

// Reads on comPort from networkNumber, channel code codeZ.
TickReading ReadTick(InstrumentLink& link, const LinkSettings& settings, MeasuredQuantity quantity);

}  // namespace kelm
