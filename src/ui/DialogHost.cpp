#include "ui/DialogHost.h"

#include <QWidget>

#include "core/SharedState.h"

namespace kelm {

namespace {

int Index(WorkDialog which) {
    return static_cast<int>(which);
}
int Index(ModalDialog which) {
    return static_cast<int>(which);
}

}  // namespace

void DialogHost::Set(WorkDialog which, WorkDialogSlot slot) {
    work_[Index(which)] = std::move(slot);
}

void DialogHost::Set(ModalDialog which, ModalDialogRun run) {
    modal_[Index(which)] = std::move(run);
}

bool DialogHost::Has(WorkDialog which) const {
    return bool(work_[Index(which)].create);
}

bool DialogHost::Has(ModalDialog which) const {
    return bool(modal_[Index(which)]);
}

bool& DialogHost::CreatedFlag(WorkDialog which) {
    switch (which) {
        case WorkDialog::Entry:
            return state_.entryDialogCreated;
        case WorkDialog::Processing:
            return state_.processingDialogCreated;
        case WorkDialog::Results:
            break;
    }
    return state_.resultsDialogCreated;
}

QWidget* DialogHost::Dialog(WorkDialog which) const {
    return created_[Index(which)];
}

void DialogHost::Present(QWidget* dialog) {
    dialog->show();
    if (dialog->isMinimized()) {
        dialog->showNormal();
    }
    dialog->raise();
    dialog->activateWindow();
}

void DialogHost::Show(WorkDialog which, QWidget* owner) {
    const WorkDialogSlot& slot = work_[Index(which)];
    if (!slot.create) {
        return;
    }
    QPointer<QWidget>& dialog = created_[Index(which)];
    if (dialog.isNull()) {
        dialog = slot.create(owner);
        if (dialog.isNull()) {
            return;
        }
        CreatedFlag(which) = true;
    }
    Present(dialog);
    if (slot.afterShow) {
        slot.afterShow(dialog);
    }
}

void DialogHost::Run(ModalDialog which, QWidget* owner) {
    const ModalDialogRun& run = modal_[Index(which)];
    if (!run) {
        return;
    }
    run(owner);
    if (which == ModalDialog::TitrationParams) {
        RedrawViews(state_);
    }
}

void DialogHost::SeparatorChanged() {
    for (int i = 0; i < kWorkDialogCount; ++i) {
        QWidget* dialog = created_[i];
        if (dialog == nullptr || !work_[i].onSeparatorChange) {
            continue;
        }
        // Only the results window comes back on screen; the others refresh
        // their numbers where they are, shown or hidden.
        if (i == Index(WorkDialog::Results)) {
            Present(dialog);
        }
        work_[i].onSeparatorChange(dialog);
    }
}

}  // namespace kelm
