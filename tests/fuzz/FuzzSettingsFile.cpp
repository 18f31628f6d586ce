// DecodeSettings on arbitrary bytes: never a crash or a read outside the
// input; what it decodes encodes to a file that decodes to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/SettingsFile.h"
#include "core/SharedState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelm::SharedState state;
    static kelm::SharedState again;
    state = {};
    kelm::NewRecord(state);
    kelm::ApplyStartDefaults(state);
    kelm::DecodeSettings(state, std::string_view(reinterpret_cast<const char*>(data), size));

    const std::string encoded = kelm::EncodeSettings(state);
    if (encoded.size() != static_cast<std::size_t>(kelm::kSettingsFileSize)) {
        std::abort();
    }
    again = {};
    kelm::DecodeSettings(again, encoded);
    if (kelm::EncodeSettings(again) != encoded ||
        again.acquisition.driftLimit != state.acquisition.driftLimit ||
        again.acquisition.timerSeconds != state.acquisition.timerSeconds) {
        std::abort();
    }
    return 0;
}
