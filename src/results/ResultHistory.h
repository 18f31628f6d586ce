// What the history of results keeps of a saved record: one entry per point
// whose result could be computed, with the titrant, the titer and the
// processing method that gave it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/SharedState.h"
#include "store/Store.h"

namespace kelm {

// A result file as the store names it: absolute and normal, so that one file
// is one name however it was reached ("./a.kel", "../d/a.kel"); empty stays empty.
std::string StoredFilePath(const std::filesystem::path& file);

// The processing and evaluation choices in one line ("criterion=extremum
// interpolation=cubic grid=195 filter=polynomial strength=5 window=4.5:6
// select=greatest", the last two only when set).
std::string MethodText(const SharedState& state);

// The entries of the record's computed results (none for a record without
// result data, or before a run); `file` is the saved file's path.
std::vector<HistoryEntry> HistoryEntries(const SharedState& state,
                                         const std::filesystem::path& file,
                                         const std::string& date);

// Enters the computed results of the record saved as `file` in the history,
// dated now; nothing to enter is done at once.
StoreStatus EnterSavedResults(Store& store, const SharedState& state,
                              const std::filesystem::path& file);

}  // namespace kelm
