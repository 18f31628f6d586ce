#include "ui/CTitrationEntryDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <algorithm>
#include <array>

#include "acquisition/EntryTexts.h"
#include "core/SharedState.h"
#include "ui/AppIcon.h"
#include "ui/Cp1251Text.h"
#include "ui/DialogHost.h"
#include "ui/EnterKeyRouter.h"
#include "ui/WindowPlacement.h"

namespace kelm {

namespace {

constexpr std::array<const char*, 4> kRecordModeTexts = {"Ручной ввод", "С прибора",
                                                         "-''-, таймер, с", "-''-, дрейф, мВ/мин"};
constexpr int kColumns = 3;
constexpr int kDefaultColumnWidth = 100;
constexpr QSize kDefaultSize(600, 500);
constexpr int kMinLayoutWidth = 400;
constexpr int kMinLayoutHeight = 300;
constexpr int kMinSavedColumnWidth = 10;
constexpr int kMinSavedSize = 500;

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString Ascii(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

void Apply(QWidget* control, const ControlState& state) {
    control->setEnabled(state.enabled);
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        box->setReadOnly(state.readOnly);
    }
}

// Writes the logic's text into a box only when it differs, so that the
// cursor and the selection of an unchanged box stay where they are.
void Show(QLineEdit* box, const std::string& text) {
    const QString wanted = Utf8(text);
    if (box->text() != wanted) {
        box->setText(wanted);
    }
}

}  // namespace

CTitrationEntryDlg::CTitrationEntryDlg(const DialogContext& context, QWidget* owner)
    : CWorkDlg(owner), context_(context) {
    setObjectName(QStringLiteral("entry"));
    setWindowTitle(QStringLiteral("Kelm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    prompter_ = context.makePrompter(this);
    port_ = context.makePort();
    EntryWindow& window = *this;
    entry_ = std::make_unique<TitrationEntry>(context.state, *port_, context.portMap, *prompter_,
                                              context.clock, window);
    timer_.setInterval(kTickPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CTitrationEntryDlg::OnAcquisitionTick);

    CreateControls();
    ConnectControls();
    new EnterKeyRouter(this, [this](QWidget* focused) { OnEnter(focused); });
    entry_->Initialise();
    resize(OuterSize() - FrameExtra());
    // Beside the graph, so that the curve can be watched as it grows.
    PlaceBesideOwner(this, BesideOwner::Left);
    Sync();
}

CTitrationEntryDlg::~CTitrationEntryDlg() = default;

void CTitrationEntryDlg::CreateControls() {
    // The frames first, so that the controls they frame lie above them.
    criterionGroup_ = new QGroupBox(QStringLiteral("Критерий записи"), this);
    pointGroup_ = new QGroupBox(QStringLiteral("Точка графика"), this);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("pointList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->header()->setDefaultAlignment(Qt::AlignCenter);
    list_->setColumnCount(kColumns);

    criterionList_ = new QComboBox(this);
    criterionList_->setObjectName(QStringLiteral("criterionList"));
    criterionBox_ = new QLineEdit(this);
    criterionBox_->setObjectName(QStringLiteral("criterionBox"));

    additionLabel_ = new QLabel(QStringLiteral("Объём добавки"), this);
    additionBox_ = new QLineEdit(this);
    additionBox_->setObjectName(QStringLiteral("additionBox"));
    additionLabel_->setBuddy(additionBox_);
    addButton_ = new QPushButton(QStringLiteral("Добавка титранта"), this);
    addButton_->setObjectName(QStringLiteral("addButton"));

    valueLabel_ = new QLabel(QStringLiteral("Значение"), this);
    valueBox_ = new QLineEdit(this);
    valueBox_->setObjectName(QStringLiteral("valueBox"));
    valueLabel_->setBuddy(valueBox_);
    recordButton_ = new QPushButton(QStringLiteral("Запись точки"), this);
    recordButton_->setObjectName(QStringLiteral("recordButton"));

    calculateButton_ = new QPushButton(QStringLiteral("Расчёт"), this);
    calculateButton_->setObjectName(QStringLiteral("calculateButton"));
    calculateButton_->setDefault(true);

    QWidget* const tabOrder[] = {list_,      criterionList_, criterionBox_, additionBox_,
                                 addButton_, valueBox_,      recordButton_, calculateButton_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    criterionBox_->installEventFilter(this);
    list_->installEventFilter(this);
}

void CTitrationEntryDlg::ConnectControls() {
    connect(additionBox_, &QLineEdit::textEdited, this,
            [this](const QString& text) { entry_->SetAdditionText(text.toUtf8().toStdString()); });
    connect(criterionBox_, &QLineEdit::textEdited, this,
            [this](const QString& text) { entry_->SetCriterionText(text.toUtf8().toStdString()); });
    connect(valueBox_, &QLineEdit::textEdited, this,
            [this](const QString& text) { entry_->SetValueText(text.toUtf8().toStdString()); });
    connect(criterionList_, &QComboBox::activated, this, [this](int index) {
        entry_->SelectRecordMode(index);
        Sync();
    });
    connect(addButton_, &QPushButton::clicked, this, [this] {
        entry_->AddTitrant();
        Sync();
    });
    connect(recordButton_, &QPushButton::clicked, this, [this] {
        entry_->RecordPoint();
        Sync();
    });
    connect(calculateButton_, &QPushButton::clicked, this,
            [this] { context_.processing.RunProcessing(this); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CTitrationEntryDlg::SyncSelection);
}

void CTitrationEntryDlg::OnAcquisitionTick() {
    entry_->OnAcquisitionTick();
    Sync();
}

void CTitrationEntryDlg::showEvent(QShowEvent* event) {
    CWorkDlg::showEvent(event);
    // A window brought back from the task bar is not shown anew.
    if (!event->spontaneous()) {
        OnShow();
    }
}

void CTitrationEntryDlg::OnShow() {
    const SharedState& state = context_.state;
    const TitleText title = EntryTitle(state.record);
    if (!title.empty()) {
        setWindowTitle(FromCp1251(title.view()));
    }
    setWindowIcon(AppIcon());

    {
        const QSignalBlocker blocker(criterionList_);
        criterionList_->clear();
        for (const char* text : kRecordModeTexts) {
            criterionList_->addItem(QString::fromUtf8(text));
        }
    }
    entry_->UpdateControls();

    const EntryDialogLayout& layout = state.entryLayout;
    const bool saved = layout.layoutSaved == 1;
    const QString heading = FromCp1251(ValueHeading(state.record.quantity));
    list_->setHeaderLabels({QStringLiteral("Объём"), heading, QStringLiteral("Изменение")});
    for (int k = 0; k < kColumns; ++k) {
        list_->setColumnWidth(k, saved ? layout.columnWidth[k] : kDefaultColumnWidth);
    }
    valueLabel_->setText(heading);
    FillList();

    resize(OuterSize() - FrameExtra());
    Sync();
}

void CTitrationEntryDlg::FillList() {
    list_->clear();
    const int count = PointCount(context_.state.record);
    for (int i = 0; i < count; ++i) {
        new QTreeWidgetItem(list_);
        SetRowTexts(i);
    }
    SyncSelection();
}

void CTitrationEntryDlg::SetRowTexts(int index) {
    QTreeWidgetItem* item = list_->topLevelItem(index);
    if (item == nullptr) {
        return;
    }
    const PointRow row = ListRow(context_.state, index);
    const std::string_view texts[kColumns] = {row.volume.view(), row.value.view(),
                                              row.change.view()};
    for (int k = 0; k < kColumns; ++k) {
        item->setText(k, Ascii(texts[k]));
        item->setTextAlignment(k, Qt::AlignCenter);
    }
}

void CTitrationEntryDlg::SyncSelection() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    entry_->SelectPoint(selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front()));
}

void CTitrationEntryDlg::SeparatorChanged() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        SetRowTexts(i);
    }
    entry_->RefreshNumbers();
    Sync();
}

void CTitrationEntryDlg::Sync() {
    const EntryView& view = entry_->View();
    if (criterionList_->currentIndex() != view.recordMode) {
        const QSignalBlocker blocker(criterionList_);
        criterionList_->setCurrentIndex(view.recordMode);
    }
    Apply(criterionList_, view.criterionList);
    Apply(criterionBox_, view.criterionBox);
    Apply(additionBox_, view.additionBox);
    Apply(addButton_, view.addButton);
    Apply(valueBox_, view.valueBox);
    Apply(recordButton_, view.recordButton);
    Show(criterionBox_, entry_->CriterionText());
    Show(additionBox_, entry_->AdditionText());
    Show(valueBox_, entry_->ValueText());
    if (view.timerRunning != timer_.isActive()) {
        if (view.timerRunning) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }
    if (deferredFocus_ != nullptr && deferredFocus_->isEnabled()) {
        if (focusWidget() == focusAtDeferral_) {
            MoveFocusTo(deferredFocus_);
        }
        deferredFocus_ = nullptr;
    }
}

void CTitrationEntryDlg::FocusWhenEnabled(QWidget* target) {
    deferredFocus_ = nullptr;
    if (target->isEnabled()) {
        MoveFocusTo(target);
        return;
    }
    deferredFocus_ = target;
    focusAtDeferral_ = focusWidget();
}

void CTitrationEntryDlg::OnEnter(QWidget* focused) {
    const RecordMode mode = context_.state.acquisition.recordMode;
    const bool timed = mode == RecordMode::Timer || mode == RecordMode::Drift;
    if (focused == calculateButton_) {
        context_.processing.RunProcessing(this);
    } else if (focused == list_) {
        MoveFocusTo(calculateButton_);
    } else if (focused == additionBox_) {
        MoveFocusTo(addButton_);
    } else if (focused == criterionList_) {
        MoveFocusTo(timed ? criterionBox_ : additionBox_);
    } else if (focused == criterionBox_) {
        MoveFocusTo(additionBox_);
    } else if (focused == recordButton_) {
        entry_->RecordPoint();
        Sync();
        FocusWhenEnabled(additionBox_);
    } else if (focused == addButton_) {
        entry_->AddTitrant();
        Sync();
        if (!entry_->AdditionPending()) {
            // A refused volume is typed again.
            MoveFocusTo(additionBox_);
            return;
        }
        const RecordMode now = context_.state.acquisition.recordMode;
        FocusWhenEnabled(now == RecordMode::Manual       ? static_cast<QWidget*>(valueBox_)
                         : now == RecordMode::Instrument ? static_cast<QWidget*>(recordButton_)
                                                         : static_cast<QWidget*>(additionBox_));
    } else if (focused == valueBox_) {
        MoveFocusTo(recordButton_);
    } else {
        MoveFocusTo(addButton_);
    }
}

bool CTitrationEntryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // A context menu of the box is no leaving of it.
        const bool popup = static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason;
        if (watched == criterionBox_ && !popup) {
            entry_->CheckCriterionValue();
            Sync();
        } else if (watched == list_) {
            SaveLayout();
        }
    }
    return CWorkDlg::eventFilter(watched, event);
}

void CTitrationEntryDlg::resizeEvent(QResizeEvent* event) {
    CWorkDlg::resizeEvent(event);
    LayOut(width(), height());
    SaveLayout();
}

void CTitrationEntryDlg::LayOut(int clientWidth, int clientHeight) {
    const int cx = std::max(clientWidth, kMinLayoutWidth);
    const int cy = std::max(clientHeight, kMinLayoutHeight);
    const int x = cx - 190;
    constexpr int w = 170;
    constexpr int h = 25;
    list_->setGeometry(10, 20, cx - 220, cy > 460 ? cy - 30 : 430);
    criterionGroup_->setGeometry(cx - 200, 10, 190, 110);
    // A closed drop-down list is as high as a box; its entries open below it.
    criterionList_->setGeometry(x, 40, w, h);
    criterionBox_->setGeometry(x, 80, w, h);
    pointGroup_->setGeometry(cx - 200, 150, 190, 250);
    additionLabel_->setGeometry(x, 180, w, h);
    additionBox_->setGeometry(x, 210, w, h);
    addButton_->setGeometry(x, 250, w, h);
    valueLabel_->setGeometry(x, 290, w, h);
    valueBox_->setGeometry(x, 320, w, h);
    recordButton_->setGeometry(x, 360, w, h);
    calculateButton_->setGeometry(x, cy > 450 ? cy - 35 : 415, w, h);
}

// The window's frame beyond its client area. Before the window manager has
// framed the window, the main window's frame stands in, so that the outer
// size saved and the one restored agree from the first showing on.
QSize CTitrationEntryDlg::OuterSize() const {
    const EntryDialogLayout& layout = context_.state.entryLayout;
    return layout.layoutSaved == 1 ? QSize(layout.width, layout.height) : kDefaultSize;
}

QSize CTitrationEntryDlg::FrameExtra() const {
    for (const QWidget* w :
         {static_cast<const QWidget*>(this), static_cast<const QWidget*>(parentWidget())}) {
        if (w != nullptr) {
            const QSize extra = w->window()->frameGeometry().size() - w->window()->size();
            if (extra.width() > 0 || extra.height() > 0) {
                return extra;
            }
        }
    }
    return {0, 0};
}

// A minimised window has no size of its own: saving it would shrink the
// window at its next showing, and in kelm.cfg, to the least size.
void CTitrationEntryDlg::SaveLayout() {
    if (!list_->isVisible() || isMinimized()) {
        return;
    }
    EntryDialogLayout& layout = context_.state.entryLayout;
    for (int k = 0; k < kColumns; ++k) {
        layout.columnWidth[k] = std::max(list_->columnWidth(k), kMinSavedColumnWidth);
    }
    const QSize outer = size() + FrameExtra();
    layout.width = std::max(outer.width(), kMinSavedSize);
    layout.height = std::max(outer.height(), kMinSavedSize);
    layout.layoutSaved = 1;
}

void CTitrationEntryDlg::PointRecorded(int index) {
    // A list that shows another record than the one the point joined is
    // listed afresh.
    if (list_->topLevelItemCount() != index) {
        FillList();
    } else {
        new QTreeWidgetItem(list_);
        SetRowTexts(index);
    }
    if (CProcessingDlgBase* processing = context_.host.Processing()) {
        processing->RefreshPointCount();
    }
}

void CTitrationEntryDlg::Beep() {
    QApplication::beep();
}

}  // namespace kelm
