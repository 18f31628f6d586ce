#include "ui/CTitrationParamsDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

#include "core/SharedState.h"
#include "link/InstrumentLink.h"
#include "link/LinkParameters.h"
#include "ui/Cp1251Text.h"
#include "ui/DialogContext.h"
#include "ui/DialogHost.h"

namespace kelm {

namespace {

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CTitrationParamsDlg::CTitrationParamsDlg(const DialogContext& context, QWidget* owner)
    : QDialog(owner),
      context_(context),
      quantity_(new QComboBox(this)),
      description_(new QLineEdit(this)),
      port_(new QComboBox(this)),
      networkNumber_(new QLineEdit(this)),
      channel_(new QLineEdit(this)),
      check_(new QPushButton(QStringLiteral("Проверка"), this)) {
    setObjectName(QStringLiteral("titrationParams"));
    setWindowTitle(QStringLiteral("Параметры тирования"));
    prompter_ = context.makePrompter(this);
    quantity_->setObjectName(QStringLiteral("quantity"));
    description_->setObjectName(QStringLiteral("description"));
    port_->setObjectName(QStringLiteral("port"));
    networkNumber_->setObjectName(QStringLiteral("networkNumber"));
    channel_->setObjectName(QStringLiteral("channel"));

    description_->setMaxLength(kMaxDescriptionLength);
    networkNumber_->setMaxLength(kNetworkNumberLength);
    channel_->setMaxLength(kChannelLength);
    channel_->setToolTip(QStringLiteral("Каналы 1..9; 0 — первый канал прибора"));
    const QFontMetrics metrics(font());
    networkNumber_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0000")) + 12);
    channel_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("000")) + 12);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);

    auto* instrument = new QGroupBox(QStringLiteral("Прибор ЛАРМИТ"), this);
    auto* inner = new QGridLayout(instrument);
    inner->addWidget(Label(QStringLiteral("Порт"), port_, instrument), 0, 0);
    inner->addWidget(port_, 0, 1, 1, 3);
    inner->addWidget(Label(QStringLiteral("Сетевой номер"), networkNumber_, instrument), 1, 0);
    inner->addWidget(networkNumber_, 1, 1);
    inner->addWidget(Label(QStringLiteral("Номер канала"), channel_, instrument), 2, 0);
    inner->addWidget(channel_, 2, 1);
    inner->addWidget(check_, 2, 3);
    inner->setColumnStretch(2, 1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label(QStringLiteral("Параметр"), quantity_, this), 0, 0);
    layout->addWidget(quantity_, 0, 1);
    layout->addWidget(Label(QStringLiteral("Описание"), description_, this), 1, 0);
    layout->addWidget(description_, 1, 1);
    layout->addWidget(instrument, 2, 0, 1, 2);
    layout->addWidget(ok, 3, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    setTabOrder(quantity_, description_);
    setTabOrder(description_, port_);
    setTabOrder(port_, networkNumber_);
    setTabOrder(networkNumber_, channel_);
    setTabOrder(channel_, check_);
    setTabOrder(check_, ok);

    // 252 by 172 dialog units in the desktop font.
    resize(252 * metrics.averageCharWidth() / 4, 172 * metrics.height() / 8);
    // Placed over its owner already, so that the port search's message box,
    // shown before the dialog is, appears there too.
    if (owner != nullptr) {
        move(owner->window()->geometry().center() - rect().center());
    }

    FindPorts();
    ShowSettings();

    connect(port_, &QComboBox::currentIndexChanged, this, [this] { Leave(port_); });
    connect(quantity_, &QComboBox::currentIndexChanged, this, [this] { Leave(quantity_); });
    connect(description_, &QLineEdit::textEdited, this, &CTitrationParamsDlg::OnDescriptionEdited);
    connect(check_, &QPushButton::clicked, this, &CTitrationParamsDlg::RunCheck);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    for (QWidget* control : {static_cast<QWidget*>(quantity_), static_cast<QWidget*>(description_),
                             static_cast<QWidget*>(port_), static_cast<QWidget*>(networkNumber_),
                             static_cast<QWidget*>(channel_)}) {
        control->installEventFilter(this);
    }
}

CTitrationParamsDlg::~CTitrationParamsDlg() = default;

void CTitrationParamsDlg::Run(const DialogContext& context, QWidget* owner) {
    {
        CTitrationParamsDlg dialog(context, owner);
        dialog.exec();
    }
    RedrawViews(context.state);
}

void CTitrationParamsDlg::FindPorts() {
    const std::unique_ptr<SerialPort> serial = context_.makePort();
    const PortMap map = context_.portMap();
    InstrumentLink link(*serial, map);
    if (link.FindPorts() == 0) {
        prompter_->Warn("Поиск COM портов", "Последовательные порты не обнаружены");
    }
    ports_ = BuildPortList(link.Presence(), map, context_.state.link.comPort);
    for (const PortListEntry& entry : ports_.entries) {
        port_->addItem(Utf8(entry.text));
        if (!entry.problem.text.empty()) {
            port_->setItemData(port_->count() - 1, Utf8(entry.problem.text), Qt::ToolTipRole);
        }
    }
    if (!ports_.entries.empty()) {
        port_->setCurrentIndex(ports_.selected);
    }
}

void CTitrationParamsDlg::ShowSettings() {
    const SharedState& state = context_.state;
    for (std::string_view entry : kQuantityEntries) {
        quantity_->addItem(Utf8(entry));
    }
    quantity_->setCurrentIndex(static_cast<int>(state.record.quantity));
    quantity_->setEnabled(QuantityChoosable(state.record));
    networkNumber_->setText(QString::number(state.link.networkNumber));
    channel_->setText(QString::number(state.link.channel));
    description_->setText(FromCp1251(DescriptionView(state.record)));
}

void CTitrationParamsDlg::Leave(QObject* control) {
    SharedState& state = context_.state;
    if (control == port_) {
        StorePort(state.link, ports_, port_->currentIndex());
    } else if (control == quantity_) {
        const MeasuredQuantity before = state.record.quantity;
        StoreQuantity(state.record, state.link, quantity_->currentIndex());
        if (state.record.quantity != before) {
            RecordChanged(state);
        }
    } else if (control == networkNumber_) {
        networkNumber_->setText(
            QString::number(StoreNetworkNumber(state.link, networkNumber_->text().toStdString())));
    } else if (control == channel_) {
        channel_->setText(
            QString::number(StoreChannel(state.link, channel_->text().toStdString())));
    } else if (control == description_ && description_->isModified()) {
        // Only a changed text: a description longer than the box keeps its end.
        StoreDescription(state.record, ToCp1251(description_->text()));
        description_->setModified(false);
        RecordChanged(state);
    }
}

void CTitrationParamsDlg::OnDescriptionEdited() {
    const QString typed = description_->text();
    const FittedDescription fitted = FitDescription(typed.toStdString());
    const QString text = QString::fromStdString(fitted.text);
    if (text == typed) {
        return;
    }
    // The cursor stays after what was typed or pasted.
    const int cursor = static_cast<int>(
        QString::fromStdString(
            FitDescription(typed.left(description_->cursorPosition()).toStdString()).text)
            .size());
    description_->setText(text);
    description_->setCursorPosition(cursor);
    description_->setModified(true);
    if (!fitted.replaced.empty()) {
        QApplication::beep();
        QToolTip::showText(description_->mapToGlobal(QPoint(0, description_->height())),
                           (QString::fromStdString(fitted.replaced).toUcs4().size() == 1
                                ? QStringLiteral("Знак «%1» нельзя сохранить в описании (кодовая "
                                                 "страница 1251): он заменён на «?».")
                                : QStringLiteral("Знаки «%1» нельзя сохранить в описании "
                                                 "(кодовая страница 1251): они заменены на «?»."))
                               .arg(QString::fromStdString(fitted.replaced)),
                           description_);
    }
}

void CTitrationParamsDlg::RunCheck() {
    Leave(focusWidget());
    context_.host.Run(ModalDialog::LinkCheck, this);
}

void CTitrationParamsDlg::done(int result) {
    Leave(focusWidget());
    QDialog::done(result);
}

bool CTitrationParamsDlg::eventFilter(QObject* watched, QEvent* event) {
    // A context menu or a list's popup takes the focus for a moment only.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        Leave(watched);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kelm
