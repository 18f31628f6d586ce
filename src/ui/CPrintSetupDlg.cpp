#include "ui/CPrintSetupDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kelm {

namespace {

// Paper a printer without a driver list still offers.
QList<QPageSize> CommonPapers() {
    return {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3), QPageSize(QPageSize::A5),
            QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal)};
}

}  // namespace

CPrintSetupDlg::CPrintSetupDlg(QPrinter& printer, const QStringList& printerNames, QWidget* parent)
    : QDialog(parent),
      printer_(printer),
      printers_(new QComboBox(this)),
      papers_(new QComboBox(this)),
      portrait_(new QRadioButton(QStringLiteral("&Книжная"), this)),
      landscape_(new QRadioButton(QStringLiteral("&Альбомная"), this)) {
    setWindowTitle(QStringLiteral("Параметры печати"));

    printers_->addItems(printerNames);
    printers_->setEnabled(!printerNames.isEmpty());
    if (printerNames.isEmpty()) {
        printers_->addItem(QStringLiteral("Принтеры не установлены"));
    }
    const int current = printerNames.indexOf(printer.printerName());
    printers_->setCurrentIndex(current >= 0 ? current : 0);
    FillPapers();
    connect(printers_, &QComboBox::currentIndexChanged, this, &CPrintSetupDlg::FillPapers);

    const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    (landscape ? landscape_ : portrait_)->setChecked(true);
    auto* orientation = new QGroupBox(QStringLiteral("Ориентация"), this);
    auto* orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->addWidget(portrait_);
    orientationLayout->addWidget(landscape_);
    auto* group = new QButtonGroup(this);
    group->addButton(portrait_);
    group->addButton(landscape_);

    auto* form = new QFormLayout;
    auto* printerLabel = new QLabel(QStringLiteral("&Принтер:"), this);
    printerLabel->setBuddy(printers_);
    auto* paperLabel = new QLabel(QStringLiteral("&Размер бумаги:"), this);
    paperLabel->setBuddy(papers_);
    form->addRow(printerLabel, printers_);
    form->addRow(paperLabel, papers_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (const auto& [which, text] :
         {std::pair{QDialogButtonBox::Ok, "OK"}, std::pair{QDialogButtonBox::Cancel, "Отмена"}}) {
        buttons->button(which)->setText(QString::fromUtf8(text));
        buttons->button(which)->setIcon(QIcon());
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(orientation);
    layout->addWidget(buttons);
    setTabOrder(printers_, papers_);
    setTabOrder(papers_, portrait_);
}

void CPrintSetupDlg::FillPapers() {
    // Keep the paper the printer has, if the newly chosen printer has it too.
    const QPageSize wanted = papers_->count() > 0 ? papers_->currentData().value<QPageSize>()
                                                  : printer_.pageLayout().pageSize();
    QList<QPageSize> sizes;
    if (printers_->isEnabled()) {
        sizes = QPrinterInfo::printerInfo(printers_->currentText()).supportedPageSizes();
    }
    if (sizes.isEmpty()) {
        sizes = CommonPapers();
    }
    papers_->clear();
    int selected = 0;
    for (const QPageSize& size : sizes) {
        if (size.isEquivalentTo(wanted)) {
            selected = papers_->count();
        }
        papers_->addItem(size.name(), QVariant::fromValue(size));
    }
    papers_->setCurrentIndex(selected);
}

void CPrintSetupDlg::accept() {
    if (printers_->isEnabled()) {
        printer_.setPrinterName(printers_->currentText());
    }
    printer_.setPageSize(papers_->currentData().value<QPageSize>());
    printer_.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    QDialog::accept();
}

}  // namespace kelm
