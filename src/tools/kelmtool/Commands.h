// The commands of kelmtool; each lives in a file of its own.
#pragma once

#include <span>
#include <string_view>

namespace kelm::tool {

using Args = std::span<const std::string_view>;  // the words after the command name

int RunPorts(Args args);  // CmdPorts.cpp
int RunCheck(Args args);  // CmdCheck.cpp
int RunRead(Args args);   // CmdRead.cpp

}  // namespace kelm::tool
