#include "ui/RegisterDialogs.h"

#include "ui/DialogContext.h"
#include "ui/DialogHost.h"

namespace kelm {

void RegisterDialogs(DialogHost& host, const DialogContext& /*context*/) {
    // No dialog exists yet: their commands stay disabled.
    host.Register(DialogFactories{});
}

}  // namespace kelm
