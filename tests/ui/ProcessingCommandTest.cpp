// The processing run as the dialogs start it: which message, owned by which
// window, and in what order the results are published.
#include <cmath>

#include "AppTest.h"
#include "StandInDialogs.h"
#include "processing/Processing.h"

namespace kelm::test {
namespace {

class ProcessingCommandTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start([this](DialogHost& host) { host.Register(dialogs_.Factories(state_)); });
        events_.clear();
        prompter_.messages.clear();
    }

    // A titration jump at 10 mL, `count` points 1 mL apart.
    void RecordJump(int count) {
        state_.record.pointCount = count;
        for (int i = 0; i < count; ++i) {
            state_.record.points[i] = {double(i), 300.0 * std::tanh(i - 10.0)};
        }
    }
    // A constant value: the derivative has no extremum to find.
    void RecordFlat(int count) {
        state_.record.pointCount = count;
        for (int i = 0; i < count; ++i) {
            state_.record.points[i] = {double(i + 1), 4.0};
        }
        state_.processing.filterStrength = 0;
    }

    CWorkDlg& OpenEntry() {
        CWorkDlg* entry = app_->Dialogs().ShowEntry();
        EXPECT_NE(entry, nullptr);
        return *entry;
    }

    StandIns dialogs_{events_};
};

TEST_F(ProcessingCommandTest, TooFewPointsAreToldByTheOwnerAndChangeNothing) {
    RecordJump(2);
    EXPECT_EQ(app_->Processing().RunProcessing(&OpenEntry()), kTooFewPoints);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const Message& m = prompter_.messages[0];
    EXPECT_EQ(std::tie(m.kind, m.caption, m.text, m.owner),
              std::tie("inform", "Информация", "Недостаточно данных для расчёта", "entry"));
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(dialogs_.results, nullptr);
    EXPECT_EQ(state_.curve.curveProcessed, 0);
}

TEST_F(ProcessingCommandTest, NoPointFoundRefreshesThePointCountFirstAndPublishesNothing) {
    app_->Dialogs().ShowProcessing();
    RecordFlat(6);
    state_.processing.criterion = EndPointCriterion::DerivativeExtremum;
    // While the box is open the processing dialog already shows the grid used.
    std::vector<int> refreshedWhileOpen;
    prompter_.whileOpen = [&](const Message&) {
        refreshedWhileOpen = dialogs_.processing->refreshed;
    };
    EXPECT_EQ(app_->Processing().RunProcessing(&OpenEntry()), kNoPointFound);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const Message& m = prompter_.messages[0];
    EXPECT_EQ(std::tie(m.kind, m.caption, m.text, m.owner),
              std::tie("inform", "Информация", "Точка не обнаружена", "entry"));
    EXPECT_EQ(refreshedWhileOpen, std::vector{30});
    EXPECT_EQ(events_, std::vector<std::string>{"refresh"});
    EXPECT_EQ(dialogs_.results, nullptr);
    EXPECT_EQ(state_.curve.curveProcessed, 0);
}

TEST_F(ProcessingCommandTest, ACompletedRunRedrawsThenShowsTheResultsWithTheNewPoints) {
    app_->Dialogs().ShowProcessing();
    RecordJump(21);
    EXPECT_EQ(app_->Processing().RunProcessing(&OpenEntry()), kProcessingDone);
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_EQ(events_, (std::vector<std::string>{"refresh", "redraw", "fill"}));
    EXPECT_EQ(dialogs_.processing->refreshed, std::vector{105});
    ASSERT_NE(dialogs_.results, nullptr);
    EXPECT_TRUE(state_.resultsDialogCreated);
    EXPECT_EQ(dialogs_.results->fills, std::vector{ReportMode::EquivalencePoints});
    EXPECT_EQ(dialogs_.results->visibleWhenFilled, std::vector{true});
    EXPECT_EQ(dialogs_.results->pointsSeen, std::vector{1});
    EXPECT_EQ(state_.curve.curveProcessed, 1);

    // A later run brings a hidden results window back.
    dialogs_.results->hide();
    app_->Processing().RunProcessing(dialogs_.entry);
    EXPECT_TRUE(dialogs_.results->isVisible());
    EXPECT_EQ(dialogs_.made, 3);
}

TEST_F(ProcessingCommandTest, ARequestWithTwoPointsDoesNothingAtAll) {
    for (int count : {-1, 0, 2}) {
        RecordJump(std::max(count, 0));
        state_.record.pointCount = count;
        app_->Processing().RequestProcessing(app_->Dialogs().ShowProcessing());
        EXPECT_TRUE(prompter_.messages.empty()) << count;
        EXPECT_EQ(dialogs_.entry, nullptr) << count;
        EXPECT_FALSE(state_.entryDialogCreated) << count;
        EXPECT_EQ(dialogs_.results, nullptr) << count;
    }
}

TEST_F(ProcessingCommandTest, ARequestWithThreePointsShowsTheEntryDialogAndRunsOwnedByIt) {
    CProcessingDlgBase* processing = app_->Dialogs().ShowProcessing();
    RecordFlat(3);
    app_->Processing().RequestProcessing(processing);
    ASSERT_NE(dialogs_.entry, nullptr);
    EXPECT_TRUE(state_.entryDialogCreated);
    EXPECT_TRUE(dialogs_.entry->isVisible());
    EXPECT_EQ(dialogs_.entry->parentWidget(), &Frame());
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, "Точка не обнаружена");
    EXPECT_EQ(prompter_.messages[0].owner, "entry");

    // A hidden entry dialog comes back for the next request, and a run that
    // completes shows the results.
    dialogs_.entry->hide();
    RecordJump(21);
    app_->Processing().RequestProcessing(processing);
    EXPECT_TRUE(dialogs_.entry->isVisible());
    ASSERT_NE(dialogs_.results, nullptr);
    EXPECT_EQ(dialogs_.results->fills, std::vector{ReportMode::EquivalencePoints});
}

TEST_F(ProcessingCommandTest, WithoutAnEntryDialogTheRequesterOwnsTheRun) {
    DialogFactories f = dialogs_.Factories(state_);
    f.entry = nullptr;
    app_->Dialogs().Register(f);
    CProcessingDlgBase* processing = app_->Dialogs().ShowProcessing();
    RecordFlat(4);
    app_->Processing().RequestProcessing(processing);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].owner, "processing");
    EXPECT_FALSE(state_.entryDialogCreated);
}

}  // namespace
}  // namespace kelm::test
