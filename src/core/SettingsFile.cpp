#include "core/SettingsFile.h"

#include "core/SharedState.h"

namespace kelm {

// Placeholder until the settings file lands.
std::string EncodeSettings(const SharedState&) { return std::string(kSettingsFileSize, '0'); }
void DecodeSettings(SharedState&, std::string_view) {}
int LoadSettings(SharedState&, const std::filesystem::path&) { return 1; }
int SaveSettings(const SharedState&, const std::filesystem::path&) { return 1; }

}  // namespace kelm
