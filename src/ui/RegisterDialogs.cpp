#include "ui/RegisterDialogs.h"

#include "ui/CTitrationEntryDlg.h"
#include "ui/DialogContext.h"
#include "ui/DialogHost.h"

namespace kelm {

void RegisterDialogs(DialogHost& host, const DialogContext& context) {
    DialogFactories factories;
    factories.entry = [&context](QWidget* owner) { return new CTitrationEntryDlg(context, owner); };
    host.Register(std::move(factories));
}

}  // namespace kelm
