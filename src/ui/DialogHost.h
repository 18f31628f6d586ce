// The dialogs the menu opens. RegisterDialogs gives the host a factory for
// each dialog that exists; a command without one stays disabled. The host
// keeps the work dialogs once made, each under its own type.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/CWorkDlg.h"

namespace kelm {

struct SharedState;

enum class WorkDialog { Entry, Processing, Results, ResultCalc };
enum class ModalDialog { TitrationParams, LinkCheck };

// How each dialog is made. A work dialog is made once, with the main window
// as owner; a modal one is made, run and destroyed by its function each time.
struct DialogFactories {
    std::function<CWorkDlg*(QWidget* owner)> entry;
    std::function<CProcessingDlgBase*(QWidget* owner)> processing;
    std::function<CResultsDlgBase*(QWidget* owner)> results;
    std::function<CWorkDlg*(QWidget* owner)> resultCalc;
    std::function<void(QWidget* owner)> titrationParams;
    std::function<void(QWidget* owner)> linkCheck;
};

class DialogHost {
public:
    explicit DialogHost(SharedState& state) : state_(state) {}

    void Register(DialogFactories factories) { factories_ = std::move(factories); }
    // The owner of the work dialogs: the main window.
    void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    bool Has(WorkDialog which) const;
    bool Has(ModalDialog which) const;

    // Each work dialog once created, else null.
    CWorkDlg* Entry() const { return entry_; }
    CProcessingDlgBase* Processing() const { return processing_; }
    CResultsDlgBase* Results() const { return results_; }
    CWorkDlg* ResultCalc() const { return resultCalc_; }

    // Creates the dialog on first use and marks it created in the shared
    // state, then presents it. Null when it has no factory.
    CWorkDlg* ShowEntry();
    CProcessingDlgBase* ShowProcessing();
    CResultsDlgBase* ShowResults();
    CWorkDlg* ShowResultCalc();

    // The menu command of a work dialog: presented, then told so.
    void RunCommand(WorkDialog which);
    // The menu command of a modal dialog, owned by `owner`.
    void Run(ModalDialog which, QWidget* owner);

    // After "Точка" or "Запятая": every work dialog that exists is told.
    void SeparatorChanged();
    // After a processing run, an open, New or a recovered record: every work
    // dialog that exists is told.
    void RecordReplaced();

private:
    template <class Dlg>
    Dlg* Show(QPointer<Dlg>& dialog, const std::function<Dlg*(QWidget*)>& create, bool& created);
    CWorkDlg* ShowWork(WorkDialog which);

    SharedState& state_;
    DialogFactories factories_;
    QPointer<QWidget> mainWindow_;
    QPointer<CWorkDlg> entry_;
    QPointer<CProcessingDlgBase> processing_;
    QPointer<CResultsDlgBase> results_;
    QPointer<CWorkDlg> resultCalc_;
    bool resultCalcCreated_ = false;  // the shared state keeps the flags of the three original ones
};

}  // namespace kelm
