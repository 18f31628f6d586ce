// The modeless work dialogs as the shell sees them: created once, then shown
// and hidden. The shell and the processing command reach each dialog through
// one of these types, never through a cast.
#pragma once

#include <QDialog>

#include "processing/ResultsReport.h"

namespace kelm {

class CWorkDlg : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // After its menu command has shown it.
    virtual void ShownByCommand() {}
    // After "Точка" or "Запятая", whether it is shown or hidden.
    virtual void SeparatorChanged() {}
    // After a processing run or another record: what it shows of them may be stale.
    virtual void RecordReplaced() {}

    // Shows it, restores it when minimised and brings it to the front.
    void Present();
};

// The curve-processing dialog: the run refreshes its point count.
class CProcessingDlgBase : public CWorkDlg {
    Q_OBJECT
public:
    using CWorkDlg::CWorkDlg;

    // Shows the grid size the settings hold now.
    virtual void RefreshPointCount() = 0;
};

// The results dialog: runs and commands rebuild its report.
class CResultsDlgBase : public CWorkDlg {
    Q_OBJECT
public:
    using CWorkDlg::CWorkDlg;

    virtual void FillReport(ReportMode mode) = 0;
};

}  // namespace kelm
