// Unsaved titrations in the window: kept through New, Open and exit, offered
// once at the next start, recovered as a record without a file, ended by a save.
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>

#include "AppTest.h"
#include "core/Cp1251.h"
#include "core/Journal.h"
#include "ui/CTitrationParamsDlg.h"
#include "ui/JournalTexts.h"

namespace kelm::test {
namespace {

class JournalRecovery : public AppTest {
protected:
    // Starts the program as `kelm` alone does and lets the start-up offer run.
    void StartAndSettle(QStringList words = {}) {
        Start({}, std::move(words));
        QCoreApplication::processEvents();
    }
    // Points as the entry dialog records them.
    void Record(int count) {
        for (int i = 0; i < count; ++i) {
            const int n = PointCount(state_.record);
            state_.record.points[n] = {0.25 * n, 150.0 + n};
            state_.record.pointCount = n + 1;
            RecordChanged(state_);
        }
    }
    void Restart(QStringList words = {}) {
        app_->Exit();
        app_.reset();
        prompter_.messages.clear();
        StartAndSettle(std::move(words));
    }
    std::size_t EntriesOnDisk() const { return Journal(JournalFolder()).Entries().size(); }
};

TEST_F(JournalRecovery, ARecordLeftByNewIsOfferedAtTheNextStartAndRecoveredUntitled) {
    StartAndSettle();
    EXPECT_TRUE(prompter_.messages.empty());  // nothing to offer
    Record(12);
    const std::array<CurvePoint, kPointCapacity> points = state_.record.points;
    Frame().Action(Command::FileNew)->trigger();  // no question: the journal has it
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(EntriesOnDisk(), 1u);

    prompter_.answers = {Answer::Yes};
    Restart();
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const Message& offer = prompter_.messages[0];
    EXPECT_EQ(offer.caption, "Kelm");
    EXPECT_EQ(offer.kind, "ask");
    EXPECT_EQ(offer.defaultAnswer, Answer::Yes);
    EXPECT_EQ(offer.text.rfind("Найдена несохранённая титрация: ", 0), 0u) << offer.text;
    EXPECT_NE(offer.text.find("12 точек"), std::string::npos);
    EXPECT_NE(offer.text.find("хранятся в журнале"), std::string::npos);
    EXPECT_EQ(state_.record.pointCount, 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_DOUBLE_EQ(state_.record.points[i].volume, points[i].volume) << i;
        EXPECT_DOUBLE_EQ(state_.record.points[i].value, points[i].value) << i;
    }
    EXPECT_TRUE(app_->Doc().Path().isEmpty());
    EXPECT_EQ(Frame().windowTitle(), "Безымянный - Kelm");

    // Changes go on into the same entry; saving where the user says ends it.
    Record(1);
    EXPECT_EQ(EntriesOnDisk(), 0u);  // held by this program
    ASSERT_TRUE(app_->Doc().SaveTo(Path("saved.kel")));
    app_->UnsavedJournal().EndReplaced();
    EXPECT_EQ(EntriesOnDisk(), 0u);
}

TEST_F(JournalRecovery, DecliningKeepsTheEntriesForTheFileMenu) {
    StartAndSettle();
    Record(3);
    app_->Exit();
    app_.reset();
    prompter_.answers = {Answer::No};
    StartAndSettle();
    EXPECT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(PointCount(state_.record), 0);
    EXPECT_EQ(EntriesOnDisk(), 1u);

    QMenu* unsaved = Frame().UnsavedMenu();
    emit unsaved->aboutToShow();
    ASSERT_EQ(unsaved->actions().size(), 1);
    EXPECT_TRUE(unsaved->actions()[0]->text().contains("3 точки"));
    unsaved->actions()[0]->trigger();
    EXPECT_EQ(state_.record.pointCount, 3);
    EXPECT_TRUE(app_->Doc().Path().isEmpty());
}

TEST_F(JournalRecovery, OpeningAFileKeepsTheRecordItReplacesAndAFileOnTheCommandLineAsksNothing) {
    StartAndSettle();
    Record(4);
    const QString file = WriteRecord("other.kel", 6);
    ASSERT_TRUE(Frame().OpenFile(file));
    EXPECT_EQ(EntriesOnDisk(), 1u);
    // An opened file that is only looked at needs no entry.
    EXPECT_FALSE(app_->UnsavedJournal().HasCurrentEntry());
    Restart({file});
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(state_.record.pointCount, 6);
}

TEST_F(JournalRecovery, AJournalThatCannotBeWrittenSaysSoOnceAndKeepsWorking) {
    WriteFile(Path("journal"), "not a folder");
    StartAndSettle();
    QLabel* trouble = Frame().JournalTroubleLabel();
    EXPECT_TRUE(trouble->isHidden());
    Record(5);
    EXPECT_FALSE(trouble->isHidden());
    EXPECT_TRUE(trouble->text().startsWith("Журнал несохранённых титраций не записывается"));
    EXPECT_EQ(state_.record.pointCount, 5);
    EXPECT_TRUE(prompter_.messages.empty());  // no box in the middle of a titration
}

// The warning takes the place of "Готово" for as long as the journal fails:
// a prompt may cover it for a while, never the two drawn one over the other.
TEST_F(JournalRecovery, TheJournalWarningStaysInSightUntilWritingWorksAgain) {
    StartAndSettle();
    QStatusBar* bar = Frame().statusBar();
    QLabel* trouble = Frame().JournalTroubleLabel();
    const QString prompt = "Создание нового документа";
    const auto hover = [&](const QString& tip) {
        QStatusTipEvent event(tip);
        QCoreApplication::sendEvent(&Frame(), &event);
    };
    // A file where the journal's folder belongs stops every write.
    const auto fail = [&] {
        WriteFile(Path("journal"), "not a folder");
        Record(1);
    };
    const auto mend = [&] {
        QFile::remove(Path("journal"));
        Record(1);
    };
    const QByteArray kept = JournalKeptLine().toUtf8();
    struct Step {
        const char* what;
        std::function<void()> act;
        bool warning;         // the red line is drawn
        const char* message;  // the message pane's text
    };
    const Step steps[] = {
        {"start", [] {}, false, "Готово"},
        {"a prompt", [&] { hover(prompt); }, false, "Создание нового документа"},
        {"fails under the prompt", fail, false, "Создание нового документа"},
        {"the prompt ends", [&] { hover({}); }, true, ""},
        {"another prompt", [&] { hover(prompt); }, false, "Создание нового документа"},
        {"it ends too", [&] { hover({}); }, true, ""},
        {"a message with a time-out", [&] { bar->showMessage("x", 5); }, false, "x"},
        {"its time is up", [&] { QTest::qWait(50); }, true, ""},
        {"still failing", [&] { Record(1); }, true, ""},
        {"writing works", mend, false, kept.constData()},
        {"the kept-line ends", [&] { bar->clearMessage(); }, false, "Готово"},
        {"a prompt over Готово", [&] { hover(prompt); }, false, "Создание нового документа"},
        {"and away", [&] { hover({}); }, false, "Готово"},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(trouble->isVisible(), step.warning) << step.what;
        if (*step.message != '\0' || step.warning) {
            EXPECT_EQ(bar->currentMessage(), QString::fromUtf8(step.message)) << step.what;
        }
        // Never the two at once: a shown message hides the bar's widgets.
        EXPECT_FALSE(trouble->isVisible() && !bar->currentMessage().isEmpty()) << step.what;
        if (step.warning) {
            EXPECT_TRUE(trouble->text().startsWith("Журнал несохранённых титраций")) << step.what;
            EXPECT_LT(trouble->geometry().left(), 20) << step.what;
            EXPECT_GT(trouble->width(), trouble->fontMetrics().horizontalAdvance("Журнал"))
                << step.what;
        }
    }
    EXPECT_EQ(state_.record.pointCount, 3);
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(JournalRecovery, TheEntryFollowsTheDescriptionAndARunsResults) {
    StartAndSettle();
    // A jump at 10 mL, so that the run finds its point.
    for (int i = 0; i < 21; ++i) {
        state_.record.points[i] = {double(i), 300.0 * std::tanh(i - 10.0)};
    }
    state_.record.pointCount = 21;
    RecordChanged(state_);
    const std::filesystem::path entry = app_->UnsavedJournal().CurrentEntry();
    ASSERT_FALSE(entry.empty());

    {
        CTitrationParamsDlg params(app_->Context(), &Frame());
        params.show();
        QApplication::setActiveWindow(&params);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&params));
        params.DescriptionBox()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(params.DescriptionBox(), "HCl 0.1");
        params.ChannelBox()->setFocus(Qt::TabFocusReason);
    }
    EXPECT_EQ(ReadFile(QString::fromStdString(entry.string())).rfind("HCl 0.1\r\n", 0), 0u);

    app_->Processing().RunProcessing(&Frame());
    EXPECT_NE(ReadFile(QString::fromStdString(entry.string()))
                  .find(Utf8ToCp1251("Количество точек эквивалентности: 1")),
              std::string::npos);
}

TEST(JournalTexts, CountPointsInRussian) {
    const std::pair<int, const char*> rows[] = {
        {1, "1 точка"},     {2, "2 точки"},    {4, "4 точки"},   {5, "5 точек"},
        {11, "11 точек"},   {12, "12 точек"},  {21, "21 точка"}, {22, "22 точки"},
        {111, "111 точек"}, {255, "255 точек"}};
    for (const auto& [count, text] : rows) {
        EXPECT_EQ(PointsText(count), QString::fromUtf8(text)) << count;
    }
}

}  // namespace
}  // namespace kelm::test
