// The last resort of every program's main: an exception that nothing caught
// ends the program with status 70 and a line on stderr instead of an abort.
// Reaching it is a fault of the program; every known failure is reported
// where it happens.
#pragma once

#include <functional>
#include <string_view>

namespace kelm {

inline constexpr int kExitSoftware = 70;  // after the BSD sysexits convention

// Runs `body` and returns its status, or 70 after "PROGRAM: internal error:
// WHAT" when an exception escapes it; also where one cannot be caught (thrown
// through a noexcept function or an event loop, which ends in terminate).
int RunGuarded(std::string_view program, const std::function<int()>& body);

}  // namespace kelm
