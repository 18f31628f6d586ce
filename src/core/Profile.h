// The per-user profile of the program (the QSettings organisation and
// application), shared by the window and kelmtool: recent files, print
// preview pages and the COM numbers given to the system's serial devices.
#pragma once

namespace kelm {

inline constexpr char kProfileOrganisation[] = "DARENS/LARMIT";
inline constexpr char kProfileApplication[] = "Kelm";

}  // namespace kelm
