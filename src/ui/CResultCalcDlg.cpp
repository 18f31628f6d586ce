#include "ui/CResultCalcDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/Prompter.h"
#include "results/ResultUnits.h"
#include "ui/DialogContext.h"
#include "ui/EnterKeyRouter.h"
#include "ui/WindowPlacement.h"

namespace kelm {

namespace {

using C = ResultControl;

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void SetText(QLineEdit* edit, const std::string& utf8) {
    const QString text = Text(utf8);
    if (edit->text() != text) {
        edit->setText(text);
    }
}

// The label of each box, in the order of the boxes.
struct BoxLabel {
    ResultControl control;
    const char* name;
    const char* label;
};
constexpr BoxLabel kBoxLabels[] = {
    {C::SampleName, "sampleName", "&Проба"},
    {C::SampleAmount, "sampleAmount", "Ко&личество пробы"},
    {C::Titrant, "titrant", "&Титрант"},
    {C::Concentration, "concentration", "&Концентрация, моль/л"},
    {C::Titer, "titer", "Тит&р"},
    {C::Blank, "blank", "&Холостой опыт, мл"},
    {C::Ratio, "ratio", "Коэ&ффициент ν"},
    {C::MolarMass, "molarMass", "&Молярная масса, г/моль"},
    {C::StandardMass, "standardMass", "Масса ст&андарта, г"},
    {C::Purity, "purity", "&Чистота, %"},
    {C::StandardMolarMass, "standardMolarMass", "Молярная масса стан&дарта, г/моль"},
    {C::StandardRatio, "standardRatio", "Коэффициент ν ста&ндарта"},
};

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CResultCalcDlg::CResultCalcDlg(const DialogContext& context, QWidget* owner)
    : CWorkDlg(owner), context_(context), form_(context.state, context.store, context.recordFile) {
    // The name tags this window's messages, so it comes before the prompter.
    setObjectName(QStringLiteral("resultCalc"));
    prompter_ = context.makePrompter(this);
    setWindowTitle(QStringLiteral("Расчёт результата"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    CreateControls();
    Connect();
    new EnterKeyRouter(this, [this](QWidget* focused) { OnEnter(focused); });
    // The processing settings and the results fill the right side, and the
    // point entry, used while titrating rather than after, stands on the left:
    // this one takes the left too, so that it covers neither of the other two.
    PlaceBesideOwner(this, BesideOwner::Left);
}

CResultCalcDlg::~CResultCalcDlg() {
    // Destroying the boxes takes their focus; that commits nothing.
    for (QLineEdit* box : boxes_) {
        if (box != nullptr) {
            box->removeEventFilter(this);
        }
    }
    titrant_->removeEventFilter(this);
}

void CResultCalcDlg::CreateControls() {
    auto* grid = new QGridLayout;
    auto* standardGrid = new QGridLayout;
    standard_ = new QGroupBox(QStringLiteral("Стандарт"), this);
    standard_->setLayout(standardGrid);
    titrant_ = new QComboBox(this);
    titrant_->setObjectName(QStringLiteral("titrant"));
    titrant_->setEditable(true);
    titrant_->setInsertPolicy(QComboBox::NoInsert);
    titrant_->lineEdit()->setMaxLength(static_cast<int>(kResultNameCapacity) - 1);
    sampleUnit_ = new QComboBox(this);
    sampleUnit_->setObjectName(QStringLiteral("sampleUnit"));
    for (SampleUnit unit : {SampleUnit::Millilitre, SampleUnit::Gram}) {
        sampleUnit_->addItem(Text(std::string(SampleUnitLabel(unit))));
    }
    unit_ = new QComboBox(this);
    unit_->setObjectName(QStringLiteral("unit"));
    for (int k = 0; k < kResultUnitCount; ++k) {
        unit_->addItem(Text(std::string(UnitInfo(static_cast<ResultUnit>(k)).label)));
    }
    titerDetermination_ = new QCheckBox(QStringLiteral("&Установка титра по стандарту"), this);
    titerDetermination_->setObjectName(QStringLiteral("titerDetermination"));

    int row = 0;
    int standardRow = 0;
    for (const BoxLabel& b : kBoxLabels) {
        QWidget* field = nullptr;
        if (b.control == C::Titrant) {
            field = titrant_;
            boxes_[BoxIndex(b.control)] = titrant_->lineEdit();
        } else {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(QLatin1String(b.name));
            if (b.control == C::SampleName) {
                edit->setMaxLength(static_cast<int>(kResultNameCapacity) - 1);
            }
            boxes_[BoxIndex(b.control)] = edit;
            field = edit;
        }
        auto* label = new QLabel(QString::fromUtf8(b.label), this);
        label->setBuddy(field);
        const bool ofStandard = b.control >= C::StandardMass;
        QGridLayout* target = ofStandard ? standardGrid : grid;
        const int r = ofStandard ? standardRow++ : row++;
        target->addWidget(label, r, 0);
        target->addWidget(field, r, 1);
        if (b.control == C::SampleAmount) {
            target->addWidget(sampleUnit_, r, 2);
        }
        if (b.control == C::MolarMass) {
            auto* unitLabel = new QLabel(QStringLiteral("&Единица результата"), this);
            unitLabel->setBuddy(unit_);
            grid->addWidget(unitLabel, row, 0);
            grid->addWidget(unit_, row++, 1);
            grid->addWidget(titerDetermination_, row++, 0, 1, 3);
        }
    }
    results_ = new QPlainTextEdit(this);
    results_->setObjectName(QStringLiteral("results"));
    results_->setReadOnly(true);
    results_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    results_->setLineWrapMode(QPlainTextEdit::NoWrap);
    results_->setTabChangesFocus(true);
    results_->setMinimumHeight(90);
    auto* resultsLabel = new QLabel(QStringLiteral("Результат&ы"), this);
    resultsLabel->setBuddy(results_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    copy_ = Button("Коп&ировать", "copy", this);
    updateTiter_ = Button("&Записать титр", "updateTiter", this);
    save_ = Button("&Сохранить", "save", this);
    ok_ = Button("OK", "ok", this);
    ok_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addWidget(updateTiter_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(standard_);
    layout->addWidget(resultsLabel);
    layout->addWidget(results_, 1);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    // Tab follows the order of the form's controls.
    QWidget* previous = nullptr;
    for (int c = 0; c < static_cast<int>(C::Other); ++c) {
        QWidget* w = WidgetOf(static_cast<ResultControl>(c));
        if (previous != nullptr && w != previous) {
            setTabOrder(previous, w);
        }
        previous = w;
    }
}

void CResultCalcDlg::Connect() {
    for (QLineEdit* box : boxes_) {
        if (box != titrant_->lineEdit()) {
            box->installEventFilter(this);
        }
    }
    titrant_->installEventFilter(this);
    titrant_->lineEdit()->installEventFilter(this);
    connect(sampleUnit_, &QComboBox::activated, this, [this](int index) {
        form_.SampleUnitChosen(index);
        Sync();
    });
    connect(unit_, &QComboBox::activated, this, [this](int index) {
        form_.UnitChosen(index);
        Sync();
    });
    connect(titerDetermination_, &QCheckBox::clicked, this, [this](bool on) {
        form_.TiterDeterminationChosen(on);
        Sync();
    });
    connect(titrant_, &QComboBox::activated, this, [this](int index) {
        asking_ = true;
        form_.TitrantPicked(titrant_->itemText(index).toStdString(), *prompter_);
        asking_ = false;
        Sync();
    });
    connect(copy_, &QPushButton::clicked, this, &CResultCalcDlg::Copy);
    connect(updateTiter_, &QPushButton::clicked, this, [this] {
        asking_ = true;
        form_.UpdateTiter(*prompter_);
        asking_ = false;
        Sync();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        if (context_.saveRecord) {
            context_.saveRecord();
        }
    });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void CResultCalcDlg::SeparatorChanged() {
    if (isVisible()) {
        Reload();
    }
}

void CResultCalcDlg::RecordReplaced() {
    if (isVisible()) {
        Reload();
    }
}

void CResultCalcDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Reload();
    }
    CWorkDlg::showEvent(event);
}

void CResultCalcDlg::changeEvent(QEvent* event) {
    // Coming back to the window shows the record as it is now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Reload();
    }
    CWorkDlg::changeEvent(event);
}

bool CResultCalcDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        Left(static_cast<QWidget*>(watched));
    }
    return CWorkDlg::eventFilter(watched, event);
}

void CResultCalcDlg::Reload() {
    if (asking_) {
        return;
    }
    asking_ = true;
    form_.Load(*prompter_);
    asking_ = false;
    Sync();
}

void CResultCalcDlg::Left(QWidget* control) {
    if (asking_) {
        return;
    }
    const ResultControl which = ControlOf(control);
    const int index = BoxIndex(which);
    if (index < 0) {
        return;
    }
    asking_ = true;
    form_.BoxLeft(which, boxes_[index]->text().toStdString(), *prompter_);
    asking_ = false;
    Sync();
}

void CResultCalcDlg::Sync() {
    const ResultView& v = form_.View();
    for (int i = 0; i < kResultBoxCount; ++i) {
        SetText(boxes_[i], v.boxes[i]);
    }
    QStringList names;
    for (const std::string& name : v.titrants) {
        names.append(Text(name));
    }
    QStringList shown;
    for (int i = 0; i < titrant_->count(); ++i) {
        shown.append(titrant_->itemText(i));
    }
    if (names != shown) {
        const QSignalBlocker blocker(titrant_);
        const QString typed = titrant_->currentText();
        titrant_->clear();
        titrant_->addItems(names);
        titrant_->setEditText(typed);
    }
    sampleUnit_->setCurrentIndex(v.sampleUnitIndex);
    unit_->setCurrentIndex(v.unitIndex);
    titerDetermination_->setChecked(v.titerDetermination);
    standard_->setEnabled(v.titerDetermination);
    // The table stays in its columns; a sentence why there is none wraps.
    results_->setLineWrapMode(v.canCopy ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    const QString results = Text(v.results);
    if (results_->toPlainText() != results) {
        results_->setPlainText(results);
    }
    copy_->setEnabled(v.canCopy);
    updateTiter_->setEnabled(v.canUpdateTiter);
    status_->setText(Text(v.status));
    status_->setVisible(!v.status.empty());
}

void CResultCalcDlg::Copy() {
    QApplication::clipboard()->setText(Text(form_.CopyText()));
}

void CResultCalcDlg::OnEnter(QWidget* focused) {
    const ResultEnterStep step = form_.Enter(ControlOf(focused));
    if (ControlOf(focused) == C::UpdateTiter && updateTiter_->isEnabled()) {
        updateTiter_->click();
    }
    MoveFocusTo(WidgetOf(step.focus));
    if (step.copy) {
        Copy();
    }
    if (step.save) {
        save_->click();
    }
    if (step.close) {
        accept();
    }
}

ResultControl CResultCalcDlg::ControlOf(const QWidget* widget) const {
    for (int c = 0; c < static_cast<int>(C::Other); ++c) {
        const auto control = static_cast<ResultControl>(c);
        const QWidget* w = WidgetOf(control);
        if (w == widget || (control == C::Titrant && widget == titrant_->lineEdit())) {
            return control;
        }
    }
    return C::Other;
}

QWidget* CResultCalcDlg::WidgetOf(ResultControl control) const {
    switch (control) {
        case C::SampleUnit:
            return sampleUnit_;
        case C::Titrant:
            return titrant_;
        case C::Unit:
            return unit_;
        case C::TiterDetermination:
            return titerDetermination_;
        case C::Results:
            return results_;
        case C::Copy:
            return copy_;
        case C::UpdateTiter:
            return updateTiter_;
        case C::Save:
            return save_;
        case C::Ok:
        case C::Other:
            return ok_;
        default:
            return boxes_[BoxIndex(control)];
    }
}

}  // namespace kelm
