// Keeps the open record in the journal: after each change the record is
// written whole, and a journal that cannot be written is told once, never
// stopping the work that changed the record.
#pragma once

#include <functional>

#include "core/Journal.h"

namespace kelm {

struct SharedState;

class RecordKeeper {
public:
    // Listens to the state's record changes until destroyed.
    RecordKeeper(SharedState& state, Journal& journal);
    ~RecordKeeper();
    RecordKeeper(const RecordKeeper&) = delete;
    RecordKeeper& operator=(const RecordKeeper&) = delete;

    // Called with true at the first write that fails, with false at the next
    // one that succeeds: once each way, however many writes come between.
    std::function<void(bool failing)> onTrouble;
    // Called when a record first gets its journal entry.
    std::function<void()> onEntryOpened;

    bool Failing() const { return failing_; }

private:
    void Keep();

    SharedState& state_;
    Journal& journal_;
    bool failing_ = false;
};

}  // namespace kelm
