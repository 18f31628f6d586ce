// The commands of kelmtool; each lives in a file of its own.
#pragma once

#include <span>
#include <string_view>

namespace kelm::tool {

using Args = std::span<const std::string_view>;  // the words after the command name


}  // namespace kelm::tool
