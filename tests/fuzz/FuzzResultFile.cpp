// LoadRecord on arbitrary bytes: never a crash or a read outside the input; a
// failed load changes nothing; a loaded record saves to bytes that load back,
// and from the second save on the bytes no longer change. (The first save may:
// the file keeps 8 significant digits, so a number read with more is rounded.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

kelm::SharedState& Fresh(kelm::SharedState& state) {
    state.record = {};
    state.processing = {};
    state.display = {};
    kelm::NewRecord(state);
    kelm::ApplyStartDefaults(state);
    return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelm::SharedState state;  // large: kept out of the stack and reused
    static kelm::SharedState again;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Fresh(state);
    const std::string before = kelm::SaveRecord(state);
    const kelm::LoadStatus status = kelm::LoadRecord(state, bytes);
    if (status != kelm::LoadStatus::Loaded) {
        Require(kelm::SaveRecord(state) == before);
        return 0;
    }
    const std::string saved = kelm::SaveRecord(state);
    Require(kelm::LoadRecord(Fresh(again), saved) == kelm::LoadStatus::Loaded);
    const std::string resaved = kelm::SaveRecord(again);
    Require(kelm::LoadRecord(Fresh(again), resaved) == kelm::LoadStatus::Loaded);
    Require(kelm::SaveRecord(again) == resaved);
    return 0;
}
