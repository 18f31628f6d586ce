// Whole-file writes that never leave a half-written file behind.
#pragma once

#include <filesystem>
#include <string_view>

namespace kelm {

// Writes `bytes` to a temporary file beside `path` and renames it over `path`.
// Returns false when any step fails; an existing file at `path` is then left
// whole and the temporary file is removed.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace kelm
