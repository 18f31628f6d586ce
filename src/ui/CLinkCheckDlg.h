// The connection check "Проверка связи с прибором": identifies the instrument
// and tries one reading of the configured quantity, when the dialog opens
// (before it shows) and on every "Проверка", and shows the report. Modal and
// made for each use; its link and the report live with it.
#pragma once

#include <QDialog>
#include <memory>

#include "link/InstrumentLink.h"
#include "link/SerialPort.h"

class QPlainTextEdit;
class QPushButton;

namespace kelm {

struct DialogContext;

class CLinkCheckDlg final : public QDialog {
    Q_OBJECT
public:
    CLinkCheckDlg(const DialogContext& context, QWidget* owner);
    ~CLinkCheckDlg() override;

    // Made, run modally and destroyed.
    static void Run(const DialogContext& context, QWidget* owner);

    const QPlainTextEdit* ReportBox() const { return report_; }
    QPushButton* CheckButton() const { return check_; }

private:
    // The check with the settings as they stand; the report replaces the box's text.
    void RunCheck();

    const DialogContext& context_;
    std::unique_ptr<SerialPort> port_;
    InstrumentLink link_;
    QPlainTextEdit* report_;
    QPushButton* check_;
};

}  // namespace kelm
