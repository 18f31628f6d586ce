#include "ui/CProcessingDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>

#include "core/Prompter.h"
#include "processing/EvaluationNotice.h"
#include "processing/Smoothing.h"
#include "ui/CEvaluationDlg.h"
#include "ui/Cp1251Text.h"
#include "ui/DialogContext.h"
#include "ui/DialogUnits.h"
#include "ui/EnterKeyRouter.h"
#include "ui/WindowPlacement.h"

namespace kelm {

namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void SetText(QLineEdit* edit, const std::string& utf8) {
    const QString text = Text(utf8);
    if (edit->text() != text) {
        edit->setText(text);
    }
}

QLabel* Label(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

QSlider* Slider(const char* name, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(name));
    slider->setTickPosition(QSlider::TicksAbove);
    return slider;
}

// The four radio buttons are one group of the window, yet each pair keeps its
// own choice: the form checks the right button of both pairs after a click.
// They are reached by Enter and the mouse, not by Tab.
QRadioButton* Radio(const char* text, const char* name, QWidget* parent) {
    auto* radio = new QRadioButton(QString::fromUtf8(text), parent);
    radio->setObjectName(QLatin1String(name));
    radio->setAutoExclusive(false);
    radio->setFocusPolicy(Qt::ClickFocus);
    return radio;
}

QLineEdit* Edit(const char* name, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
    }
    return edit;
}

}  // namespace

CProcessingDlg::CProcessingDlg(const DialogContext& context, QWidget* owner)
    : CProcessingDlgBase(owner), context_(context), form_(context.state) {
    // The name tags this window's messages, so it comes before the prompter.
    setObjectName(QStringLiteral("processing"));
    prompter_ = context.makePrompter(this);
    setWindowTitle(QStringLiteral("Обработка кривой"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    CreateControls();
    Connect();
    new EnterKeyRouter(this, [this](QWidget* focused) { OnEnter(focused); });
    PlaceBesideOwner(this, BesideOwner::Top);
}

CProcessingDlg::~CProcessingDlg() {
    // Destroying the boxes takes their focus; that commits nothing.
    for (QWidget* box : Boxes()) {
        box->removeEventFilter(this);
    }
}

void CProcessingDlg::CreateControls() {
    const DialogUnits du(font());
    // Made in the Tab order of the window.
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    criterion_ = new QComboBox(this);
    criterion_->setObjectName(QStringLiteral("criterion"));
    criterion_->addItems(
        {QStringLiteral("Заданная конечная точка"), QStringLiteral("Экстремум производной")});
    QLabel* criterionLabel = Label("Критерий", criterion_, this);
    endValue_ = Edit("endValue", 0, this);
    QLabel* endValueLabel = Label("Значение", endValue_, this);
    auto* group = new QGroupBox(QStringLiteral("Интерполяция кривой титрования"), this);
    pointSlider_ = Slider("pointSlider", this);
    pointCount_ = Edit("pointCount", kPointCountChars, this);
    QLabel* pointCountLabel = Label("Число точек", pointCount_, this);
    filterStrength_ = Edit("filterStrength", kFilterStrengthChars, this);
    QLabel* filterLabel = Label("Фильтрация", filterStrength_, this);
    polynomial_ = Radio("Полиномиальное сглаживание", "polynomial", this);
    movingAverage_ = Radio("Скользящее среднее", "movingAverage", this);
    filterSlider_ = Slider("filterSlider", this);
    filterSlider_->setRange(0, kMaxFilterStrength);
    filterSlider_->setTickInterval(kFilterSliderTicks);
    cubicSpline_ = Radio("Кубический сплайн", "cubicSpline", this);
    linear_ = Radio("Линейная аппроксимация", "linear", this);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    automatic_ = new QCheckBox(QStringLiteral("Автоматически"), this);
    automatic_->setObjectName(QStringLiteral("automatic"));
    evaluation_ = new QPushButton(QStringLiteral("&Поиск и выбор точек..."), this);
    evaluation_->setObjectName(QStringLiteral("evaluation"));
    evaluation_->setFocusPolicy(Qt::ClickFocus);
    evaluation_->setAutoDefault(false);

    // The controls stand where the layout in dialog units puts them.
    du.Place(criterionLabel, 7, 17, 37, 13, true);
    du.Place(criterion_, 53, 17, 121, 12);
    du.Place(endValueLabel, 7, 37, 43, 12, true);
    du.Place(endValue_, 53, 37, 57, 12);
    group->setGeometry(du.Rect(7, 62, 191, 150));
    du.Place(pointCountLabel, 18, 80, 43, 8, true);
    du.Place(pointCount_, 74, 78, 35, 12);
    du.Place(automatic_, 119, 75, 70, 17, true);
    du.Place(pointSlider_, 18, 93, 169, 11);
    du.Place(cubicSpline_, 18, 110, 133, 9, true);
    du.Place(linear_, 18, 122, 134, 9, true);
    line->setGeometry(du.Rect(17, 138, 169, 1).adjusted(0, 0, 0, 1));
    du.Place(filterLabel, 18, 151, 52, 9, true);
    du.Place(filterStrength_, 74, 149, 35, 12);
    du.Place(filterSlider_, 18, 168, 169, 11);
    du.Place(polynomial_, 18, 187, 150, 9, true);
    du.Place(movingAverage_, 18, 198, 115, 8, true);
    du.Place(ok_, 148, 218, 50, 14);
    du.Place(evaluation_, 7, 218, 134, 14);
    setFixedSize(du.Size(205, 239));
}

void CProcessingDlg::Connect() {
    for (QWidget* box : Boxes()) {
        box->installEventFilter(this);
    }
    connect(criterion_, &QComboBox::currentIndexChanged, this, [this](int index) {
        form_.CriterionChosen(index);
        Sync();
    });
    connect(pointSlider_, &QSlider::valueChanged, this, [this](int position) {
        form_.PointSliderMoved(position);
        Sync();
    });
    connect(filterSlider_, &QSlider::valueChanged, this, [this](int position) {
        form_.FilterSliderMoved(position);
        Sync();
    });
    connect(automatic_, &QCheckBox::clicked, this, [this](bool checked) {
        form_.AutomaticChosen(checked);
        Sync();
    });
    const auto choose = [this](QRadioButton* radio, auto choice) {
        connect(radio, &QRadioButton::clicked, this, [this, choice] {
            choice(form_);
            Sync();
        });
    };
    choose(polynomial_, [](ProcessingForm& f) { f.FilterChosen(FilterKind::PolynomialSmoothing); });
    choose(movingAverage_, [](ProcessingForm& f) { f.FilterChosen(FilterKind::MovingAverage); });
    choose(cubicSpline_,
           [](ProcessingForm& f) { f.InterpolationChosen(InterpolationKind::CubicSpline); });
    choose(linear_, [](ProcessingForm& f) { f.InterpolationChosen(InterpolationKind::Linear); });
    connect(ok_, &QPushButton::clicked, this, [this] { OnEnter(ok_); });
    connect(evaluation_, &QPushButton::clicked, this, &CProcessingDlg::OpenEvaluation);
}

void CProcessingDlg::OpenEvaluation() {
    CEvaluationDlg::Run(context_, this);
    Sync();
}

void CProcessingDlg::RefreshPointCount() {
    form_.RefreshPointCount();
    Sync();
}

void CProcessingDlg::SeparatorChanged() {
    if (isVisible()) {
        Reload();
    }
}

void CProcessingDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Reload();
    }
    CProcessingDlgBase::showEvent(event);
}

void CProcessingDlg::changeEvent(QEvent* event) {
    // Coming back to the window shows the settings as they are now: a file
    // opened or a run since may have changed them. Leaving it committed
    // whatever box had the focus.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Reload();
    }
    CProcessingDlgBase::changeEvent(event);
}

bool CProcessingDlg::eventFilter(QObject* watched, QEvent* event) {
    // A box commits when the focus leaves it, also for another window; not
    // for its own context menu.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        Left(static_cast<QWidget*>(watched));
    }
    return CProcessingDlgBase::eventFilter(watched, event);
}

void CProcessingDlg::Reload() {
    if (asking_) {
        return;
    }
    form_.Load();
    Sync();
}

void CProcessingDlg::Left(QWidget* control) {
    // The question takes the focus from the control Tab had just reached:
    // that control holds nothing new, and the box keeps what was typed
    // while the question is open.
    if (asking_) {
        return;
    }
    if (control == criterion_) {
        form_.CriterionChosen(criterion_->currentIndex());
    } else if (control == endValue_) {
        asking_ = true;
        form_.EndValueLeft(endValue_->text().toStdString(), *prompter_);
        asking_ = false;
    } else if (control == pointCount_) {
        form_.PointCountLeft(pointCount_->text().toStdString());
    } else if (control == filterStrength_) {
        form_.FilterStrengthLeft(filterStrength_->text().toStdString());
    }
    Sync();
}

void CProcessingDlg::Sync() {
    const ProcessingView& v = form_.View();
    const QSignalBlocker criterionBlocker(criterion_);
    const QSignalBlocker pointBlocker(pointSlider_);
    const QSignalBlocker filterBlocker(filterSlider_);
    criterion_->setCurrentIndex(v.criterionIndex);
    SetText(endValue_, v.endValueText);
    endValue_->setEnabled(v.endValueEnabled);
    automatic_->setChecked(v.automatic);
    SetText(pointCount_, v.pointCountText);
    pointCount_->setReadOnly(v.automatic);
    pointSlider_->setRange(v.pointSliderMin, kMaxGridPoints);
    pointSlider_->setTickInterval(v.pointSliderTicks);
    pointSlider_->setValue(v.pointSliderPos);
    pointSlider_->setEnabled(!v.automatic);
    SetText(filterStrength_, v.filterStrengthText);
    filterSlider_->setValue(v.filterSliderPos);
    cubicSpline_->setChecked(v.cubicSpline);
    linear_->setChecked(!v.cubicSpline);
    polynomial_->setChecked(v.polynomial);
    movingAverage_->setChecked(!v.polynomial);
    const auto summary = EvaluationSummary(context_.state.notes.evaluation,
                                           context_.state.display.decimalComma != 0);
    evaluation_->setToolTip(summary.empty() ? QStringLiteral("Все точки, без окна поиска")
                                            : FromCp1251(summary.view()));
}

void CProcessingDlg::OnEnter(QWidget* focused) {
    if (focused == evaluation_) {
        OpenEvaluation();
        return;
    }
    const EnterStep step = form_.Enter(ControlOf(focused));
    // The focus moves before the controls are painted: a box keeps what was
    // typed into it until leaving it commits that.
    MoveFocusTo(WidgetOf(step.focus));
    Sync();
    if (step.requestProcessing) {
        context_.processing.RequestProcessing(this);
    }
}

std::array<QWidget*, 4> CProcessingDlg::Boxes() const {
    return {criterion_, endValue_, pointCount_, filterStrength_};
}

std::array<std::pair<QWidget*, ProcessingControl>, 12> CProcessingDlg::Controls() const {
    using C = ProcessingControl;
    return {{{ok_, C::Ok},
             {criterion_, C::Criterion},
             {endValue_, C::EndValue},
             {pointCount_, C::PointCount},
             {automatic_, C::Automatic},
             {pointSlider_, C::PointSlider},
             {cubicSpline_, C::CubicSpline},
             {linear_, C::Linear},
             {filterStrength_, C::FilterStrength},
             {filterSlider_, C::FilterSlider},
             {polynomial_, C::Polynomial},
             {movingAverage_, C::MovingAverage}}};
}

ProcessingControl CProcessingDlg::ControlOf(const QWidget* widget) const {
    for (const auto& [w, control] : Controls()) {
        if (w == widget) {
            return control;
        }
    }
    return ProcessingControl::Other;
}

QWidget* CProcessingDlg::WidgetOf(ProcessingControl control) const {
    for (const auto& [w, c] : Controls()) {
        if (c == control) {
            return w;
        }
    }
    return ok_;
}

}  // namespace kelm
