// "Результаты титрования": the report in its modes, the buttons and Enter,
// the layout, and the whole loop from a processing setting to a report pasted
// elsewhere, which must read as kelmtool prints it.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "WorkDialogsTest.h"
#include "support/KelmtoolRun.h"
#include "ui/CKelmView.h"
#include "ui/CResultsDlg.h"

namespace kelm::test {
namespace {

class ResultsDlg : public WorkDialogsTest {
protected:
    QPlainTextEdit* Report(QWidget* dialog) { return Child<QPlainTextEdit>(dialog, "report"); }
    QPushButton* Button(QWidget* dialog, const char* name) {
        return Child<QPushButton>(dialog, name);
    }

    // What the user gets by selecting the whole report and copying it with
    // the box's own keys.
    QString Copied(QWidget* dialog) {
        QPlainTextEdit* box = Report(dialog);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        return QGuiApplication::clipboard()->text();
    }

    // A run from the processing dialog's OK.
    void RunFromProcessing() {
        QWidget* processing = OpenProcessing();
        auto* ok = Child<QPushButton>(processing, "ok");
        QTest::mouseClick(ok, Qt::LeftButton);
    }

    // A record with a jump the end value 0 never reaches: a run that finds no point.
    void RecordBelowZero(int count) {
        RecordJump(count);
        for (int i = 0; i < count; ++i) {
            state_.record.points[i].value = -500.0 + i;
        }
        state_.processing.criterion = EndPointCriterion::GivenValue;
        state_.processing.endValueEmf = 0.0;
    }
};

TEST_F(ResultsDlg, ARunWithoutPointsLeavesItEmptyAndCurvePointsStillListsTheMeasuredOnes) {
    RecordBelowZero(4);
    RunFromProcessing();
    QWidget* results = app_->Dialogs().Results();
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), "Результаты титрования");
    EXPECT_TRUE(results->isVisible());
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(Report(results)->toPlainText(), "");
    EXPECT_TRUE(Report(results)->isReadOnly());

    QTest::mouseClick(Button(results, "curvePoints"), Qt::LeftButton);
    EXPECT_EQ(Report(results)->toPlainText(),
              "Объём\tЭДС\n0.\t-500.\n1.\t-499.\n2.\t-498.\n3.\t-497.\n");
    // The separator command refreshes the same list with the comma, and
    // showing the window again returns to the equivalence points.
    state_.record.points[1].value = -498.75;
    Frame().Action(Command::SeparatorComma)->trigger();
    EXPECT_EQ(Report(results)->toPlainText(),
              "Объём\tЭДС\n0,\t-500,\n1,\t-498,75\n2,\t-498,\n3,\t-497,\n");
    // Hidden, it comes back with the separator command; with no equivalence
    // point to list, the measured points stay the list shown.
    results->hide();
    Frame().Action(Command::SeparatorPoint)->trigger();
    EXPECT_TRUE(results->isVisible());
    EXPECT_TRUE(Report(results)->toPlainText().startsWith("Объём\tЭДС\n0.\t-500.\n"));
}

TEST_F(ResultsDlg, WithoutMeasuredPointsCurvePointsEmptiesItAndTheModeShownBeforeStays) {
    RecordJump(21);
    RunFromProcessing();
    QWidget* results = app_->Dialogs().Results();
    ASSERT_NE(results, nullptr);
    const QString equivalence = Report(results)->toPlainText();
    EXPECT_TRUE(equivalence.startsWith("Объём\tЭДС\n9.855\t")) << equivalence.toStdString();

    state_.record.pointCount = 0;
    QTest::mouseClick(Button(results, "curvePoints"), Qt::LeftButton);
    EXPECT_EQ(Report(results)->toPlainText(), "");
    Frame().Action(Command::SeparatorComma)->trigger();
    QString expected = equivalence;
    EXPECT_EQ(Report(results)->toPlainText(), expected.replace('.', ','));
    // The menu command, and showing the window again, list the equivalence
    // points whatever was shown.
    state_.record.pointCount = 21;
    for (const bool hideFirst : {false, true}) {
        QTest::mouseClick(Button(results, "curvePoints"), Qt::LeftButton);
        EXPECT_TRUE(Report(results)->toPlainText().startsWith("Объём\tЭДС\n0,\t"));
        if (hideFirst) {
            results->hide();
            Frame().Action(Command::SeparatorComma)->trigger();
        } else {
            Frame().Action(Command::Results)->trigger();
        }
        EXPECT_EQ(Report(results)->toPlainText(), expected) << hideFirst;
    }
}

TEST_F(ResultsDlg, TheLayoutFollowsTheSizeButNeverGoesBelowItsMinimum) {
    const ResultsLayout small = LayOutResults(QSize(100, 60));
    const ResultsLayout minimum = LayOutResults(QSize(320, 150));
    EXPECT_EQ(small.report, minimum.report);
    EXPECT_EQ(small.ok, minimum.ok);
    EXPECT_EQ(minimum.report, QRect(10, 10, 300, 100));
    EXPECT_EQ(minimum.calculate, QRect(10, 115, 80, 25));
    EXPECT_EQ(minimum.curvePoints, QRect(100, 115, 120, 25));
    EXPECT_EQ(minimum.ok, QRect(230, 115, 80, 25));
    const ResultsLayout wide = LayOutResults(QSize(641, 400));
    EXPECT_EQ(wide.curvePoints, QRect(260, 365, 120, 25));
    EXPECT_EQ(LayOutResults(QSize(100, 400)).ok, QRect(230, 365, 80, 25));

    QWidget* results = OpenResults();
    EXPECT_EQ(results->minimumSize(), QSize(320, 150));
    EXPECT_GE(results->width(), 320);
    results->resize(641, 400);
    EXPECT_EQ(Report(results)->geometry(), wide.report);
    EXPECT_EQ(Button(results, "curvePoints")->geometry(), wide.curvePoints);
    EXPECT_EQ(Button(results, "calculate")->geometry(), wide.calculate);
    EXPECT_EQ(Button(results, "ok")->geometry(), wide.ok);
    EXPECT_EQ(Button(results, "calculate")->text(), "Расчёт");
    EXPECT_EQ(Button(results, "curvePoints")->text(), "Точки кривой");
}

TEST_F(ResultsDlg, EnterActsOnTheFocusedButtonAndOnlyOkHidesTheWindow) {
    RecordJump(2);
    QWidget* results = OpenResults();
    const auto enter = [](QWidget* on) {
        on->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(on, Qt::Key_Return);
    };
    enter(Report(results));
    EXPECT_TRUE(Button(results, "calculate")->hasFocus());
    enter(Button(results, "curvePoints"));
    EXPECT_TRUE(Report(results)->toPlainText().startsWith("Объём\tЭДС\n0.\t"));
    EXPECT_TRUE(Button(results, "calculate")->hasFocus());
    // Two points: "Расчёт" does nothing at all.
    enter(Button(results, "calculate"));
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(state_.curve.curveProcessed, 0);
    EXPECT_TRUE(results->isVisible());

    RecordJump(21);
    enter(Button(results, "calculate"));
    EXPECT_EQ(state_.curve.curveProcessed, 1);
    EXPECT_TRUE(Report(results)->toPlainText().startsWith("Объём\tЭДС\n9.855\t"));
    EXPECT_TRUE(Button(results, "calculate")->hasFocus());
    enter(Button(results, "ok"));
    EXPECT_FALSE(results->isVisible());
}

TEST_F(ResultsDlg, TheReportIsCopiedWithTheBoxsOwnKeysAndTheProgramNeverTouchesTheClipboard) {
    QGuiApplication::clipboard()->setText("the user's own");
    RecordJump(21);
    RunFromProcessing();
    QWidget* results = app_->Dialogs().Results();
    ASSERT_NE(results, nullptr);
    QTest::mouseClick(Button(results, "curvePoints"), Qt::LeftButton);
    Frame().Action(Command::SeparatorComma)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "the user's own");
    EXPECT_EQ(Copied(results), Report(results)->toPlainText());
}

// Each line of a report, each cut into its tab-separated cells.
std::vector<QStringList> Cells(QString text) {
    text.replace("\r\n", "\n");
    std::vector<QStringList> lines;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
        lines.push_back(line.split('\t'));
    }
    return lines;
}

TEST_F(ResultsDlg, TheWholeLoopFromAFilterSettingToAReportThatReadsAsKelmtoolPrintsIt) {
    // A pH titration with noise, opened from its file.
    RecordJump(30, MeasuredQuantity::Ph);
    for (int i = 0; i < 30; ++i) {
        state_.record.points[i].value =
            7.0 + 5.0 * std::tanh(0.6 * (i - 14.3)) + 0.08 * std::sin(2.1 * i);
    }
    state_.processing.filterStrength = 3;
    const QString file = Path("loop.kel");
    WriteFile(file, SaveRecord(state_));
    ASSERT_TRUE(Frame().OpenFile(file));
    Frame().Action(Command::SeparatorComma)->trigger();

    RunFromProcessing();
    QWidget* results = app_->Dialogs().Results();
    ASSERT_NE(results, nullptr);
    const QString before = Report(results)->toPlainText();
    const QImage graphBefore = Frame().View()->grab().toImage();
    EXPECT_FALSE(before.isEmpty());

    QWidget* processing = OpenProcessing();
    TypeInto(Child<QLineEdit>(processing, "filterStrength"), "12");
    QTest::mouseClick(Child<QPushButton>(processing, "ok"), Qt::LeftButton);
    const QString after = Report(results)->toPlainText();
    EXPECT_NE(after, before);
    EXPECT_NE(Frame().View()->grab().toImage(), graphBefore);

    const auto kelmtool = [this](std::vector<std::string> words) {
        const ToolOutcome run = RunTool(KELMTOOL_PATH, words, dir_.path().toStdString());
        EXPECT_EQ(run.status, 0) << run.err;
        return Cells(QString::fromStdString(run.out));
    };
    const std::vector<QStringList> tool =
        kelmtool({"process", file.toStdString(), "--strength", "12", "--comma"});
    EXPECT_EQ(Cells(Copied(results)), tool);
    EXPECT_GE(tool.size(), 2u);

    QTest::mouseClick(Button(results, "curvePoints"), Qt::LeftButton);
    EXPECT_EQ(Cells(Copied(results)),
              kelmtool({"report", file.toStdString(), "--curve-points", "--comma"}));
}

}  // namespace
}  // namespace kelm::test
