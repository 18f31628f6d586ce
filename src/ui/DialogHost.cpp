#include "ui/DialogHost.h"

#include "core/SharedState.h"

namespace kelm {

bool DialogHost::Has(WorkDialog which) const {
    switch (which) {
        case WorkDialog::Entry:
            return bool(factories_.entry);
        case WorkDialog::Processing:
            return bool(factories_.processing);
        case WorkDialog::ResultCalc:
            return bool(factories_.resultCalc);
        case WorkDialog::Results:
            break;
    }
    return bool(factories_.results);
}

bool DialogHost::Has(ModalDialog which) const {
    return bool(which == ModalDialog::TitrationParams ? factories_.titrationParams
                                                      : factories_.linkCheck);
}

template <class Dlg>
Dlg* DialogHost::Show(QPointer<Dlg>& dialog, const std::function<Dlg*(QWidget*)>& create,
                      bool& created) {
    if (dialog.isNull()) {
        if (!create) {
            return nullptr;
        }
        dialog = create(mainWindow_);
        if (dialog.isNull()) {
            return nullptr;
        }
        created = true;
    }
    dialog->Present();
    return dialog;
}

CWorkDlg* DialogHost::ShowEntry() {
    return Show(entry_, factories_.entry, state_.entryDialogCreated);
}

CProcessingDlgBase* DialogHost::ShowProcessing() {
    return Show(processing_, factories_.processing, state_.processingDialogCreated);
}

CResultsDlgBase* DialogHost::ShowResults() {
    return Show(results_, factories_.results, state_.resultsDialogCreated);
}

CWorkDlg* DialogHost::ShowResultCalc() {
    return Show(resultCalc_, factories_.resultCalc, resultCalcCreated_);
}

CWorkDlg* DialogHost::ShowWork(WorkDialog which) {
    switch (which) {
        case WorkDialog::Entry:
            return ShowEntry();
        case WorkDialog::Processing:
            return ShowProcessing();
        case WorkDialog::ResultCalc:
            return ShowResultCalc();
        case WorkDialog::Results:
            break;
    }
    return ShowResults();
}

void DialogHost::RunCommand(WorkDialog which) {
    if (CWorkDlg* dialog = ShowWork(which)) {
        dialog->ShownByCommand();
    }
}

void DialogHost::Run(ModalDialog which, QWidget* owner) {
    const auto& run =
        which == ModalDialog::TitrationParams ? factories_.titrationParams : factories_.linkCheck;
    if (run) {
        run(owner);
    }
}

void DialogHost::SeparatorChanged() {
    CWorkDlg* const dialogs[] = {entry_.data(), processing_.data(), results_.data(),
                                 resultCalc_.data()};
    for (CWorkDlg* dialog : dialogs) {
        if (dialog != nullptr) {
            dialog->SeparatorChanged();
        }
    }
}

void DialogHost::RecordReplaced() {
    if (resultCalc_ != nullptr) {
        resultCalc_->RecordReplaced();
    }
}

}  // namespace kelm
