#include "core/ResultFile.h"

#include "core/SharedState.h"

namespace kelm {

// Placeholder until the file format lands.
std::string_view LoadFailureMessage(LoadStatus status) {
    return status == LoadStatus::NoData ? kNoDataMessage : kUnexpectedFormatMessage;
}
std::string SaveRecord(const SharedState&) { return {}; }
LoadStatus LoadRecord(SharedState&, std::string_view) { return LoadStatus::UnexpectedEnd; }

}  // namespace kelm
