#include "acquisition/Clock.h"

#include <ctime>

#include "core/LocalCalendar.h"

namespace kelm {

LocalTime SystemClock::Now() const {
    const std::tm local = LocalCalendar(std::time(nullptr));
    // A leap second (tm_sec 60) counts as the last second of its minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     second};
}

}  // namespace kelm
