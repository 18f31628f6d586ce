// "Поиск и выбор точек" as the user reaches it from the processing window:
// either separator in its boxes, nonsense refused, Cancel changing nothing,
// Enter moving on; and the results window's notice below the report.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "WorkDialogsTest.h"
#include "ui/CEvaluationDlg.h"
#include "ui/CResultsDlg.h"

namespace kelm::test {
namespace {

class EvaluationDlg : public WorkDialogsTest {
protected:
    // An electrode still settling: the first 0.0005 mL is far steeper than
    // the jump at 10 mL, and the linear grid then finds no point.
    void RecordSettlingElectrode() {
        state_.record.quantity = MeasuredQuantity::Ph;
        state_.record.pointCount = 0;
        state_.record.points[state_.record.pointCount++] = {0.0, 2.0};
        state_.record.points[state_.record.pointCount++] = {0.0005, 3.0};
        for (int i = 1; i <= 40; ++i) {
            state_.record.points[state_.record.pointCount++] = {
                0.5 * i, 7.0 + 4.0 * std::tanh(0.5 * (0.5 * i - 10))};
        }
        state_.processing.interpolationKind = InterpolationKind::Linear;
        state_.processing.criterion = EndPointCriterion::DerivativeExtremum;
    }

    static QLineEdit* Box(QWidget* dialog, const char* name) {
        return Child<QLineEdit>(dialog, name);
    }
    static void Enter(QWidget* on) {
        on->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(on, Qt::Key_Return);
    }

    // Opens the window from the processing window's button and lets `work`
    // act on it while it is open.
    void WithOpenedWindow(const std::function<void(QWidget*)>& work) {
        QWidget* processing = OpenProcessing();
        bool opened = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            EXPECT_EQ(modal->windowTitle(), "Поиск и выбор точек");
            Activate(modal);
            opened = true;
            work(modal);
            if (modal->isVisible()) {
                static_cast<QDialog*>(modal)->reject();
            }
        });
        QTest::mouseClick(Child<QPushButton>(processing, "evaluation"), Qt::LeftButton);
        EXPECT_TRUE(opened);
    }
};

TEST_F(EvaluationDlg, TheWindowTakesEitherSeparatorAndEnterWalksItsFieldsToOk) {
    RecordSettlingElectrode();
    state_.display.decimalComma = 1;
    WithOpenedWindow([&](QWidget* w) {
        ExpectDistinctTypeableMnemonics(w);
        TypeInto(Box(w, "from"), "1,25");
        Box(w, "to")->setText("19.5");
        Enter(Box(w, "to"));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "choice");
        Child<QComboBox>(w, "choice")->setCurrentIndex(4);
        EXPECT_TRUE(Box(w, "count")->isEnabled());
        Enter(Child<QComboBox>(w, "choice"));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "count");
        Box(w, "count")->setText("2");
        Enter(Box(w, "count"));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "ok");
        Enter(Child<QPushButton>(w, "ok"));
        EXPECT_FALSE(w->isVisible());
    });
    const EvaluationSettings& e = state_.notes.evaluation;
    EXPECT_EQ(std::tuple(e.windowFrom, e.windowTo, e.choice, e.count),
              std::tuple(1.25, 19.5, PointChoice::GreatestN, 2));
    EXPECT_TRUE(prompter_.messages.empty());
    // Opened again, it shows what is stored, with the user's separator.
    WithOpenedWindow([&](QWidget* w) {
        EXPECT_EQ(Box(w, "from")->text(), "1,25");
        EXPECT_EQ(Box(w, "to")->text(), "19,5");
        EXPECT_EQ(Child<QComboBox>(w, "choice")->currentText(), "Несколько наибольших");
        EXPECT_EQ(Box(w, "count")->text(), "2");
        // Every label names its box.
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (label->text().startsWith('&')) {
                EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
            }
        }
    });
    // An end with more decimals than the boxes were typed with (a hand edit of
    // the file): shown whole, so that OK keeps it.
    state_.notes.evaluation.windowTo = 19.5000001;
    WithOpenedWindow([&](QWidget* w) {
        EXPECT_EQ(Box(w, "to")->text(), "19,5000001");
        Enter(Child<QPushButton>(w, "ok"));
    });
    EXPECT_EQ(state_.notes.evaluation.windowTo, 19.5000001);
}

TEST_F(EvaluationDlg, NonsenseIsRefusedWithItsReasonAndCancelKeepsWhatWasStored) {
    struct Case {
        const char* from;
        const char* to;
        const char* count;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"abc", "", "1",
         "Начало окна поиска — не число. Введите объём в мл, например 4,5, или оставьте поле "
         "пустым.",
         "from"},
        {"", "6 мл", "1",
         "Конец окна поиска — не число. Введите объём в мл, например 4,5, или оставьте поле "
         "пустым.",
         "to"},
        {"-2", "", "1", "Объём окна поиска не может быть отрицательным.", "from"},
        {"8", "3", "1",
         "Окно поиска кончается раньше, чем начинается: начало должно быть не больше конца.",
         "from"},
        {"", "", "0", "Число точек — целое число от 1 до 250.", "count"},
        {"", "", "2,5", "Число точек — целое число от 1 до 250.", "count"},
    };
    state_.notes.evaluation.windowFrom = 3.0;
    const EvaluationSettings stored = state_.notes.evaluation;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        prompter_.messages.clear();
        CEvaluationDlg dialog(app_->Context(), &Frame());
        Child<QComboBox>(&dialog, "choice")->setCurrentIndex(4);
        Box(&dialog, "from")->setText(QString::fromUtf8(c.from));
        Box(&dialog, "to")->setText(QString::fromUtf8(c.to));
        Box(&dialog, "count")->setText(QString::fromUtf8(c.count));
        dialog.show();
        Activate(&dialog);
        dialog.accept();
        ASSERT_EQ(prompter_.messages.size(), 1u);
        EXPECT_EQ(prompter_.messages[0].kind, "error");
        EXPECT_EQ(prompter_.messages[0].caption, "Ошибка");
        EXPECT_EQ(prompter_.messages[0].text, c.message);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Box(&dialog, c.focus));
        EXPECT_EQ(state_.notes.evaluation, stored);
    }
    WithOpenedWindow([&](QWidget* w) {
        Box(w, "from")->setText("5");
        Enter(Child<QPushButton>(w, "cancel"));
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(state_.notes.evaluation, stored);
}

TEST_F(EvaluationDlg, TheResultsWindowTellsWhyNoPointWasFoundAndTheWindowThenFindsIt) {
    RecordSettlingElectrode();
    QWidget* processing = OpenProcessing();
    QTest::mouseClick(Child<QPushButton>(processing, "ok"), Qt::LeftButton);
    QWidget* results = app_->Dialogs().Results();
    ASSERT_NE(results, nullptr);
    auto* notice = Child<QLabel>(results, "notice");
    auto* report = Child<QPlainTextEdit>(results, "report");
    EXPECT_EQ(report->toPlainText(), "");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->text().startsWith(
        "Точка эквивалентности не найдена: кривая круче всего при 0 мл, вне области поиска"));
    // Below the report, above the buttons, which stay where they were.
    EXPECT_GT(notice->y(), report->geometry().bottom());
    EXPECT_LT(notice->geometry().bottom(), Child<QPushButton>(results, "ok")->y());
    EXPECT_EQ(Child<QPushButton>(results, "ok")->geometry(), LayOutResults(results->size()).ok);
    // "Точки кривой" is not about the points found: no notice beside it.
    QTest::mouseClick(Child<QPushButton>(results, "curvePoints"), Qt::LeftButton);
    EXPECT_FALSE(notice->isVisible());

    state_.notes.evaluation.windowFrom = 1.0;
    QTest::mouseClick(Child<QPushButton>(results, "calculate"), Qt::LeftButton);
    EXPECT_TRUE(report->toPlainText().startsWith("Объём\tpH\n9.277\t5.633\n"))
        << report->toPlainText().toStdString();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(report->geometry(), LayOutResults(results->size()).report);
}

}  // namespace
}  // namespace kelm::test
