// LoadRecord on arbitrary bytes: never a crash or a read outside the input; a
// failed load changes nothing; a loaded record saves to bytes that load back,
// and from the second save on the bytes no longer change. (The first save may:
// the file keeps 8 significant digits, so a number read with more is rounded.)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

// The program's start values, made once: every input starts from a copy of
// what a load reads and writes.
const kelm::SharedState& StartValues() {
    static const kelm::SharedState* const start = [] {
        auto* state = new kelm::SharedState{};
        kelm::NewRecord(*state);
        kelm::ApplyStartDefaults(*state);
        return state;
    }();
    return *start;
}

kelm::SharedState& Fresh(kelm::SharedState& state) {
    const kelm::SharedState& start = StartValues();
    state.record = start.record;
    state.processing = start.processing;
    state.display = start.display;
    state.curve.curveProcessed = 0;
    state.curve.equivalencePointCount = 0;
    return state;
}

// Bit for bit: two doubles each, no padding, and a load writes each value
// as it parsed it.
bool SamePoints(const kelm::TitrationRecord& a, const kelm::TitrationRecord& b) {
    return std::memcmp(a.points.data(), b.points.data(), sizeof a.points) == 0;
}

// Every field a load writes or a save reads, the same in both states: then
// the two save to the same bytes.
bool SameRecord(const kelm::SharedState& a, const kelm::SharedState& b) {
    const kelm::TitrationRecord& r = a.record;
    const kelm::TitrationRecord& s = b.record;
    const kelm::StartTime& t = r.startTime;
    const kelm::StartTime& u = s.startTime;
    const kelm::ProcessingSettings& p = a.processing;
    const kelm::ProcessingSettings& q = b.processing;
    const auto sameColour = [](const kelm::ColourEntry& x, const kelm::ColourEntry& y) {
        return x.red == y.red && x.green == y.green && x.blue == y.blue && x.chosen == y.chosen;
    };
    return r.pointCount == s.pointCount && r.quantity == s.quantity &&
           r.startTimeKnown == s.startTimeKnown && t.year == u.year && t.month == u.month &&
           t.day == u.day && t.hour == u.hour && t.minute == u.minute &&
           r.description == s.description && r.selectedPoint == s.selectedPoint &&
           SamePoints(r, s) && p.criterion == q.criterion && p.endValueEmf == q.endValueEmf &&
           p.endValuePh == q.endValuePh && p.interpolationKind == q.interpolationKind &&
           p.autoPointCount == q.autoPointCount &&
           p.interpolationPointCount == q.interpolationPointCount && p.filterKind == q.filterKind &&
           p.filterStrength == q.filterStrength &&
           a.display.decimalComma == b.display.decimalComma &&
           a.display.viewMode == b.display.viewMode &&
           std::equal(a.display.colours.begin(), a.display.colours.end(), b.display.colours.begin(),
                      sameColour) &&
           a.curve.curveProcessed == b.curve.curveProcessed &&
           a.curve.equivalencePointCount == b.curve.equivalencePointCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Large or allocated: kept out of the stack and reused from input to input.
    static kelm::SharedState state;
    static kelm::SharedState first;
    static kelm::SharedState second;
    static std::string saved;
    static std::string resaved;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (kelm::LoadRecord(Fresh(state), bytes) != kelm::LoadStatus::Loaded) {
        Require(SameRecord(state, StartValues()));
        return 0;
    }
    kelm::SaveRecord(state, saved);
    Require(kelm::LoadRecord(Fresh(first), saved) == kelm::LoadStatus::Loaded);
    kelm::SaveRecord(first, resaved);
    // The second save loads to what the first did, so it saves to itself.
    Require(kelm::LoadRecord(Fresh(second), resaved) == kelm::LoadStatus::Loaded);
    Require(SameRecord(first, second));
    return 0;
}
