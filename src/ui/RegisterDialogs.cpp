#include "ui/RegisterDialogs.h"

#include "ui/CLinkCheckDlg.h"
#include "ui/CProcessingDlg.h"
#include "ui/CResultCalcDlg.h"
#include "ui/CResultsDlg.h"
#include "ui/CTitrationEntryDlg.h"
#include "ui/CTitrationParamsDlg.h"
#include "ui/DialogContext.h"
#include "ui/DialogHost.h"

namespace kelm {

void RegisterDialogs(DialogHost& host, const DialogContext& context) {
    DialogFactories factories;
    factories.entry = [&context](QWidget* owner) { return new CTitrationEntryDlg(context, owner); };
    factories.processing = [&context](QWidget* owner) {
        return new CProcessingDlg(context, owner);
    };
    factories.results = [&context](QWidget* owner) { return new CResultsDlg(context, owner); };
    factories.resultCalc = [&context](QWidget* owner) {
        return new CResultCalcDlg(context, owner);
    };
    factories.titrationParams = [&context](QWidget* owner) {
        CTitrationParamsDlg::Run(context, owner);
    };
    factories.linkCheck = [&context](QWidget* owner) { CLinkCheckDlg::Run(context, owner); };
    host.Register(std::move(factories));
}

}  // namespace kelm
