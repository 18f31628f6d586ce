// The local calendar date and time of a moment, on every platform.
#pragma once

#include <ctime>

namespace kelm {

inline std::tm LocalCalendar(std::time_t moment) {
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}

}  // namespace kelm
