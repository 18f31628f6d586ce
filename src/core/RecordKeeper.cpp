#include "core/RecordKeeper.h"

#include "core/SharedState.h"

namespace kelm {

RecordKeeper::RecordKeeper(SharedState& state, Journal& journal)
    : state_(state), journal_(journal) {
    state_.recordChanged = [this] { Keep(); };
}

RecordKeeper::~RecordKeeper() {
    state_.recordChanged = nullptr;
}

void RecordKeeper::Keep() {
    const bool hadEntry = journal_.HasCurrentEntry();
    const Journal::Write write = journal_.Keep(state_);
    if (write == Journal::Write::Skipped) {
        return;
    }
    const bool failing = write == Journal::Write::Failed;
    if (failing != failing_) {
        failing_ = failing;
        if (onTrouble) {
            onTrouble(failing);
        }
    }
    if (!failing && !hadEntry && onEntryOpened) {
        onEntryOpened();
    }
}

}  // namespace kelm
