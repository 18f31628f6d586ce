// "Расчёт результата": opened from the menu and the toolbar, its boxes with
// their labels, numbers taken with a point or a comma and nonsense refused,
// the results at once, the copy, the titer into the library, the save into
// the file and the history, and Enter that never simply closes it.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <cmath>

#include <gmock/gmock.h>

#include "AppTest.h"
#include "core/Cp1251.h"
#include "core/ResultFile.h"
#include "processing/Processing.h"
#include "store/Store.h"
#include "ui/CResultCalcDlg.h"

namespace kelm::test {
namespace {

class ResultCalcDlg : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        services_.storePath = Path("data/kelm.db").toStdString();
        Start();
        prompter_.messages.clear();
        // A jump at 10 mL, processed: one equivalence point.
        state_.record.quantity = MeasuredQuantity::Ph;
        state_.record.pointCount = 21;
        for (int i = 0; i <= 20; ++i) {
            state_.record.points[i] = {double(i), 7.0 + 5.0 * std::tanh(i - 10.0)};
        }
        ASSERT_EQ(RunProcessing(state_), kProcessingDone);
        ASSERT_EQ(state_.curve.equivalencePointCount, 1);
        volume_ = state_.curve.equivalencePoints[0].volume;
    }

    QWidget* Open() {
        Frame().Action(Command::ResultCalc)->trigger();
        QWidget* dialog = app_->Dialogs().ResultCalc();
        EXPECT_NE(dialog, nullptr);
        QApplication::setActiveWindow(dialog);
        return dialog;
    }
    template <class Widget>
    static Widget* Child(QWidget* dialog, const char* name) {
        auto* child = dialog->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static QLineEdit* Box(QWidget* dialog, const char* name) {
        return Child<QLineEdit>(dialog, name);
    }
    static void TypeInto(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    static QString Results(QWidget* dialog) {
        return Child<QPlainTextEdit>(dialog, "results")->toPlainText();
    }
    std::string Expected(double amount, double c, double titer, double blank) const {
        return std::to_string(c * titer * (volume_ - blank) / amount);
    }

    double volume_ = 0.0;
};

TEST_F(ResultCalcDlg, OpensFromTheMenuAndTheToolbarWithEveryLabelOnItsBox) {
    QAction* command = Frame().Action(Command::ResultCalc);
    EXPECT_EQ(command->text(), "Расчёт ре&зультата...");
    EXPECT_TRUE(Frame().ToolBar()->actions().contains(command));
    QWidget* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Расчёт результата");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    int labels = 0;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->objectName() == "status") {
            continue;
        }
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        ++labels;
    }
    EXPECT_EQ(labels, 14);
    ExpectDistinctTypeableMnemonics(dialog);
    // Before any data: the results say what is missing.
    EXPECT_EQ(Results(dialog), "Укажите количество пробы больше нуля.");
    EXPECT_FALSE(Child<QPushButton>(dialog, "copy")->isEnabled());
}

// Over a main window low on the screen, with no room beside it, it is moved
// up to stand whole on the screen, at its full size, clear of the results.
TEST_F(ResultCalcDlg, OpensWholeOnTheScreenClearOfTheResults) {
    const QRect screen = Frame().screen()->availableGeometry();
    Frame().setGeometry(screen.adjusted(0, screen.height() / 4, 0, 0));
    const QRect placed = Open()->frameGeometry();
    EXPECT_TRUE(screen.contains(placed)) << placed.top() << " " << placed.bottom();
    EXPECT_EQ(placed.left(), screen.left());
    Frame().Action(Command::Results)->trigger();
    EXPECT_FALSE(placed.intersects(app_->Dialogs().Results()->frameGeometry()));
}

TEST_F(ResultCalcDlg, TakesAPointOrACommaRefusesNonsenseAndShowsTheResultAtOnce) {
    QWidget* dialog = Open();
    const struct {
        const char* box;
        const char* typed;
        const char* shown;  // after leaving the box
        const char* error;  // empty: accepted
    } table[] = {
        {"sampleAmount", "25", "25", ""},
        {"concentration", "0,1", "0.1", ""},
        {"titer", "0.98", "0.98", ""},
        {"blank", "abc", "", "«abc» — не число. Введите число, например 0,1."},
        {"blank", "-0,5", "", "Объём холостого опыта не может быть отрицательным."},
        {"blank", "0,5", "0.5", ""},
        {"titer", "0", "0.98", "Титр должен быть больше нуля."},
        {"ratio", "1,5,6", "1", "«1,5,6» — не число. Введите число, например 0,1."},
        {"sampleAmount", "", "", ""},
        {"sampleAmount", "25", "25", ""},
    };
    for (const auto& row : table) {
        prompter_.messages.clear();
        TypeInto(Box(dialog, row.box), QString::fromUtf8(row.typed));
        EXPECT_EQ(Box(dialog, row.box)->text().toStdString(), row.shown) << row.typed;
        if (*row.error == '\0') {
            EXPECT_TRUE(prompter_.messages.empty()) << row.typed;
        } else {
            ASSERT_EQ(prompter_.messages.size(), 1u) << row.typed;
            EXPECT_EQ(prompter_.messages[0].kind, "error");
            EXPECT_EQ(prompter_.messages[0].text, row.error);
        }
    }
    EXPECT_EQ(state_.notes.result.sampleAmount, 25.0);
    EXPECT_EQ(state_.notes.result.concentration, 0.1);
    EXPECT_EQ(state_.notes.result.titer, 0.98);
    EXPECT_EQ(state_.notes.result.blank, 0.5);
    const QStringList lines = Results(dialog).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Проба\tТочка\tОбъём, мл\tРезультат\tЕдиница");
    const QStringList cells = lines[1].split('\t');
    ASSERT_EQ(cells.size(), 5);
    EXPECT_NEAR(cells[3].toDouble(), 0.1 * 0.98 * (volume_ - 0.5) / 25.0, 1e-6);
    EXPECT_EQ(cells[4], "моль/л");

    // The comma: the boxes and the results follow it.
    Frame().Action(Command::SeparatorComma)->trigger();
    EXPECT_EQ(Box(dialog, "concentration")->text(), "0,1");
    EXPECT_TRUE(Results(dialog).split('\n')[1].split('\t')[3].contains(','));

    // A unit that needs the molar mass says so, and the sample follows a mass unit.
    auto* unit = Child<QComboBox>(dialog, "unit");
    unit->setCurrentIndex(static_cast<int>(ResultUnit::GramPerLitre));
    emit unit->activated(unit->currentIndex());
    EXPECT_EQ(Results(dialog), "Для этой единицы нужна молярная масса.");
    unit->setCurrentIndex(static_cast<int>(ResultUnit::Percent));
    emit unit->activated(unit->currentIndex());
    EXPECT_EQ(Child<QComboBox>(dialog, "sampleUnit")->currentIndex(), 1);
    EXPECT_EQ(state_.notes.result.sampleUnit, SampleUnit::Gram);
}

TEST_F(ResultCalcDlg, CopiesTheTableAndSavesTheRecordWithItsDataAndItsHistory) {
    QWidget* dialog = Open();
    TypeInto(Box(dialog, "sampleName"), "HCl 1");
    TypeInto(Box(dialog, "sampleAmount"), "20");
    TypeInto(Box(dialog, "concentration"), "0.1");
    QTest::mouseClick(Child<QPushButton>(dialog, "copy"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("Проба\tТочка\tОбъём, мл\tРезультат\tЕдиница\r\nHCl 1\t1\t"));

    const QString file = Path("hcl.kel");
    Frame().Choosers().saveFile = [file](QWidget*, const QString&) { return file; };
    QTest::mouseClick(Child<QPushButton>(dialog, "save"), Qt::LeftButton);
    EXPECT_TRUE(prompter_.messages.empty());
    SharedState loaded;
    ASSERT_EQ(LoadRecord(loaded, ReadFile(file)), LoadStatus::Loaded);
    EXPECT_EQ(loaded.notes.result, state_.notes.result);

    Store store;
    ASSERT_TRUE(store.Open(Path("data/kelm.db").toStdString()).Ok());
    std::vector<HistoryEntry> history;
    ASSERT_TRUE(store.History(history).Ok());
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].sample, "HCl 1");
    EXPECT_EQ(history[0].file, file.toStdString());
    EXPECT_NEAR(history[0].result, 0.1 * volume_ / 20.0, 1e-12);
    EXPECT_EQ(history[0].unit, "mol/L");
}

TEST_F(ResultCalcDlg, ATiterDeterminationOffersTheTiterToTheLibrary) {
    QWidget* dialog = Open();
    TypeInto(Box(dialog, "concentration"), "0.1");
    auto* determination = Child<QCheckBox>(dialog, "titerDetermination");
    QTest::mouseClick(determination, Qt::LeftButton);
    ASSERT_TRUE(state_.notes.result.titerDetermination);
    TypeInto(Box(dialog, "standardMass"), "0,2042");
    TypeInto(Box(dialog, "standardMolarMass"), "204,22");
    auto* update = Child<QPushButton>(dialog, "updateTiter");
    QLineEdit* titrant = Child<QComboBox>(dialog, "titrant")->lineEdit();
    TypeInto(titrant, "NaOH");
    ASSERT_TRUE(update->isEnabled());
    const double titer = 1000.0 * 0.2042 / 204.22 / (0.1 * volume_);

    // Not in the library yet: asked to add it; No writes nothing.
    prompter_.answers = {Answer::No, Answer::Yes, Answer::Yes};
    QTest::mouseClick(update, Qt::LeftButton);
    QTest::mouseClick(update, Qt::LeftButton);
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_TRUE(prompter_.messages[1].text.starts_with("Титранта «NaOH» нет в библиотеке."));
    // Known now: its titer is replaced and the first stays in its history.
    state_.notes.result.standardMass = 0.1021;
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_TRUE(prompter_.messages.back().text.starts_with("Записать титр "));
    Store store;
    ASSERT_TRUE(store.Open(Path("data/kelm.db").toStdString()).Ok());
    std::vector<TiterEntry> titers;
    ASSERT_TRUE(store.TiterHistory("NaOH", titers).Ok());
    ASSERT_EQ(titers.size(), 2u);
    EXPECT_NEAR(titers[0].titer, titer, 1e-12);
    EXPECT_NEAR(titers[1].titer, titer / 2.0, 1e-12);
    EXPECT_THAT(Child<QLabel>(dialog, "status")->text().toStdString(),
                ::testing::HasSubstr("записан в библиотеку"));

    // The library's titrants are offered; picking one takes its data.
    state_.notes.result.titerDetermination = false;
    state_.notes.result.concentration = 0.2;
    app_->Dialogs().RecordReplaced();
    auto* titrants = Child<QComboBox>(dialog, "titrant");
    ASSERT_EQ(titrants->count(), 1);
    emit titrants->activated(0);
    EXPECT_EQ(state_.notes.result.concentration, 0.1);
    EXPECT_NEAR(state_.notes.result.titer, titer / 2.0, 1e-12);
}

// The file keeps names in code page 1251: what it lacks is said, and a
// library name it cannot keep is not taken, or its titer would never be
// found again from the record.
TEST_F(ResultCalcDlg, ANameTheFileCannotKeepIsSaidAndSuchALibraryNameIsNotTaken) {
    {
        Store store;
        ASSERT_TRUE(store.Open(Path("data/kelm.db").toStdString()).Ok());
        ASSERT_TRUE(store.AddTitrant({"NaOH α", 0.5, 1.1, {}, {}}, "2026-12-10").Ok());
        ASSERT_TRUE(store.AddTitrant({std::string(120, 'N'), 0.5, 1.1, {}, {}}, "2026").Ok());
    }
    QWidget* dialog = Open();
    QLineEdit* sample = Box(dialog, "sampleName");
    sample->setFocus(Qt::TabFocusReason);
    sample->setText(QStringLiteral("Проба α"));  // pasted: there is no key for it
    QTest::keyClick(sample, Qt::Key_Tab);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].kind, "warn");
    EXPECT_THAT(prompter_.messages[0].text, ::testing::HasSubstr("«α»"));
    EXPECT_EQ(Cp1251ToUtf8(NameView(state_.notes.result.sampleName)), "Проба ?");

    TypeInto(Child<QComboBox>(dialog, "titrant")->lineEdit(), "HCl");
    auto* titrants = Child<QComboBox>(dialog, "titrant");
    ASSERT_EQ(titrants->count(), 2);
    const double concentration = state_.notes.result.concentration;
    for (int i = 0; i < 2; ++i) {
        prompter_.messages.clear();
        emit titrants->activated(i);
        ASSERT_EQ(prompter_.messages.size(), 1u) << i;
        EXPECT_EQ(prompter_.messages[0].kind, "error");
        EXPECT_EQ(Cp1251ToUtf8(NameView(state_.notes.result.titrantName)), "HCl");
        EXPECT_EQ(state_.notes.result.concentration, concentration);
    }
}

TEST_F(ResultCalcDlg, EnterMovesOnAndNeverSimplyClosesIt) {
    QWidget* dialog = Open();
    const struct {
        const char* from;
        const char* to;
    } table[] = {
        {"sampleName", "sampleAmount"},
        {"sampleAmount", "sampleUnit"},
        {"concentration", "titer"},
        {"molarMass", "unit"},
        {"unit", "titerDetermination"},
        {"titerDetermination", "save"},
        {"results", "save"},  // nothing to copy yet
    };
    for (const auto& row : table) {
        QWidget* from = dialog->findChild<QWidget*>(QLatin1String(row.from));
        ASSERT_NE(from, nullptr) << row.from;
        from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(from, Qt::Key_Return);
        ASSERT_NE(QApplication::focusWidget(), nullptr) << row.from;
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), row.to) << row.from;
        EXPECT_TRUE(dialog->isVisible()) << row.from;
    }
    QWidget* ok = Child<QPushButton>(dialog, "ok");
    ok->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace kelm::test
