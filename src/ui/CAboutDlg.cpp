#include "ui/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/AppIcon.h"
#include "ui/DialogUnits.h"

namespace kelm {

namespace {

// Six texts joined as written, with the line breaks of a Windows text box.
constexpr const char* kAboutTexts[] = {
    "\r\n  Программа предназначена для обработки результатов ионометрического или "
    "потенциометрического титрования.",
    " Данные для построения кривой могут быть введены вручную или считаны с подключенного к "
    "компьютеру pH-метра или иономера серии ЛАРМИТ ГАЛ.\r\n\r\n",
    " Одна или несколько точек эквивалентности вычисляются по достижению указанного значения "
    "или по экстремуму первой производной кривой титрования.",
    " Для обработки кривой используется интерполяция значений при помощи кубических сплайнов "
    "или линейной аппроксимации с последующей фильтрацией.\r\n\r\n",
    " Результаты могут быть перенесены в другие приложения из сохраняемых файлов или "
    "копированием из соответствующего окна.",
    " Выбор разделителя целой и дробной части чисел (точки или запятой) позволяет "
    "обрабатывать результаты в других приложениях без промежуточного редактирования.",
};

}  // namespace

QString AboutText() {
    QString text;
    for (const char* part : kAboutTexts) {
        text += QString::fromUtf8(part);
    }
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), text_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("О программе"));

    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto* version = new QLabel(QStringLiteral("Kelm    v 1.02"), this);
    auto* maker = new QLabel(QStringLiteral("Kelm — обработка кривых титрования"), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setIcon(QIcon());
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(version, 0, 1);
    layout->addWidget(maker, 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    layout->addWidget(text_, 2, 0, 1, 3);
    layout->setColumnStretch(1, 1);

    // About 235 by 188 dialog units in the desktop font.
    resize(DialogUnits(font()).Size(235, 188));
}

void CAboutDlg::showEvent(QShowEvent* event) {
    text_->setPlainText(AboutText());
    QDialog::showEvent(event);
}

}  // namespace kelm
