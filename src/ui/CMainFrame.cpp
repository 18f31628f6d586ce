#include "ui/CMainFrame.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "core/Journal.h"
#include "core/Prompter.h"
#include "ui/AppIcon.h"
#include "ui/CAboutDlg.h"
#include "ui/CKelmDoc.h"
#include "ui/CKelmView.h"
#include "ui/CPrintSetupDlg.h"
#include "ui/DialogHost.h"
#include "ui/GraphPrinting.h"
#include "ui/JournalTexts.h"
#include "ui/PreviewPages.h"
#include "ui/RecentFiles.h"

namespace kelm {

namespace {

struct CommandText {
    Command command;
    const char* text;      // as the menu shows it; a tab sets off the accelerator
    const char* shortcut;  // empty for none; several are set off by "; "
    const char* help;      // status-bar prompt, then after "\n" the tool tip
};

constexpr CommandText kCommandTexts[] = {
    {Command::FileNew, "&Создать\tCtrl+N", "Ctrl+N", "Создание нового документа\nСоздать (Ctrl-N)"},
    {Command::FileOpen, "&Открыть...\tCtrl+O", "Ctrl+O",
     "Открытие существующего документа\nОткрыть (Ctrl-O)"},
    {Command::FileSave, "&Сохранить\tCtrl+S", "Ctrl+S", "Сохранение документа\nСохранить (Ctrl-S)"},
    {Command::FileSaveAs, "Сохранить &как...", "",
     "Сохранение документа под новым именем\nСохранить как"},
    {Command::FilePrint, "&Печать...\tCtrl+P", "Ctrl+P", "Печать документа\nНапечатать (Ctrl-P)"},
    {Command::FilePrintPreview, "Пред&варительный просмотр", "",
     "Предварительный просмотр\nПредварительный просмотр"},
    {Command::FilePrintSetup, "Па&раметры печати...", "", "Параметры печати\nПараметры печати"},
    {Command::AppExit, "В&ыход", "", "Выход из программы\nВыход"},
    {Command::ViewCurve, "&Кривая титрования", "", ""},
    {Command::ViewDerivative, "П&роизводная", "", ""},
    {Command::ZoomIn, "У&величить\tCtrl++",
     "Ctrl++; Ctrl+=", "Увеличение части графика вокруг курсора"},
    {Command::ZoomOut, "Уме&ньшить\tCtrl+-", "Ctrl+-", "Уменьшение масштаба графика"},
    {Command::ZoomWhole, "Весь &график\tEsc", "Esc; Ctrl+0", "Показ всей кривой титрования"},
    {Command::ColourSourcePoints, "Исходные значения", "", ""},
    {Command::ColourInterpolatedCurve, "Интерполяция", "", ""},
    {Command::ColourEquivalencePoints, "Точки эквивалентности", "", ""},
    {Command::ViewToolbar, "&Панель инструментов", "",
     "Скрыть или показать панель инструментов\nСкрыть или показать панель инструментов"},
    {Command::ViewStatusBar, "&Строка состояния", "",
     "Скрыть или показать строку состояния\nСкрыть или показать строку состояния"},
    {Command::SeparatorPoint, "Точка", "", ""},
    {Command::SeparatorComma, "Запятая", "", ""},
    {Command::TitrationParams, "&Параметры титрования...", "",
     "Настройка параметров связи с прибором Лармит"},
    {Command::Processing, "&Обработка кривой...", "", "Выбор параметров интерполяции и фильтрации"},
    {Command::LinkCheck, "Проверка &связи с прибором...", "",
     "Проверка наличия связи с прибором Лармит"},
    {Command::Entry, "&Ввод точек...", "", "Ввод точек кривой титрования"},
    {Command::Results, "&Результаты...", "", "Вывод результатов"},
    {Command::ResultCalc, "Расчёт ре&зультата...", "",
     "Расчёт результата анализа по точкам эквивалентности\nРасчёт результата"},
    {Command::About, "&О программе...", "", "О программе\nО программе"},
};
static_assert(std::size(kCommandTexts) == kCommandCount);

constexpr char kRecentPlaceholder[] = "Ранее загруженные файлы";
constexpr char kRecentPrompt[] = "Открыть этот документ";
constexpr char kIdlePrompt[] = "Готово";
constexpr char kClosePreviewHelp[] = "Закрыть режим просмотра печати\nЗакрыть";
constexpr char kFileFilter[] = "Файлы результатов титрования (*.kel)";
constexpr char kAllFilesFilter[] = "Все файлы (*)";

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QIcon ToolIcon(Command command, const QStyle* style) {
    switch (command) {
        case Command::FileNew:
            return QIcon::fromTheme("document-new", style->standardIcon(QStyle::SP_FileIcon));
        case Command::FileOpen:
            return QIcon::fromTheme("document-open",
                                    style->standardIcon(QStyle::SP_DialogOpenButton));
        case Command::FileSave:
            return QIcon::fromTheme("document-save",
                                    style->standardIcon(QStyle::SP_DialogSaveButton));
        case Command::FilePrint:
            return QIcon::fromTheme("document-print", PrinterIcon());
        case Command::About:
            return QIcon::fromTheme("help-about", AboutIcon());
        case Command::ResultCalc:
            return QIcon::fromTheme("accessories-calculator",
                                    style->standardIcon(QStyle::SP_FileDialogDetailedView));
        default:
            return {};
    }
}

// A line of the status bar that takes the room it is given and shortens its
// text with "…" where that is too little.
class ShorteningLabel final : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect room = contentsRect();
        style()->drawItemText(
            &painter, room, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
            fontMetrics().elidedText(text(), Qt::ElideRight, room.width()), foregroundRole());
    }
};

QString DefaultOpenFile(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Открыть"), QString(),
                                        Utf8(kFileFilter) + ";;" + Utf8(kAllFilesFilter));
}

QString DefaultSaveFile(QWidget* owner, const QString& suggestion) {
    QFileDialog dialog(owner, QStringLiteral("Сохранить как"), suggestion,
                       Utf8(kFileFilter) + ";;" + Utf8(kAllFilesFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kel"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

std::optional<Rgb> DefaultColour(QWidget* owner) {
    const QColor colour = QColorDialog::getColor(Qt::black, owner);
    if (!colour.isValid()) {
        return std::nullopt;
    }
    return Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
               static_cast<std::uint8_t>(colour.blue())};
}

}  // namespace

CMainFrame::CMainFrame(SharedState& state, CKelmDoc& doc, DialogHost& dialogs, RecentFiles& recent,
                       Prompter& prompter, Journal& journal, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      doc_(doc),
      dialogs_(dialogs),
      recent_(recent),
      prompter_(prompter),
      journal_(journal),
      choosers_{DefaultOpenFile, DefaultSaveFile, DefaultColour},
      view_(new CKelmView(state, this)) {
    setCentralWidget(view_);
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateReadout();
    resize(800, 600);
    UpdateCommandUi();
}

CMainFrame::~CMainFrame() {
    doc_.OnReplaced({});
}

void CMainFrame::CreateActions() {
    for (const CommandText& entry : kCommandTexts) {
        auto* action = new QAction(Utf8(entry.text), this);
        action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(entry.shortcut)));
        const QStringList help = Utf8(entry.help).split('\n');
        action->setStatusTip(help.value(0));
        action->setToolTip(help.value(1, action->text()));
        if (entry.command != Command::About) {
            action->setIcon(ToolIcon(entry.command, style()));
        }
        action->setIconVisibleInMenu(false);
        actions_[static_cast<int>(entry.command)] = action;
    }
    Connect(Command::FileNew, &CMainFrame::OnFileNew);
    Connect(Command::FileOpen, &CMainFrame::OnFileOpen);
    Connect(Command::FileSave, &CMainFrame::OnFileSave);
    Connect(Command::FileSaveAs, &CMainFrame::OnFileSaveAs);
    Connect(Command::FilePrint, &CMainFrame::OnFilePrint);
    Connect(Command::FilePrintPreview, &CMainFrame::OnFilePrintPreview);
    Connect(Command::FilePrintSetup, &CMainFrame::OnFilePrintSetup);
    Connect(Command::ViewCurve, &CMainFrame::OnViewCurve);
    Connect(Command::ViewDerivative, &CMainFrame::OnViewDerivative);
    connect(Action(Command::ZoomIn), &QAction::triggered, view_, &CKelmView::ZoomIn);
    connect(Action(Command::ZoomOut), &QAction::triggered, view_, &CKelmView::ZoomOut);
    connect(Action(Command::ZoomWhole), &QAction::triggered, view_, &CKelmView::ShowWholeCurve);
    Connect(Command::About, &CMainFrame::OnAbout);
    connect(Action(Command::AppExit), &QAction::triggered, this, &QWidget::close);

    const std::pair<Command, ColourRole> colours[] = {
        {Command::ColourSourcePoints, ColourRole::SourcePoints},
        {Command::ColourInterpolatedCurve, ColourRole::InterpolatedCurve},
        {Command::ColourEquivalencePoints, ColourRole::EquivalencePointMarks},
    };
    for (const auto& [command, role] : colours) {
        connect(Action(command), &QAction::triggered, this,
                [this, role = role] { OnColour(role); });
    }
    connect(Action(Command::SeparatorPoint), &QAction::triggered, this, [this] { OnSeparator(0); });
    connect(Action(Command::SeparatorComma), &QAction::triggered, this, [this] { OnSeparator(1); });

    const std::pair<Command, WorkDialog> work[] = {
        {Command::Entry, WorkDialog::Entry},
        {Command::Processing, WorkDialog::Processing},
        {Command::Results, WorkDialog::Results},
        {Command::ResultCalc, WorkDialog::ResultCalc},
    };
    for (const auto& [command, dialog] : work) {
        Action(command)->setEnabled(dialogs_.Has(dialog));
        connect(Action(command), &QAction::triggered, this,
                [this, dialog = dialog] { dialogs_.RunCommand(dialog); });
    }
    const std::pair<Command, ModalDialog> modal[] = {
        {Command::TitrationParams, ModalDialog::TitrationParams},
        {Command::LinkCheck, ModalDialog::LinkCheck},
    };
    for (const auto& [command, dialog] : modal) {
        Action(command)->setEnabled(dialogs_.Has(dialog));
        connect(Action(command), &QAction::triggered, this,
                [this, dialog = dialog] { dialogs_.Run(dialog, this); });
    }

    for (Command command :
         {Command::ViewCurve, Command::ViewDerivative, Command::SeparatorPoint,
          Command::SeparatorComma, Command::ViewToolbar, Command::ViewStatusBar}) {
        Action(command)->setCheckable(true);
    }
}

void CMainFrame::Connect(Command command, void (CMainFrame::*handler)()) {
    connect(Action(command), &QAction::triggered, this, handler);
}

void CMainFrame::CreateMenus() {
    QMenuBar* bar = menuBar();

    fileMenu_ = bar->addMenu(QStringLiteral("&Файл"));
    fileMenu_->addActions({Action(Command::FileNew), Action(Command::FileOpen),
                           Action(Command::FileSave), Action(Command::FileSaveAs)});
    fileMenu_->addSeparator();
    fileMenu_->addActions({Action(Command::FilePrint), Action(Command::FilePrintPreview),
                           Action(Command::FilePrintSetup)});
    fileMenu_->addSeparator();
    recentAnchor_ = fileMenu_->addSeparator();
    unsavedMenu_ = fileMenu_->addMenu(QStringLiteral("&Несохранённые титрации"));
    connect(unsavedMenu_, &QMenu::aboutToShow, this, &CMainFrame::RebuildUnsavedMenu);
    fileMenu_->addSeparator();
    fileMenu_->addAction(Action(Command::AppExit));
    connect(fileMenu_, &QMenu::aboutToShow, this, &CMainFrame::RebuildRecentFiles);

    QMenu* view = bar->addMenu(QStringLiteral("&Вид"));
    view->addActions({Action(Command::ViewCurve), Action(Command::ViewDerivative)});
    view->addSeparator();
    view->addActions(
        {Action(Command::ZoomIn), Action(Command::ZoomOut), Action(Command::ZoomWhole)});
    view->addSeparator();
    QMenu* colours = view->addMenu(QStringLiteral("Цвета"));
    colours->addActions({Action(Command::ColourSourcePoints),
                         Action(Command::ColourInterpolatedCurve),
                         Action(Command::ColourEquivalencePoints)});
    view->addSeparator();
    view->addActions({Action(Command::ViewToolbar), Action(Command::ViewStatusBar)});
    view->addSeparator();
    QMenu* separator = view->addMenu(QStringLiteral("Дробная часть числа"));
    separator->addActions({Action(Command::SeparatorPoint), Action(Command::SeparatorComma)});
    connect(view, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);

    QMenu* settings = bar->addMenu(QStringLiteral("&Настройка"));
    settings->addActions({Action(Command::TitrationParams), Action(Command::Processing),
                          Action(Command::LinkCheck)});

    QMenu* kelm = bar->addMenu(QStringLiteral("&Kelm"));
    kelm->addActions(
        {Action(Command::Entry), Action(Command::Results), Action(Command::ResultCalc)});

    bar->addAction(Action(Command::About));
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Панель инструментов"), this);
    toolBar_->setObjectName(QStringLiteral("MainToolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->addActions(
        {Action(Command::FileNew), Action(Command::FileOpen), Action(Command::FileSave)});
    toolBar_->addSeparator();
    toolBar_->addAction(Action(Command::FilePrint));
    toolBar_->addSeparator();
    toolBar_->addAction(Action(Command::ResultCalc));
    toolBar_->addSeparator();
    // The menu bar would show the About item's icon instead of its text, so
    // only the toolbar's button carries the icon.
    QAction* about = Action(Command::About);
    auto* aboutButton = new QAction(ToolIcon(Command::About, style()), about->text(), this);
    aboutButton->setToolTip(about->toolTip());
    aboutButton->setStatusTip(about->statusTip());
    connect(aboutButton, &QAction::triggered, about, &QAction::trigger);
    toolBar_->addAction(aboutButton);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    QAction* toggle = Action(Command::ViewToolbar);
    connect(toggle, &QAction::toggled, toolBar_, &QWidget::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    journalTrouble_ = new ShorteningLabel(bar);
    journalTrouble_->setStyleSheet(QStringLiteral("color: #b00000;"));
    journalTrouble_->hide();
    bar->addWidget(journalTrouble_, 1);
    // Qt cannot tell the lock keys' state on every platform: the indicators stay dim.
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(text), bar);
        indicator->setEnabled(false);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(indicator->text()) +
                                   12);
        bar->addPermanentWidget(indicator);
    }
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) {
            ShowIdleLine();
        }
    });
    ShowIdleLine();

    QAction* toggle = Action(Command::ViewStatusBar);
    connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::RecordReplaced() {
    dialogs_.RecordReplaced();
    UpdateCommandUi();
}

void CMainFrame::CreateReadout() {
    // A pane of its own: the message pane keeps its prompts and messages.
    readout_ = new QLabel(statusBar());
    readout_->setObjectName(QStringLiteral("readout"));
    statusBar()->addPermanentWidget(readout_);
    connect(view_, &CKelmView::ReadoutChanged, readout_, &QLabel::setText);
    doc_.OnReplaced([this] { view_->RecordReplaced(); });
}

void CMainFrame::UpdateCommandUi() {
    setWindowTitle(doc_.Title() + QStringLiteral(" - Kelm"));
    Action(Command::ViewCurve)->setChecked(state_.display.viewMode == ViewMode::Curve);
    Action(Command::ViewDerivative)->setChecked(state_.display.viewMode == ViewMode::Derivative);
    Action(Command::SeparatorPoint)->setChecked(state_.display.decimalComma == 0);
    Action(Command::SeparatorComma)->setChecked(state_.display.decimalComma != 0);
    Action(Command::ViewToolbar)->setChecked(!toolBar_->isHidden());
    Action(Command::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    RebuildRecentFiles();
}

void CMainFrame::RebuildRecentFiles() {
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        action->deleteLater();
    }
    recentActions_.clear();

    const QStringList paths = recent_.Paths();
    if (paths.isEmpty()) {
        auto* placeholder = new QAction(Utf8(kRecentPlaceholder), fileMenu_);
        placeholder->setEnabled(false);
        recentActions_.append(placeholder);
    }
    const QFontMetrics metrics(fileMenu_->font());
    for (int i = 0; i < paths.size(); ++i) {
        const QString shown = metrics.elidedText(QDir::toNativeSeparators(paths[i]),
                                                 Qt::ElideMiddle, metrics.averageCharWidth() * 40);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), fileMenu_);
        action->setStatusTip(Utf8(kRecentPrompt));
        const QString path = paths[i];
        connect(action, &QAction::triggered, this, [this, path] {
            // A file that no longer opens leaves the list, as the user would expect.
            if (!OpenFile(path)) {
                recent_.Remove(path);
                RebuildRecentFiles();
            }
        });
        recentActions_.append(action);
    }
    fileMenu_->insertActions(recentAnchor_, recentActions_);
}

void CMainFrame::RebuildUnsavedMenu() {
    unsavedMenu_->clear();
    const std::vector<JournalEntry> entries = journal_.Entries();
    if (entries.empty()) {
        unsavedMenu_->addAction(QStringLiteral("Нет несохранённых титраций"))->setEnabled(false);
        return;
    }
    for (const JournalEntry& entry : entries) {
        QAction* action = unsavedMenu_->addAction(JournalEntryTitle(entry));
        action->setStatusTip(QStringLiteral("Восстановить эту титрацию как новый документ"));
        connect(action, &QAction::triggered, this, [this, entry] {
            doc_.Recover(entry);
            RecordReplaced();
        });
    }
}

void CMainFrame::ShowJournalTrouble(bool failing) {
    const QString line = JournalTroubleLine(QString::fromStdString(journal_.Folder().string()));
    journalTrouble_->setText(line);
    journalTrouble_->setToolTip(line);
    journalFailing_ = failing;
    if (!failing) {
        journalTrouble_->hide();
    }
    ShowIdleLine();
}

// Between prompts the bar says "Готово", or in its place the journal's
// warning. The warning is an ordinary widget of the bar: a prompt hides it
// and clearing the prompt brings it back, so the two never share the place,
// while "Готово" as a message would cover it for good.
void CMainFrame::ShowIdleLine() {
    QStatusBar* bar = statusBar();
    const QString idle = Utf8(kIdlePrompt);
    if (!journalFailing_) {
        if (bar->currentMessage().isEmpty()) {
            bar->showMessage(idle);
        }
    } else if (bar->currentMessage() == idle) {
        bar->clearMessage();  // back here once the message is gone
    } else if (bar->currentMessage().isEmpty()) {
        journalTrouble_->show();
    }
}

bool CMainFrame::OpenFile(const QString& path) {
    const bool opened = doc_.Open(path);
    RecordReplaced();
    return opened;
}

void CMainFrame::OnFileNew() {
    doc_.New();
    RecordReplaced();
}

void CMainFrame::OnFileOpen() {
    const QString path = choosers_.openFile(this);
    if (!path.isEmpty()) {
        OpenFile(path);
    }
}

void CMainFrame::OnFileSave() {
    if (doc_.Path().isEmpty()) {
        OnFileSaveAs();
        return;
    }
    doc_.SaveTo(doc_.Path());
    UpdateCommandUi();
}

void CMainFrame::OnFileSaveAs() {
    const QString suggestion =
        doc_.Path().isEmpty() ? doc_.Title() + QStringLiteral(".kel") : doc_.Path();
    const QString path = choosers_.saveFile(this, suggestion);
    if (!path.isEmpty()) {
        doc_.SaveTo(path);
        UpdateCommandUi();
    }
}

QPrinter& CMainFrame::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void CMainFrame::OnFilePrint() {
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted && !PrintPage(state_, Printer())) {
        prompter_.Error(kAppCaption, kPrintFailedMessage);
    }
}

void CMainFrame::OnFilePrintPreview() {
    QPrintPreviewDialog dialog(&Printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintPage(state_, *printer); });
    // The preview takes the place of the main window and is left by a button.
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        const QStringList help = Utf8(kClosePreviewHelp).split('\n');
        bar->addSeparator();
        QAction* close = bar->addAction(help.value(1));
        close->setStatusTip(help.value(0));
        close->setToolTip(help.value(1));
        connect(close, &QAction::triggered, &dialog, &QDialog::reject);
    }
    dialog.setGeometry(geometry());
    ShowStoredPreviewPages(dialog);
    dialog.exec();
    StorePreviewPages(dialog);
}

void CMainFrame::OnFilePrintSetup() {
    CPrintSetupDlg dialog(Printer(), QPrinterInfo::availablePrinterNames(), this);
    dialog.exec();
}

void CMainFrame::OnViewCurve() {
    state_.display.viewMode = ViewMode::Curve;
    RedrawViews(state_);
    UpdateCommandUi();
}

void CMainFrame::OnViewDerivative() {
    state_.display.viewMode = ViewMode::Derivative;
    RedrawViews(state_);
    UpdateCommandUi();
}

void CMainFrame::OnColour(ColourRole role) {
    if (const std::optional<Rgb> rgb = choosers_.colour(this)) {
        ChooseColour(state_, role, *rgb);
    }
}

void CMainFrame::OnSeparator(int decimalComma) {
    state_.display.decimalComma = decimalComma;
    RedrawViews(state_);
    dialogs_.SeparatorChanged();
    UpdateCommandUi();
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    emit Closed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    activateWindow();
    // Opened after the drop has finished: a message box about a damaged file
    // must not keep the program the file came from waiting for the drop's end.
    const QString path = urls.first().toLocalFile();
    QMetaObject::invokeMethod(
        this, [this, path] { OpenFile(path); }, Qt::QueuedConnection);
}

}  // namespace kelm
