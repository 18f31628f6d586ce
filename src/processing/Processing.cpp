#include "processing/Processing.h"

namespace kelm {

// Placeholder until the engine lands.
int RunProcessing(SharedState&) { return kTooFewPoints; }

}  // namespace kelm
