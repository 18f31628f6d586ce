// "Па&раметры печати...": the printer, its paper and the orientation, chosen
// without printing. The choice goes into the printer that "&Печать..." and the
// preview then use.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPrinter;
class QRadioButton;

namespace kelm {

class CPrintSetupDlg final : public QDialog {
    Q_OBJECT
public:
    // `printerNames` are the printers to choose from (the system's, in the
    // program); the one `printer` names, else the first, starts selected.
    CPrintSetupDlg(QPrinter& printer, const QStringList& printerNames, QWidget* parent = nullptr);

    QComboBox* PrinterList() const { return printers_; }
    QComboBox* PaperList() const { return papers_; }
    QRadioButton* PortraitButton() const { return portrait_; }
    QRadioButton* LandscapeButton() const { return landscape_; }

    // OK: the choice goes into the printer.
    void accept() override;

private:
    void FillPapers();

    QPrinter& printer_;
    QComboBox* printers_;
    QComboBox* papers_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
};

}  // namespace kelm
