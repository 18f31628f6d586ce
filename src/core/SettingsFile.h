// "kelm.cfg": 103 four-digit hexadecimal fields, read once at start-up and
// written once at exit.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kelm {

struct SharedState;

inline constexpr std::string_view kSettingsFileName = "kelm.cfg";
inline constexpr int kSettingsFieldCount = 103;
inline constexpr int kSettingsFileSize = kSettingsFieldCount * 4;

// The 412 bytes of the settings file.
std::string EncodeSettings(const SharedState& state);

// Applies the fields of a settings file's bytes by the acceptance rule of each;
// fields past the end of a short file keep their values.
void DecodeSettings(SharedState& state, std::string_view bytes);

// 0 when the file was read (even when its format mark made it be ignored), 1
// when not: missing, not a regular file, or too large.
int LoadSettings(SharedState& state, const std::filesystem::path& path = kSettingsFileName);

// 0 when written, 1 when not; through the one writer, so a failed write
// leaves the previous file whole.
int SaveSettings(const SharedState& state, const std::filesystem::path& path = kSettingsFileName);

}  // namespace kelm
