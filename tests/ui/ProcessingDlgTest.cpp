// "Обработка кривой" as the user works it: the controls where they stand,
// each commit on leaving a box, clicking or moving a slider, the questions,
// the radio pairs and the Enter key.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>

#include "WorkDialogsTest.h"
#include "ui/DialogUnits.h"
#include "ui/WindowPlacement.h"

namespace kelm::test {
namespace {

class ProcessingDlg : public WorkDialogsTest {
protected:
    void SetUp() override {
        WorkDialogsTest::SetUp();
        RecordJump(10);
    }

    QLineEdit* Box(const char* name) { return Child<QLineEdit>(dialog_, name); }
    QSlider* Slider(const char* name) { return Child<QSlider>(dialog_, name); }
    QRadioButton* Radio(const char* name) { return Child<QRadioButton>(dialog_, name); }
    QComboBox* Criterion() { return Child<QComboBox>(dialog_, "criterion"); }
    QCheckBox* Automatic() { return Child<QCheckBox>(dialog_, "automatic"); }
    QPushButton* Ok() { return Child<QPushButton>(dialog_, "ok"); }

    void Show() { dialog_ = OpenProcessing(); }
    void Enter(QWidget* on) {
        on->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(on, Qt::Key_Return);
    }

    QWidget* dialog_ = nullptr;
};

TEST_F(ProcessingDlg, StandsWhereItsDialogUnitsPutItAndCannotBeResized) {
    Show();
    EXPECT_EQ(dialog_->windowTitle(), "Обработка кривой");
    EXPECT_TRUE(state_.processingDialogCreated);
    EXPECT_EQ(dialog_->parentWidget(), &Frame());
    const DialogUnits du(dialog_->font());
    EXPECT_EQ(dialog_->minimumSize(), du.Size(205, 239));
    EXPECT_EQ(dialog_->maximumSize(), du.Size(205, 239));
    EXPECT_EQ(Ok()->geometry(), du.Rect(148, 218, 50, 14));
    EXPECT_EQ(Ok()->text(), "OK");
    EXPECT_EQ(Box("endValue")->geometry().topLeft(), du.Rect(53, 37, 57, 12).topLeft());
    EXPECT_EQ(Slider("pointSlider")->x(), du.X(18));
    EXPECT_EQ(Slider("pointSlider")->width(), du.X(169));
    EXPECT_EQ(Radio("movingAverage")->x(), du.X(18));
    EXPECT_EQ(Radio("movingAverage")->text(), "Скользящее среднее");
    EXPECT_EQ(Radio("linear")->text(), "Линейная аппроксимация");
    // Every label names its box; no control's text is cut.
    for (const auto& [label, box] : {std::pair{"Критерий", "criterion"},
                                     {"Значение", "endValue"},
                                     {"Число точек", "pointCount"},
                                     {"Фильтрация", "filterStrength"}}) {
        QLabel* found = nullptr;
        for (QLabel* l : dialog_->findChildren<QLabel*>()) {
            if (l->text() == QString::fromUtf8(label)) {
                found = l;
            }
        }
        ASSERT_NE(found, nullptr) << label;
        EXPECT_EQ(found->buddy(), dialog_->findChild<QWidget*>(box)) << label;
        EXPECT_GE(found->width(), found->sizeHint().width()) << label;
    }
    for (QAbstractButton* b : dialog_->findChildren<QAbstractButton*>()) {
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    }
}

TEST_F(ProcessingDlg, TabVisitsTheStopsInTheirOrderAndSkipsTheRadioButtons) {
    state_.processing.criterion = EndPointCriterion::GivenValue;
    state_.processing.autoPointCount = 0;
    Show();
    Ok()->setFocus(Qt::TabFocusReason);
    std::vector<std::string> visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    EXPECT_EQ(visited,
              (std::vector<std::string>{"criterion", "endValue", "pointSlider", "pointCount",
                                        "filterStrength", "filterSlider", "automatic", "ok"}));
}

TEST_F(ProcessingDlg, TheAutomaticCountIsReadOnlyOnADisabledSliderAndUncheckingFreesIt) {
    state_.processing.autoPointCount = 1;
    RecordJump(120);
    Show();
    EXPECT_TRUE(Automatic()->isChecked());
    EXPECT_TRUE(Box("pointCount")->isReadOnly());
    EXPECT_EQ(Box("pointCount")->text(), "500");
    QSlider* slider = Slider("pointSlider");
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_EQ(std::tuple(slider->minimum(), slider->maximum(), slider->value()),
              std::tuple(120, 500, 500));
    EXPECT_EQ(slider->tickInterval(), 38);
    EXPECT_EQ(slider->tickPosition(), QSlider::TicksAbove);
    Show();
    QTest::mouseClick(Automatic(), Qt::LeftButton);
    EXPECT_EQ(state_.processing.autoPointCount, 0);
    EXPECT_FALSE(Box("pointCount")->isReadOnly());
    EXPECT_TRUE(Slider("pointSlider")->isEnabled());
    EXPECT_EQ(Box("pointCount")->text(), "500");
    // The slider moved by the keyboard stores its position at once.
    Slider("pointSlider")->setFocus();
    QTest::keyClick(Slider("pointSlider"), Qt::Key_Home);
    EXPECT_EQ(state_.processing.interpolationPointCount, 120);
    EXPECT_EQ(Box("pointCount")->text(), "120");
}

TEST_F(ProcessingDlg, TypedNumbersAreForcedIntoTheirRangesWhenTheBoxIsLeft) {
    state_.processing.autoPointCount = 0;
    Show();
    struct Case {
        const char* box;
        const char* typed;
        const char* shown;
    };
    for (const Case c : {Case{"pointCount", "2", "10"},
                         {"pointCount", "9999", "500"},
                         {"pointCount", "42", "42"},
                         {"filterStrength", "20", "15"},
                         {"filterStrength", "123", "12"},
                         {"filterStrength", "7", "7"}}) {
        TypeInto(Box(c.box), QString::fromUtf8(c.typed));
        EXPECT_EQ(Box(c.box)->text(), c.shown) << c.box << " " << c.typed;
    }
    // The boxes hold at most 3 and 2 characters: "9999" was "999", "123" was "12".
    EXPECT_EQ(Box("pointCount")->maxLength(), 3);
    EXPECT_EQ(Box("filterStrength")->maxLength(), 2);
    EXPECT_EQ(state_.processing.interpolationPointCount, 42);
    EXPECT_EQ(Slider("pointSlider")->value(), 42);
    EXPECT_EQ(state_.processing.filterStrength, 7);
    EXPECT_EQ(Slider("filterSlider")->value(), 7);
    // The filter slider: 0..15 with a tick every 5, its position stored at once.
    EXPECT_EQ(Slider("filterSlider")->minimum(), 0);
    EXPECT_EQ(Slider("filterSlider")->maximum(), 15);
    EXPECT_EQ(Slider("filterSlider")->tickInterval(), 5);
    Slider("filterSlider")->setFocus();
    QTest::keyClick(Slider("filterSlider"), Qt::Key_End);
    EXPECT_EQ(state_.processing.filterStrength, 15);
    EXPECT_EQ(Box("filterStrength")->text(), "15");
}

TEST_F(ProcessingDlg, AnImplausibleEndValueAsksAndNoBringsTheOldValueBack) {
    state_.processing.criterion = EndPointCriterion::GivenValue;
    state_.processing.endValueEmf = 250.0;
    Show();
    // The box takes the focus from the control Tab reached; the box keeps
    // showing what was typed while the question is open.
    QString shownWhileOpen;
    prompter_.whileOpen = [&](const Message&) {
        Activate(&Frame());
        shownWhileOpen = Box("endValue")->text();
        Activate(dialog_);
    };
    prompter_.answers = {Answer::No};
    TypeInto(Box("endValue"), "6000");
    prompter_.whileOpen = nullptr;
    EXPECT_EQ(shownWhileOpen, "6000");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Значение ЭДС за границами 5000 мВ.\r\nЗаписать?");
    EXPECT_EQ(prompter_.messages[0].owner, "processing");
    EXPECT_EQ(state_.processing.endValueEmf, 250.0);
    EXPECT_EQ(Box("endValue")->text(), "250.");

    prompter_.answers = {Answer::Yes};
    TypeInto(Box("endValue"), "6000");
    EXPECT_EQ(state_.processing.endValueEmf, 6000.0);
    EXPECT_EQ(Box("endValue")->text(), "6000.");

    state_.record.quantity = MeasuredQuantity::Ph;
    dialog_->hide();
    Show();
    prompter_.answers = {Answer::No};
    TypeInto(Box("endValue"), "25");
    EXPECT_EQ(prompter_.messages.back().text, "Значение pH/pX за границами -2...20.\r\nЗаписать?");
    EXPECT_EQ(state_.processing.endValuePh, 7.0);
    EXPECT_EQ(Box("endValue")->text(), "7.");
}

TEST_F(ProcessingDlg, WithTheCommaTabbingThroughTheEndValueLeavesItAsItWas) {
    state_.display.decimalComma = 1;
    state_.processing.criterion = EndPointCriterion::GivenValue;
    state_.processing.endValueEmf = -350.1274;
    Show();
    EXPECT_EQ(Box("endValue")->text(), "-350,127");
    Criterion()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Criterion(), Qt::Key_Tab);
    ASSERT_TRUE(Box("endValue")->hasFocus());
    QTest::keyClick(Box("endValue"), Qt::Key_Tab);
    EXPECT_EQ(state_.processing.endValueEmf, -350.1274);
    EXPECT_TRUE(prompter_.messages.empty());
    // A value typed with the comma is read whole.
    state_.record.quantity = MeasuredQuantity::Ph;
    dialog_->hide();
    Show();
    TypeInto(Box("endValue"), "6,5");
    EXPECT_EQ(state_.processing.endValuePh, 6.5);
    EXPECT_EQ(Box("endValue")->text(), "6,5");
    // The point menu command shows the box with the point at once.
    Frame().Action(Command::SeparatorPoint)->trigger();
    EXPECT_EQ(Box("endValue")->text(), "6.5");
}

TEST_F(ProcessingDlg, EachRadioClickKeepsTheOtherPairsChoice) {
    state_.processing.interpolationKind = InterpolationKind::CubicSpline;
    state_.processing.filterKind = FilterKind::PolynomialSmoothing;
    Show();
    const auto checked = [this] {
        std::string s;
        for (const char* name : {"cubicSpline", "linear", "polynomial", "movingAverage"}) {
            s += Radio(name)->isChecked() ? '1' : '0';
        }
        return s;
    };
    EXPECT_EQ(checked(), "1010");
    for (const auto& [click, after] : {std::pair{"movingAverage", "1001"},
                                       {"linear", "0101"},
                                       {"polynomial", "0110"},
                                       {"cubicSpline", "1010"},
                                       {"cubicSpline", "1010"}}) {
        QTest::mouseClick(Radio(click), Qt::LeftButton);
        EXPECT_EQ(checked(), after) << click;
    }
    EXPECT_EQ(state_.processing.interpolationKind, InterpolationKind::CubicSpline);
    EXPECT_EQ(state_.processing.filterKind, FilterKind::PolynomialSmoothing);
    QTest::mouseClick(Radio("linear"), Qt::LeftButton);
    QTest::mouseClick(Radio("movingAverage"), Qt::LeftButton);
    EXPECT_EQ(state_.processing.interpolationKind, InterpolationKind::Linear);
    EXPECT_EQ(state_.processing.filterKind, FilterKind::MovingAverage);
}

TEST_F(ProcessingDlg, EnterNeverClosesItAndOnOkRunsFromThreePointsOn) {
    state_.processing.criterion = EndPointCriterion::GivenValue;
    state_.processing.autoPointCount = 0;
    RecordJump(2);
    Show();
    Enter(Ok());
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(app_->Dialogs().Results(), nullptr);
    EXPECT_EQ(state_.curve.curveProcessed, 0);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(Ok()->hasFocus());

    // Enter moves the focus on, committing the box it leaves, and acts on a
    // radio button as a click.
    Box("endValue")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(Box("endValue"), "5");
    Enter(Box("endValue"));
    EXPECT_TRUE(Slider("pointSlider")->hasFocus());
    EXPECT_EQ(state_.processing.endValueEmf, 5.0);
    Enter(Radio("linear"));
    EXPECT_EQ(state_.processing.interpolationKind, InterpolationKind::Linear);
    EXPECT_TRUE(Radio("linear")->isChecked());
    EXPECT_TRUE(Slider("filterSlider")->hasFocus());
    EXPECT_TRUE(dialog_->isVisible());

    RecordJump(3);
    Enter(Ok());
    ASSERT_NE(app_->Dialogs().Results(), nullptr);
    EXPECT_TRUE(app_->Dialogs().Results()->isVisible());
    EXPECT_EQ(state_.curve.curveProcessed, 1);
    EXPECT_TRUE(dialog_->isVisible());
    // A click on OK runs as well; the run's grid size shows at once.
    state_.processing.autoPointCount = 1;
    dialog_->hide();
    Show();
    RecordJump(21);
    QTest::mouseClick(Ok(), Qt::LeftButton);
    EXPECT_EQ(Box("pointCount")->text(), "105");
}

TEST_F(ProcessingDlg, GoingToAnotherWindowCommitsTheBoxAndTheOpenListTakesItsOwnEnter) {
    Show();
    QLineEdit* strength = Box("filterStrength");
    strength->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(strength, "11");
    Activate(&Frame());
    EXPECT_EQ(state_.processing.filterStrength, 11);

    // Enter in the open list chooses the item; it is not the window's Enter.
    Activate(dialog_);
    Criterion()->setFocus();
    Criterion()->showPopup();
    QWidget* list = Criterion()->view();
    ASSERT_TRUE(list->isVisible());
    const int before = Criterion()->currentIndex();
    QTest::keyClick(list, before == 0 ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(Criterion()->currentIndex(), 1 - before);
    EXPECT_EQ(static_cast<int>(state_.processing.criterion), 1 - before);
    // The value box follows the criterion chosen.
    EXPECT_EQ(Box("endValue")->isEnabled(), before == 1);
    EXPECT_EQ(Box("endValue")->text().isEmpty(), before == 0);
}

TEST_F(ProcessingDlg, TheCloseBoxHidesItAndShowingItAgainReloadsEverySetting) {
    Show();
    TypeInto(Box("filterStrength"), "9");
    dialog_->close();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(state_.processing.filterStrength, 9);

    // Settings changed meanwhile, as by opening a file.
    state_.processing.filterStrength = 3;
    state_.processing.criterion = EndPointCriterion::GivenValue;
    state_.processing.endValueEmf = 42.0;
    state_.processing.autoPointCount = 0;
    state_.processing.interpolationPointCount = 77;
    state_.processing.interpolationKind = InterpolationKind::Linear;
    QWidget* again = OpenProcessing();
    EXPECT_EQ(again, dialog_);
    EXPECT_EQ(Box("filterStrength")->text(), "3");
    EXPECT_EQ(Slider("filterSlider")->value(), 3);
    EXPECT_EQ(Criterion()->currentIndex(), 0);
    EXPECT_EQ(Box("endValue")->text(), "42.");
    EXPECT_FALSE(Automatic()->isChecked());
    EXPECT_EQ(Box("pointCount")->text(), "77");
    EXPECT_TRUE(Radio("linear")->isChecked());
    EXPECT_FALSE(Radio("cubicSpline")->isChecked());

    // Left open beside the graph, it shows what a file opened meanwhile holds
    // as soon as the user comes back to it.
    Activate(&Frame());
    state_.processing.filterStrength = 13;
    state_.processing.interpolationKind = InterpolationKind::CubicSpline;
    Activate(dialog_);
    EXPECT_EQ(Box("filterStrength")->text(), "13");
    EXPECT_TRUE(Radio("cubicSpline")->isChecked());
}

TEST_F(ProcessingDlg, TheProcessingAndResultsWindowsOpenBesideTheGraphNotOverIt) {
    Frame().setGeometry(20, 40, 300, 300);
    const QRect frame = Frame().frameGeometry();
    const QRect processing = OpenProcessing()->frameGeometry();
    EXPECT_GT(processing.left(), frame.right());
    EXPECT_EQ(processing.top(), frame.top());
    const QRect results = OpenResults()->frameGeometry();
    EXPECT_GT(results.left(), frame.right());
    EXPECT_EQ(results.bottom(), Frame().screen()->availableGeometry().bottom());
}

TEST(WindowPlacement, AWorkDialogOpensBesideItsOwnerAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1400, 900);
    struct Case {
        QRect owner;
        BesideOwner where;
        QPoint at;
        int workTop = 0;  // below the owner's menu and toolbar
    };
    for (const Case c : {
             Case{QRect(100, 50, 800, 600), BesideOwner::Top, QPoint(900, 50), 100},
             {QRect(100, 50, 800, 600), BesideOwner::Bottom, QPoint(900, 600), 100},
             {QRect(500, 50, 800, 600), BesideOwner::Left, QPoint(100, 50), 100},
             // No room on the left: against the screen's left edge, over the
             // owner but below its menu and toolbar.
             {QRect(100, 50, 800, 600), BesideOwner::Left, QPoint(0, 100), 100},
             {QRect(0, 0, 1400, 870), BesideOwner::Left, QPoint(0, 60), 60},
             // No room on the right: against the screen's right edge.
             {QRect(300, 140, 800, 610), BesideOwner::Top, QPoint(1000, 190), 190},
             {QRect(700, -40, 800, 600), BesideOwner::Top, QPoint(1000, 0), -10},
             {QRect(0, 0, 1400, 870), BesideOwner::Bottom, QPoint(1000, 600), 60},
             // And never off the screen's foot for it.
             {QRect(100, 50, 800, 600), BesideOwner::Left, QPoint(0, 600), 700},
         }) {
        EXPECT_EQ(PositionBeside(c.owner, QSize(400, 300), c.where, screen, c.workTop), c.at)
            << c.owner.x() << " " << int(c.where);
    }
}

}  // namespace
}  // namespace kelm::test
