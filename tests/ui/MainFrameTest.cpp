// The main window: what its menu and toolbar show, where each command goes,
// the check marks, colours, the About box and files dropped on it.
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QImage>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <optional>

#include "AppTest.h"
#include "StandInDialogs.h"
#include "ui/CAboutDlg.h"
#include "ui/CKelmApp.h"
#include "ui/CKelmView.h"

namespace kelm::test {
namespace {

class MainFrame : public AppTest {
protected:
    // Drags a file over the window and drops it, as a file manager does; the
    // file opens on the next turn of the event loop.
    bool SendDrop(const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&Frame(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Frame(), &drop);
        return drop.isAccepted();
    }
    bool DropFile(const QString& path) {
        const bool accepted = SendDrop(path);
        QCoreApplication::processEvents();
        return accepted;
    }
    void Trigger(Command command) { Frame().Action(command)->trigger(); }
};

// Every menu entry, depth first: submenus as "title/", items as their text.
void CollectMenu(const QList<QAction*>& actions, QStringList& out) {
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            continue;
        }
        if (action->menu() != nullptr) {
            out.append(action->text() + "/");
            CollectMenu(action->menu()->actions(), out);
        } else {
            out.append(action->text());
        }
    }
}

TEST_F(MainFrame, TheMenuShowsEveryItemWithItsExactText) {
    Start();
    // The recent-file entries are made when the menu opens.
    QStringList items;
    CollectMenu(Frame().menuBar()->actions(), items);
    const QStringList expected = {
        "&Файл/",
        "&Создать\tCtrl+N",
        "&Открыть...\tCtrl+O",
        "&Сохранить\tCtrl+S",
        "Сохранить &как...",
        "&Печать...\tCtrl+P",
        "Пред&варительный просмотр",
        "Па&раметры печати...",
        "Ранее загруженные файлы",
        "&Несохранённые титрации/",  // filled as it opens
        "В&ыход",
        "&Вид/",
        "&Кривая титрования",
        "П&роизводная",
        "У&величить\tCtrl++",
        "Уме&ньшить\tCtrl+-",
        "Весь &график\tEsc",
        "Цвета/",
        "Исходные значения",
        "Интерполяция",
        "Точки эквивалентности",
        "&Панель инструментов",
        "&Строка состояния",
        "Дробная часть числа/",
        "Точка",
        "Запятая",
        "&Настройка/",
        "&Параметры титрования...",
        "&Обработка кривой...",
        "Проверка &связи с прибором...",
        "&Kelm/",
        "&Ввод точек...",
        "&Результаты...",
        "Расчёт ре&зультата...",
        "&О программе...",
    };
    EXPECT_EQ(items, expected);

    EXPECT_EQ(Frame().Action(Command::FileNew)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(Frame().Action(Command::FileOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(Frame().Action(Command::FileSave)->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(Frame().Action(Command::FilePrint)->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(Frame().Action(Command::ZoomIn)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")}));
    EXPECT_EQ(Frame().Action(Command::ZoomOut)->shortcut(), QKeySequence("Ctrl+-"));
    EXPECT_EQ(Frame().Action(Command::ZoomWhole)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Esc"), QKeySequence("Ctrl+0")}));
    EXPECT_EQ(Frame().Action(Command::Entry)->statusTip(), "Ввод точек кривой титрования");
    EXPECT_EQ(Frame().Action(Command::AppExit)->statusTip(), "Выход из программы");
}

TEST_F(MainFrame, TheToolbarHasNineEntriesWithTipsAndPrompts) {
    Start();
    const QList<QAction*> entries = Frame().ToolBar()->actions();
    ASSERT_EQ(entries.size(), 9);
    const std::pair<const char*, const char*> expected[] = {
        {"Создать (Ctrl-N)", "Создание нового документа"},
        {"Открыть (Ctrl-O)", "Открытие существующего документа"},
        {"Сохранить (Ctrl-S)", "Сохранение документа"},
        {nullptr, nullptr},
        {"Напечатать (Ctrl-P)", "Печать документа"},
        {nullptr, nullptr},
        {"Расчёт результата", "Расчёт результата анализа по точкам эквивалентности"},
        {nullptr, nullptr},
        {"О программе", "О программе"},
    };
    for (int i = 0; i < 9; ++i) {
        if (expected[i].first == nullptr) {
            EXPECT_TRUE(entries[i]->isSeparator()) << i;
        } else {
            EXPECT_EQ(entries[i]->toolTip(), QString::fromUtf8(expected[i].first)) << i;
            EXPECT_EQ(entries[i]->statusTip(), QString::fromUtf8(expected[i].second)) << i;
            EXPECT_FALSE(entries[i]->icon().isNull()) << i;
        }
    }
    EXPECT_TRUE(Frame().ToolBar()->isMovable());
}

TEST_F(MainFrame, TheCommandsOfDialogsNotYetThereStayDisabled) {
    Start([](DialogHost& host) { host.Register(DialogFactories{}); });
    for (Command command : {Command::Entry, Command::Processing, Command::Results,
                            Command::TitrationParams, Command::LinkCheck}) {
        EXPECT_FALSE(Frame().Action(command)->isEnabled()) << int(command);
    }
    EXPECT_TRUE(Frame().Action(Command::FileNew)->isEnabled());
    EXPECT_TRUE(Frame().Action(Command::About)->isEnabled());
}

TEST_F(MainFrame, EveryDialogOfTheProgramIsRegistered) {
    Start();
    for (Command command : {Command::Entry, Command::Processing, Command::Results,
                            Command::TitrationParams, Command::LinkCheck}) {
        EXPECT_TRUE(Frame().Action(command)->isEnabled()) << int(command);
    }
}

TEST_F(MainFrame, AWorkDialogIsCreatedOnceShownAndRestored) {
    StandIns dialogs(events_);
    Start([&](DialogHost& host) {
        DialogFactories f = dialogs.Factories(state_);
        f.processing = nullptr;
        host.Register(f);
    });
    EXPECT_TRUE(Frame().Action(Command::Entry)->isEnabled());
    EXPECT_FALSE(Frame().Action(Command::Processing)->isEnabled());
    EXPECT_FALSE(state_.entryDialogCreated);

    Trigger(Command::Entry);
    ASSERT_NE(dialogs.entry, nullptr);
    EXPECT_EQ(app_->Dialogs().Entry(), dialogs.entry);
    EXPECT_EQ(dialogs.entry->parentWidget(), &Frame());
    EXPECT_TRUE(state_.entryDialogCreated);
    EXPECT_TRUE(dialogs.entry->isVisible());

    dialogs.entry->showMinimized();
    Trigger(Command::Entry);
    EXPECT_EQ(dialogs.made, 1);
    EXPECT_FALSE(dialogs.entry->isMinimized());
    EXPECT_TRUE(dialogs.entry->isVisible());
    EXPECT_EQ(dialogs.entry->shownByCommand, 2);

    // "&Результаты..." fills the report each time, after showing it.
    Trigger(Command::Results);
    Trigger(Command::Results);
    ASSERT_NE(dialogs.results, nullptr);
    EXPECT_EQ(dialogs.results->fills,
              (std::vector{ReportMode::EquivalencePoints, ReportMode::EquivalencePoints}));
    EXPECT_EQ(dialogs.results->visibleWhenFilled, (std::vector{true, true}));
    EXPECT_TRUE(state_.resultsDialogCreated);
    EXPECT_FALSE(state_.processingDialogCreated);
}

TEST_F(MainFrame, TheSeparatorCommandsTellEveryDialogThatExists) {
    StandIns dialogs(events_);
    Start([&](DialogHost& host) { host.Register(dialogs.Factories(state_)); });
    Trigger(Command::Entry);
    ASSERT_NE(dialogs.entry, nullptr);
    dialogs.entry->hide();

    // Dialogs never opened are not made by a separator change.
    Trigger(Command::SeparatorComma);
    EXPECT_EQ(state_.display.decimalComma, 1);
    EXPECT_EQ(dialogs.entry->separatorChanges, 1);
    EXPECT_EQ(dialogs.results, nullptr);
    EXPECT_FALSE(state_.resultsDialogCreated);

    Trigger(Command::Results);
    ASSERT_NE(dialogs.results, nullptr);
    dialogs.results->hide();
    Trigger(Command::SeparatorPoint);
    EXPECT_EQ(state_.display.decimalComma, 0);
    EXPECT_EQ(dialogs.results->separatorChanges, 1);
    // Hidden or shown, each is told; bringing a window back is its own affair.
    EXPECT_EQ(dialogs.entry->separatorChanges, 2);
    EXPECT_FALSE(dialogs.entry->isVisible());
    EXPECT_EQ(dialogs.processing, nullptr);
}

TEST_F(MainFrame, AModalDialogRunsOwnedByTheMainWindow) {
    std::vector<QWidget*> owners;
    Start([&](DialogHost& host) {
        DialogFactories f;
        f.titrationParams = [&](QWidget* owner) { owners.push_back(owner); };
        host.Register(f);
    });
    EXPECT_TRUE(Frame().Action(Command::TitrationParams)->isEnabled());
    EXPECT_FALSE(Frame().Action(Command::LinkCheck)->isEnabled());
    Trigger(Command::TitrationParams);
    EXPECT_EQ(owners, std::vector<QWidget*>{&Frame()});
}

TEST_F(MainFrame, ViewModeAndSeparatorCheckMarksFollowTheState) {
    Start();
    auto checked = [&](Command c) { return Frame().Action(c)->isChecked(); };
    EXPECT_TRUE(checked(Command::ViewCurve));
    EXPECT_FALSE(checked(Command::ViewDerivative));
    EXPECT_TRUE(checked(Command::SeparatorPoint));
    EXPECT_FALSE(checked(Command::SeparatorComma));

    int before = redraws_;
    Trigger(Command::ViewDerivative);
    EXPECT_EQ(state_.display.viewMode, ViewMode::Derivative);
    EXPECT_TRUE(checked(Command::ViewDerivative));
    EXPECT_FALSE(checked(Command::ViewCurve));
    EXPECT_EQ(redraws_, before + 1);

    // Choosing the checked item again leaves it checked.
    Trigger(Command::ViewDerivative);
    EXPECT_TRUE(checked(Command::ViewDerivative));

    before = redraws_;
    Trigger(Command::SeparatorComma);
    EXPECT_TRUE(checked(Command::SeparatorComma));
    EXPECT_FALSE(checked(Command::SeparatorPoint));
    EXPECT_EQ(redraws_, before + 1);

    // A loaded record's separator shows in the marks.
    ASSERT_TRUE(Frame().OpenFile(WriteRecord("point.kel", 3, MeasuredQuantity::Emf, 0)));
    EXPECT_TRUE(checked(Command::SeparatorPoint));
    EXPECT_FALSE(checked(Command::SeparatorComma));

    Trigger(Command::ViewCurve);
    EXPECT_TRUE(checked(Command::ViewCurve));
    EXPECT_FALSE(checked(Command::ViewDerivative));
}

TEST_F(MainFrame, AChosenColourOutlivesNew) {
    Start();
    Frame().Choosers().colour = [](QWidget*) { return std::optional<Rgb>(Rgb{10, 20, 30}); };
    const int before = redraws_;
    Trigger(Command::ColourInterpolatedCurve);
    EXPECT_EQ(redraws_, before + 1);
    EXPECT_EQ(ResolveColour(state_, ColourRole::InterpolatedCurve), (Rgb{10, 20, 30}));

    Trigger(Command::FileNew);
    EXPECT_EQ(ResolveColour(state_, ColourRole::InterpolatedCurve), (Rgb{10, 20, 30}));
    EXPECT_NE(state_.display.colours[1].chosen, 0);
    // The other roles keep their preferred colours.
    EXPECT_EQ(ResolveColour(state_, ColourRole::SourcePoints), (Rgb{50, 100, 200}));
}

// How many pixels of the view show exactly this colour.
int PixelsOf(QWidget* view, Rgb rgb) {
    const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = qRgb(rgb.red, rgb.green, rgb.blue);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return count;
}

TEST_F(MainFrame, TheViewDrawsTheRecordInTheChosenColour) {
    Start();
    QWidget* view = Frame().View();
    EXPECT_EQ(PixelsOf(view, {50, 100, 200}), 0);  // an empty record draws nothing

    ASSERT_TRUE(Frame().OpenFile(WriteRecord("drawn.kel", 30)));
    EXPECT_GT(PixelsOf(view, {50, 100, 200}), 100);

    Frame().Choosers().colour = [](QWidget*) { return std::optional<Rgb>(Rgb{200, 30, 10}); };
    Trigger(Command::ColourSourcePoints);
    EXPECT_EQ(PixelsOf(view, {50, 100, 200}), 0);
    EXPECT_GT(PixelsOf(view, {200, 30, 10}), 100);
}

TEST_F(MainFrame, ACancelledColourChangesNothing) {
    Start();
    Frame().Choosers().colour = [](QWidget*) { return std::optional<Rgb>(); };
    const std::string before = SaveRecord(state_);
    const auto colours = state_.display.colours;
    Trigger(Command::ColourEquivalencePoints);
    EXPECT_EQ(ResolveColour(state_, ColourRole::EquivalencePointMarks), (Rgb{255, 0, 0}));
    EXPECT_EQ(SaveRecord(state_), before);
    for (int k = 0; k < kColourSlots; ++k) {
        EXPECT_EQ(state_.display.colours[k].chosen, colours[k].chosen) << k;
    }
}

TEST_F(MainFrame, TheAboutTextIsTheSameOnEveryOpening) {
    Start();
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            EXPECT_EQ(about->windowTitle(), "О программе");
            seen.append(about->TextBox()->toPlainText());
            EXPECT_TRUE(about->TextBox()->isReadOnly());
            about->accept();
        });
        Trigger(Command::About);
    }
    const QString text =
        "\n  Программа предназначена для обработки результатов ионометрического или "
        "потенциометрического титрования. Данные для построения кривой могут быть введены "
        "вручную или считаны с подключенного к компьютеру pH-метра или иономера серии ЛАРМИТ "
        "ГАЛ.\n\n Одна или несколько точек эквивалентности вычисляются по достижению "
        "указанного значения или по экстремуму первой производной кривой титрования. Для "
        "обработки кривой используется интерполяция значений при помощи кубических сплайнов "
        "или линейной аппроксимации с последующей фильтрацией.\n\n Результаты могут быть "
        "перенесены в другие приложения из сохраняемых файлов или копированием из "
        "соответствующего окна. Выбор разделителя целой и дробной части чисел (точки или "
        "запятой) позволяет обрабатывать результаты в других приложениях без промежуточного "
        "редактирования.";
    EXPECT_EQ(seen, QStringList({text, text, text}));
}

TEST_F(MainFrame, TheTitleNamesTheFile) {
    Start();
    EXPECT_EQ(Frame().windowTitle(), "Безымянный - Kelm");
    ASSERT_TRUE(Frame().OpenFile(WriteRecord("hcl.kel", 4)));
    EXPECT_EQ(Frame().windowTitle(), "hcl.kel - Kelm");
    Trigger(Command::FileNew);
    EXPECT_EQ(Frame().windowTitle(), "Безымянный - Kelm");
}

TEST_F(MainFrame, SaveAsksForANameOnlyForAnUntitledRecord) {
    Start();
    int asked = 0;
    Frame().Choosers().saveFile = [&](QWidget*, const QString& suggestion) {
        ++asked;
        EXPECT_EQ(suggestion, "Безымянный.kel");
        return Path("named.kel");
    };
    Trigger(Command::FileSave);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Frame().windowTitle(), "named.kel - Kelm");
    Trigger(Command::FileSave);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(Path("named.kel")), SaveRecord(state_));
}

TEST_F(MainFrame, TheRecentFilesShowInTheFileMenuAndOpen) {
    Start();
    auto texts = [&] {
        QStringList out;
        for (QAction* a : Frame().RecentFileActions())
            out.append(a->text());
        return out;
    };
    ASSERT_EQ(Frame().RecentFileActions().size(), 1);
    EXPECT_EQ(texts().first(), "Ранее загруженные файлы");
    EXPECT_FALSE(Frame().RecentFileActions().first()->isEnabled());

    QStringList files;
    for (int i = 1; i <= 5; ++i) {
        files.append(WriteRecord(QStringLiteral("f%1.kel").arg(i), i + 2));
        ASSERT_TRUE(Frame().OpenFile(files.last()));
    }
    ASSERT_EQ(Frame().RecentFileActions().size(), 4);
    EXPECT_TRUE(texts()[0].startsWith("&1 "));
    EXPECT_TRUE(texts()[0].endsWith("f5.kel"));
    EXPECT_TRUE(texts()[3].startsWith("&4 "));
    EXPECT_TRUE(texts()[3].endsWith("f2.kel"));
    EXPECT_EQ(Frame().RecentFileActions()[2]->statusTip(), "Открыть этот документ");

    Frame().RecentFileActions()[3]->trigger();
    EXPECT_EQ(state_.record.pointCount, 4);
    EXPECT_EQ(Frame().windowTitle(), "f2.kel - Kelm");
    EXPECT_TRUE(texts()[0].endsWith("f2.kel"));

    // An entry whose file has gone is reported and leaves the list.
    QFile::remove(files[2]);
    QAction* gone = nullptr;
    for (QAction* a : Frame().RecentFileActions()) {
        if (a->text().endsWith("f3.kel"))
            gone = a;
    }
    ASSERT_NE(gone, nullptr);
    gone->trigger();
    EXPECT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(Frame().RecentFileActions().size(), 3);
}

TEST_F(MainFrame, ADroppedFileOpensLikeOpenAndADamagedOneKeepsTheRecord) {
    Start();
    // The drop ends before the file is read, so that a message about a damaged
    // file never keeps the file manager waiting.
    ASSERT_TRUE(SendDrop(WriteRecord("dropped.kel", 8, MeasuredQuantity::Ph)));
    EXPECT_EQ(state_.record.pointCount, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(state_.record.pointCount, 8);
    EXPECT_EQ(state_.record.quantity, MeasuredQuantity::Ph);
    EXPECT_EQ(Frame().windowTitle(), "dropped.kel - Kelm");

    const QString damaged = Path("damaged.kel");
    WriteFile(damaged, std::string("no marker here"));
    DropFile(damaged);
    EXPECT_EQ(state_.record.pointCount, 8);
    EXPECT_EQ(Frame().windowTitle(), "dropped.kel - Kelm");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Unexpected file format.");
}

// The preview's page count lives in the per-user profile: each preview opens
// with the count the last one closed with, and a hand-edited value that is
// neither one nor two opens one page.
TEST_F(MainFrame, ThePreviewOpensWithThePageCountTheLastOneClosedWith) {
    Start();
    enum class Choose { Nothing, Single, Facing, Overview };
    struct Row {
        std::optional<QVariant> stored;  // written into the profile first
        QPrintPreviewWidget::ViewMode opens;
        Choose choose;
        QVariant kept;
    };
    using Mode = QPrintPreviewWidget::ViewMode;
    const Row rows[] = {
        {std::nullopt, Mode::SinglePageView, Choose::Nothing, 1},
        {std::nullopt, Mode::SinglePageView, Choose::Facing, 2},
        {std::nullopt, Mode::FacingPagesView, Choose::Nothing, 2},
        {std::nullopt, Mode::FacingPagesView, Choose::Overview, 2},
        {std::nullopt, Mode::FacingPagesView, Choose::Single, 1},
        {std::nullopt, Mode::SinglePageView, Choose::Nothing, 1},
        {QVariant("2"), Mode::FacingPagesView, Choose::Nothing, 2},
        {QVariant("3"), Mode::SinglePageView, Choose::Nothing, 1},
        {QVariant("-2"), Mode::SinglePageView, Choose::Nothing, 1},
        {QVariant("два"), Mode::SinglePageView, Choose::Facing, 2},
        {QVariant(""), Mode::SinglePageView, Choose::Nothing, 1},
    };
    const char* const names[] = {"", "singleModeAction", "facingModeAction", "overviewModeAction"};
    QSettings profile(kProfileOrganisation, kProfileApplication);
    profile.remove("Settings/PreviewPages");
    int i = 0;
    for (const Row& row : rows) {
        if (row.stored) {
            profile.setValue("Settings/PreviewPages", *row.stored);
        }
        std::optional<Mode> opened;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            opened = dialog->findChild<QPrintPreviewWidget*>()->viewMode();
            if (row.choose != Choose::Nothing) {
                dialog->findChild<QAction*>(names[int(row.choose)])->trigger();
            }
            dialog->reject();
        });
        Trigger(Command::FilePrintPreview);
        EXPECT_EQ(opened, row.opens) << i;
        EXPECT_EQ(profile.value("Settings/PreviewPages").toInt(), row.kept.toInt()) << i;
        ++i;
    }
}

}  // namespace
}  // namespace kelm::test
