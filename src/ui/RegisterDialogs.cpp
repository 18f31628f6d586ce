#include "ui/RegisterDialogs.h"

#include "ui/DialogHost.h"

namespace kelm {

void RegisterDialogs(DialogHost& /*host*/, SharedState& /*state*/, Prompter& /*prompter*/) {
    // No work dialog exists yet: their commands stay disabled.
}

}  // namespace kelm
