// How a failed reading is worded where readings are taken (acquisition and
// kelmtool read). The connection check words its codes in its own report.
#pragma once

#include "core/FixedText.h"
#include "link/Protocol.h"

namespace kelm {

// The text of a failed reading's code, code page 1251. A result of 0 without a
// value is a failure too and is passed here as 257.
FixedText<64> ReadingFailureText(ResultCode code);

}  // namespace kelm
