#include "ui/RegisterDialogs.h"

#include "ui/CLinkCheckDlg.h"
#include "ui/CTitrationParamsDlg.h"
#include "ui/DialogContext.h"
#include "ui/DialogHost.h"

namespace kelm {

void RegisterDialogs(DialogHost& host, const DialogContext& context) {
    DialogFactories factories;
    factories.titrationParams = [&context](QWidget* owner) {
        CTitrationParamsDlg::Run(context, owner);
    };
    factories.linkCheck = [&context](QWidget* owner) { CLinkCheckDlg::Run(context, owner); };
    host.Register(std::move(factories));
}

}  // namespace kelm
