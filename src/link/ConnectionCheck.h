// The connection check: identify the instrument, try one reading of the
// configured quantity, and word the outcome as the report the check dialog
// shows. Texts are code page 1251 with CR LF line ends, like the instrument's
// own strings they include; the window converts them for display.
#pragma once

#include <string>
#include <string_view>

#include "core/SharedState.h"
#include "link/Protocol.h"

namespace kelm {

class InstrumentLink;

struct ConnectionCheckResult {
    bool found = false;                     // the instrument answered identification
    ResultCode reading = result::kNoReply;  // the trial reading, when it was found
    std::string report;
    // The instrument is there and gave the reading.
    bool Passed() const { return found && reading == result::kOk; }
};

// Runs the check with the settings as they stand (the quantity word comes
// from the record's quantity): the outcome and its report.
ConnectionCheckResult RunConnectionCheck(InstrumentLink& link, const LinkSettings& settings,
                                         MeasuredQuantity quantity);

// The report when identification failed.
std::string NotFoundReport(int port, int networkNumber);

// The report of an identified instrument and the result of the trial reading.
std::string FoundReport(std::string_view model, std::string_view date, std::string_view maker,
                        int networkNumber, MeasuredQuantity quantity, int channel,
                        ResultCode reading);

}  // namespace kelm
