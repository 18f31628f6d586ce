// The entry window driven through its widgets: what it shows, the keyboard
// workflow of the Enter key, the timer, the layout in pixels and its saving,
// the selection on the graph, and the processing run it owns. The meter is
// the simulator's, in process, on the test's clock.
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <cmath>
#include <functional>
#include <vector>

#include "EntryWindowTest.h"
#include "Instrument.h"
#include "core/SettingsFile.h"
#include "support/InstrumentPort.h"

namespace kelm::test {
namespace {

class EntryDlgTest : public EntryWindowTest {
protected:
    void SetUp() override {
        EntryWindowTest::SetUp();
        meter_.Config() = QuietMeter();
        services_.portMap = [] { return PortMap::Parse("COM1=/dev/sim-meter\n"); };
        services_.makePort = [this] {
            auto port =
                std::make_unique<InstrumentPort>(meter_, [this] { return clock_.Seconds(); });
            port_ = port.get();
            return port;
        };
        StartEntry();
    }

    sim::Instrument meter_{sim::InstrumentConfig{}, sim::SampleConfig{}};
    InstrumentPort* port_ = nullptr;
};

// The program as it starts, with the dialogs it registers itself.
using EntryRegistration = AppTest;

TEST_F(EntryRegistration, TheMenuCommandOpensTheEntryWindowOnce) {
    Start();
    Frame().move(650, 0);
    QAction* command = Frame().Action(Command::Entry);
    EXPECT_TRUE(command->isEnabled());
    command->trigger();
    CWorkDlg* entry = app_->Dialogs().Entry();
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isVisible());
    // Beside the graph, not over it.
    EXPECT_LE(entry->frameGeometry().right(), Frame().frameGeometry().left());
    EXPECT_TRUE(state_.entryDialogCreated);
    EXPECT_EQ(entry->parentWidget(), &Frame());
    EXPECT_NE(entry->findChild<QLineEdit*>("additionBox"), nullptr);
    entry->hide();
    command->trigger();
    EXPECT_EQ(app_->Dialogs().Entry(), entry);
    EXPECT_TRUE(entry->isVisible());
}

TEST_F(EntryDlgTest, ShowingListsTheRecordUnderItsHeadings) {
    Record({4.1234, 4.5, 9.25}, MeasuredQuantity::Ph);
    const std::string description(100, 'x');
    std::copy(description.begin(), description.end(), state_.record.description.begin());
    Open();
    EXPECT_EQ(dlg_->windowTitle(), QString(80, 'x') + "...");
    EXPECT_FALSE(dlg_->windowIcon().isNull());
    QTreeWidgetItem* header = List()->headerItem();
    EXPECT_EQ(QStringList({header->text(0), header->text(1), header->text(2)}),
              QStringList({"Объём", "pH", "Изменение"}));
    EXPECT_EQ(List()->topLevelItemCount(), 3);
    EXPECT_EQ(Row(0), QStringList({"1.", "4.123", ""}));
    EXPECT_EQ(Row(2), QStringList({"3.", "9.25", "4.75"}));
    EXPECT_EQ(List()->topLevelItem(2)->textAlignment(1), int(Qt::AlignCenter));
    EXPECT_EQ(List()->columnWidth(1), 100);
    EXPECT_EQ(dlg_->frameGeometry().size(), QSize(600, 500));  // the outer size
    const QStringList modes = {"Ручной ввод", "С прибора", "-''-, таймер, с",
                               "-''-, дрейф, мВ/мин"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Criteria()->itemText(i), modes[i]);
    }
    // Labels, frames and buttons with their texts; each label names its box.
    const auto label = [&](const QString& text) {
        for (QLabel* l : dlg_->findChildren<QLabel*>()) {
            if (l->text() == text) {
                return l;
            }
        }
        ADD_FAILURE() << text.toStdString();
        return static_cast<QLabel*>(nullptr);
    };
    EXPECT_EQ(label("Объём добавки")->buddy(), AdditionBox());
    EXPECT_EQ(label("pH")->buddy(), ValueBox());
    QStringList frames;
    for (QGroupBox* g : dlg_->findChildren<QGroupBox*>()) {
        frames << g->title();
    }
    EXPECT_EQ(frames, QStringList({"Критерий записи", "Точка графика"}));
    EXPECT_EQ(QStringList({AddButton()->text(), RecordButton()->text(), Calculate()->text()}),
              QStringList({"Добавка титранта", "Запись точки", "Расчёт"}));
    EXPECT_TRUE(Calculate()->isDefault());
    // Tab goes through the controls in their order.
    QWidget* w = List();
    QStringList order;
    for (int i = 0; i < 8; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus) {
            w = w->nextInFocusChain();
        }
        order << w->objectName();
    }
    EXPECT_EQ(order, QStringList({"pointList", "criterionList", "criterionBox", "additionBox",
                                  "addButton", "valueBox", "recordButton", "calculateButton"}));
}

TEST_F(EntryDlgTest, TheWholeKeyboardWorkflowNeedsNoMouse) {
    NewRecord(state_);
    Open();
    AdditionBox()->setFocus();
    Type("1");
    Enter();  // to "Добавка титранта"
    EXPECT_EQ(QApplication::focusWidget(), AddButton());
    Enter();  // added; on to the value
    EXPECT_EQ(QApplication::focusWidget(), ValueBox());
    Type("100");
    Enter();  // to "Запись точки"
    Enter();  // recorded; on to the next addition, its text selected
    ASSERT_EQ(state_.record.pointCount, 1);
    EXPECT_EQ(QApplication::focusWidget(), AdditionBox());
    EXPECT_EQ(AdditionBox()->selectedText(), "1.");
    Type("0,5");
    Enter();
    Enter();
    Type("120,5");
    Enter();
    Enter();
    ASSERT_EQ(state_.record.pointCount, 2);
    EXPECT_DOUBLE_EQ(state_.record.points[1].volume, 1.5);
    EXPECT_DOUBLE_EQ(state_.record.points[1].value, 120.5);
    EXPECT_EQ(Row(1), QStringList({"1.5", "120.5", "41."}));
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_TRUE(dlg_->isVisible());  // Enter never closes it

    // A refused volume comes back to be typed again.
    Type("0");
    Enter();
    Enter();
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Неверное значение объёма"});
    EXPECT_EQ(QApplication::focusWidget(), AdditionBox());

    // From the list to "Расчёт", whose Enter runs the processing.
    List()->setFocus();
    Enter();
    EXPECT_EQ(QApplication::focusWidget(), Calculate());
    Enter();
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_EQ(prompter_.messages[1].text, "Недостаточно данных для расчёта");
    EXPECT_EQ(prompter_.messages[1].owner, "entry");
    // The criterion list leads to the addition box, or to the criterion box
    // in the modes that have one.
    ChooseMode(RecordMode::Instrument);
    Enter();
    EXPECT_EQ(QApplication::focusWidget(), AdditionBox());
    ChooseMode(RecordMode::Timer);
    Enter();
    EXPECT_EQ(QApplication::focusWidget(), CriterionBox());
    Enter();
    EXPECT_EQ(QApplication::focusWidget(), AdditionBox());
}

TEST_F(EntryDlgTest, TheKeyboardWorkflowWithTheMeter) {
    NewRecord(state_);
    Open();
    ChooseMode(RecordMode::Instrument);
    AdditionBox()->setFocus();
    Type("2");
    Enter();
    Enter();  // added; on to "Запись точки"
    EXPECT_EQ(QApplication::focusWidget(), RecordButton());
    Enter();  // before the first reading: nothing yet
    EXPECT_EQ(state_.record.pointCount, 0);
    Tick();
    EXPECT_FALSE(ValueBox()->text().isEmpty());
    Enter();
    ASSERT_EQ(state_.record.pointCount, 1);
    EXPECT_EQ(QApplication::focusWidget(), AdditionBox());

    // In timer mode the focus waits for the addition box until the point is in.
    ChooseMode(RecordMode::Timer);
    Retype(CriterionBox(), "5");
    Enter();
    EXPECT_EQ(state_.acquisition.timerSeconds, 5.0);
    Type("1");
    Enter();
    Enter();
    EXPECT_FALSE(AdditionBox()->isEnabled());
    for (int i = 0; i < 5; ++i) {
        Tick();
    }
    ASSERT_EQ(state_.record.pointCount, 2);
    EXPECT_EQ(QApplication::focusWidget(), AdditionBox());
}

TEST_F(EntryDlgTest, TheTimerRunsWhileAReadingIsAwaitedEvenWhenHidden) {
    NewRecord(state_);
    Open();
    const QTimer& timer = dlg_->AcquisitionTimer();
    EXPECT_EQ(timer.interval(), 1000);
    ChooseMode(RecordMode::Drift);
    EXPECT_FALSE(timer.isActive());
    AdditionBox()->setFocus();
    Type("1");
    QTest::mouseClick(AddButton(), Qt::LeftButton);
    EXPECT_TRUE(timer.isActive());
    EXPECT_FALSE(Criteria()->isEnabled());
    EXPECT_TRUE(ValueBox()->isReadOnly());
    EXPECT_FALSE(RecordButton()->isEnabled());
    dlg_->hide();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(TickUntilRecorded(100), 31);
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(List()->topLevelItemCount(), 1);
    // Typed entry never starts it.
    dlg_->show();
    QApplication::setActiveWindow(dlg_);
    ChooseMode(RecordMode::Manual);
    Retype(AdditionBox(), "1");
    QTest::mouseClick(AddButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg_->Entry().AdditionPending());
    EXPECT_FALSE(timer.isActive());
}

// "Создать" or "&Открыть..." while a first addition of 0 waits: the value
// taken next belongs to the record that is gone, and the window goes back to
// a new addition.
TEST_F(EntryDlgTest, NewOrOpenDropsAFirstAdditionOfZero) {
    const QString emptyFile = WriteRecord("empty.kel", 0);
    const std::pair<RecordMode, bool> rows[] = {
        {RecordMode::Manual, false},    {RecordMode::Manual, true}, {RecordMode::Instrument, false},
        {RecordMode::Instrument, true}, {RecordMode::Timer, false}, {RecordMode::Drift, true},
    };
    NewRecord(state_);
    Open();
    for (const auto& [mode, open] : rows) {
        ChooseMode(mode);
        Retype(AdditionBox(), "0");
        QTest::mouseClick(AddButton(), Qt::LeftButton);
        ASSERT_TRUE(dlg_->Entry().AdditionPending()) << int(mode) << open;
        if (open) {
            ASSERT_TRUE(Frame().OpenFile(emptyFile));
        } else {
            Frame().Action(Command::FileNew)->trigger();
        }
        if (mode == RecordMode::Manual) {
            Retype(ValueBox(), "7");
        } else {
            for (int i = 0; i < 35; ++i) {
                Tick();
            }
        }
        if (RecordButton()->isEnabled()) {
            QTest::mouseClick(RecordButton(), Qt::LeftButton);
        }
        EXPECT_EQ(state_.record.pointCount, 0) << int(mode) << open;
        EXPECT_EQ(List()->topLevelItemCount(), 0) << int(mode) << open;
        EXPECT_FALSE(dlg_->Entry().AdditionPending()) << int(mode) << open;
        EXPECT_FALSE(dlg_->AcquisitionTimer().isActive()) << int(mode) << open;
        EXPECT_TRUE(AddButton()->isEnabled()) << int(mode) << open;
    }
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(EntryDlgTest, TwoFailedTicksAskOnceAndNoGoesOnByHand) {
    NewRecord(state_);
    Open();
    ChooseMode(RecordMode::Instrument);
    AdditionBox()->setFocus();
    Type("1");
    QTest::mouseClick(AddButton(), Qt::LeftButton);
    Tick();
    const QString reading = ValueBox()->text();
    port_->present = false;  // the adapter is pulled out
    prompter_.answers = {Answer::No};
    prompter_.whileOpen = [&](const Message&) { Tick(); };
    Tick();
    Tick();
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Ошибка COM порта\r\nПродолжить работу с прибором?");
    EXPECT_EQ(prompter_.messages[0].owner, "entry");
    EXPECT_EQ(Criteria()->currentIndex(), 0);
    EXPECT_FALSE(dlg_->AcquisitionTimer().isActive());
    EXPECT_FALSE(ValueBox()->isReadOnly());
    EXPECT_EQ(ValueBox()->text(), reading);
    QTest::mouseClick(RecordButton(), Qt::LeftButton);
    EXPECT_EQ(state_.record.pointCount, 1);
}

TEST_F(EntryDlgTest, NonsenseInTheBoxesIsRefusedOrReadAsItsLeadingNumber) {
    NewRecord(state_);
    Open();
    const QString pasted = QString("много текста ").repeated(2000);
    for (const QString& text : {QString("abc"), QString(), pasted}) {
        prompter_.messages.clear();
        AdditionBox()->setFocus();
        AdditionBox()->selectAll();
        QTest::keyClick(AdditionBox(), Qt::Key_Delete);
        AdditionBox()->insert(text);  // as a paste does
        QTest::mouseClick(AddButton(), Qt::LeftButton);
        // A first point may be at 0; so these are accepted as volume 0.
        EXPECT_TRUE(prompter_.messages.empty());
        QTest::mouseClick(RecordButton(), Qt::LeftButton);  // nothing typed
        EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Неверное значение"});
        ValueBox()->setFocus();
        QTest::keyClicks(ValueBox(), "1e999");
        QTest::mouseClick(RecordButton(), Qt::LeftButton);
        NewRecord(state_);
    }
    ChooseMode(RecordMode::Timer);
    CriterionBox()->setFocus();
    CriterionBox()->selectAll();
    CriterionBox()->insert("бред");
    prompter_.messages.clear();
    AdditionBox()->setFocus();  // leaving the box checks it
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Неверное значение"});
    EXPECT_EQ(CriterionBox()->text(), "30.");
    EXPECT_EQ(state_.acquisition.timerSeconds, 30.0);
}

TEST_F(EntryDlgTest, TheLayoutIsInPixelsAndIsSavedOnResizeAndFocus) {
    Record({1, 2});
    Open();
    const auto at = [](QWidget* w) { return w->geometry(); };
    dlg_->resize(800, 600);
    EXPECT_EQ(at(List()), QRect(10, 20, 580, 570));
    EXPECT_EQ(at(dlg_->findChildren<QGroupBox*>()[0]), QRect(600, 10, 190, 110));
    EXPECT_EQ(at(CriterionBox()), QRect(610, 80, 170, 25));
    EXPECT_EQ(at(AdditionBox()), QRect(610, 210, 170, 25));
    EXPECT_EQ(at(RecordButton()), QRect(610, 360, 170, 25));
    EXPECT_EQ(at(Calculate()), QRect(610, 565, 170, 25));
    // The window's outer size is saved.
    const QSize outer = dlg_->frameGeometry().size();
    EXPECT_GE(outer.width(), 800);
    EXPECT_EQ(std::tie(state_.entryLayout.layoutSaved, state_.entryLayout.width,
                       state_.entryLayout.height),
              std::make_tuple(1, outer.width(), outer.height()));
    // Small windows keep the controls where a 400 x 300 one has them.
    dlg_->resize(350, 250);
    EXPECT_EQ(at(List()), QRect(10, 20, 180, 430));
    EXPECT_EQ(at(Calculate()), QRect(210, 415, 170, 25));
    EXPECT_EQ(std::tie(state_.entryLayout.width, state_.entryLayout.height),
              std::make_tuple(500, 500));

    // Column widths are saved when the list is left, at least 10 each.
    dlg_->resize(900, 700);
    List()->header()->setMinimumSectionSize(0);
    List()->setColumnWidth(0, 3);
    List()->setColumnWidth(2, 150);
    List()->setFocus();
    AdditionBox()->setFocus();
    EXPECT_EQ(state_.entryLayout.columnWidth[0], 10);
    EXPECT_EQ(state_.entryLayout.columnWidth[2], 150);
    // The next showing restores what was saved.
    dlg_->hide();
    dlg_->resize(640, 480);
    dlg_->show();
    EXPECT_EQ(dlg_->size(), QSize(900, 700));
    EXPECT_EQ(List()->columnWidth(2), 150);
    // Minimising saves nothing: the window has no size of its own then.
    const EntryDialogLayout before = state_.entryLayout;
    dlg_->showMinimized();
    EXPECT_EQ(std::tie(state_.entryLayout.width, state_.entryLayout.height),
              std::tie(before.width, before.height));
}

// Minimised and brought back, hidden and shown: the window keeps the size the
// user gave it, and so does kelm.cfg, never the least size of 500 x 500.
TEST_F(EntryDlgTest, MinimisingRestoringHidingAndShowingKeepTheSize) {
    using Step = std::function<void(CTitrationEntryDlg&)>;
    const Step minimise = [](CTitrationEntryDlg& d) { d.showMinimized(); };
    const Step restore = [](CTitrationEntryDlg& d) { d.showNormal(); };
    const Step hide = [](CTitrationEntryDlg& d) { d.hide(); };
    const Step show = [](CTitrationEntryDlg& d) { d.show(); };
    const Step command = [this](CTitrationEntryDlg&) { Frame().Action(Command::Entry)->trigger(); };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"minimise, restore", {minimise, restore}},
        {"minimise, restore, hide, show", {minimise, restore, hide, show}},
        {"minimise, restore, hide, the menu command", {minimise, restore, hide, command}},
        {"minimise, the menu command", {minimise, command}},
        {"minimise, hide, the menu command", {minimise, hide, command}},
        {"minimise, hide, show, hide, show", {minimise, hide, show, hide, show}},
        {"minimised at exit", {minimise}},
    };
    NewRecord(state_);
    Open();
    const QSize sizes[] = {{820, 640}, {700, 560}};
    int round = 0;
    for (const Case& c : cases) {
        const QSize wanted = sizes[round++ % 2];
        dlg_->showNormal();
        dlg_->resize(wanted);
        const QSize outer = dlg_->frameGeometry().size();
        for (const Step& step : c.steps) {
            step(*dlg_);
        }
        if (!dlg_->isMinimized()) {
            EXPECT_EQ(dlg_->size(), wanted) << c.what;
        }
        EXPECT_EQ(QSize(state_.entryLayout.width, state_.entryLayout.height), outer) << c.what;
        app_->Exit();  // writes kelm.cfg as the program's exit does
        SharedState written;
        ASSERT_EQ(LoadSettings(written, Path("kelm.cfg").toStdString()), 0) << c.what;
        EXPECT_EQ(QSize(written.entryLayout.width, written.entryLayout.height), outer) << c.what;
        EXPECT_EQ(written.entryLayout.layoutSaved, 1) << c.what;
    }
}

TEST_F(EntryDlgTest, TheSelectedRowIsMarkedOnTheGraph) {
    Record({100, 110, 130, 160});
    Open();
    EXPECT_EQ(state_.record.selectedPoint, -1);
    const int before = redraws_;
    const QRect row2 = List()->visualItemRect(List()->topLevelItem(2));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row2.center());
    EXPECT_EQ(state_.record.selectedPoint, 2);
    EXPECT_EQ(redraws_, before + 1);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row2.center());
    EXPECT_EQ(redraws_, before + 1);  // unchanged: no redraw
    List()->clearSelection();
    EXPECT_EQ(state_.record.selectedPoint, -1);
    EXPECT_EQ(redraws_, before + 2);
}

TEST_F(EntryDlgTest, ARecordedPointIsListedRedrawnAndCountedByTheProcessingDialog) {
    Record({100, 110});
    app_->Dialogs().ShowProcessing();
    Open();
    events_.clear();
    AdditionBox()->setFocus();
    Type("1");
    QTest::mouseClick(AddButton(), Qt::LeftButton);
    ValueBox()->setFocus();
    Type("125");
    QTest::mouseClick(RecordButton(), Qt::LeftButton);
    EXPECT_EQ(events_, (std::vector<std::string>{"redraw", "refresh"}));
    EXPECT_EQ(Row(2), QStringList({"3.", "125.", "15."}));
    EXPECT_TRUE(ValueBox()->text().isEmpty());
    EXPECT_FALSE(ValueBox()->isEnabled());
}

TEST_F(EntryDlgTest, CalculateRunsTheProcessingOwnedByTheWindow) {
    NewRecord(state_);
    state_.record.pointCount = 21;
    for (int i = 0; i < 21; ++i) {
        state_.record.points[i] = {double(i), 300.0 * std::tanh(i - 10.0)};
    }
    Open();
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(state_.curve.curveProcessed, 1);
    ASSERT_GE(state_.curve.equivalencePointCount, 1);
    EXPECT_NEAR(state_.curve.equivalencePoints[0].volume, 10.0, 0.1);
}

TEST_F(EntryDlgTest, AChangeOfSeparatorRewritesTheNumbersShown) {
    Record({100.25, 110.5});
    state_.acquisition.recordMode = RecordMode::Drift;
    state_.acquisition.driftLimit = 0.5;
    Open();
    AdditionBox()->setFocus();
    Type("1,25");
    QTest::mouseClick(AddButton(), Qt::LeftButton);
    Tick();
    EXPECT_EQ(Row(1), QStringList({"2.", "110.5", "10.25"}));
    EXPECT_EQ(CriterionBox()->text(), "0.5");
    EXPECT_EQ(AdditionBox()->text(), "1.25");
    const QString reading = ValueBox()->text();
    EXPECT_TRUE(reading.contains('.'));
    Frame().Action(Command::SeparatorComma)->trigger();
    EXPECT_EQ(Row(1), QStringList({"2,", "110,5", "10,25"}));
    EXPECT_EQ(CriterionBox()->text(), "0,5");
    EXPECT_EQ(AdditionBox()->text(), "1,25");
    EXPECT_EQ(ValueBox()->text(), QString(reading).replace('.', ','));
}

}  // namespace
}  // namespace kelm::test
