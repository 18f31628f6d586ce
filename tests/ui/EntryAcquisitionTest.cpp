// A whole titration recorded through the entry window and the real serial
// port code, against the simulator on a pseudo-terminal: points taken by the
// timer and by the drift rule, a run of failed ticks that asks once, and the
// processed curve's equivalence volume against the simulated chemistry.
#include <cmath>
#include <memory>
#include <string>

#include "Chemistry.h"
#include "EntryWindowTest.h"
#include "PtySimulator.h"

namespace kelm::test {
namespace {

constexpr double kStepMl = 1.0;

class EntryOverTheWire : public EntryWindowTest {
protected:
    void SetUp() override {
        EntryWindowTest::SetUp();
        sim::InstrumentConfig config;
        config.pace = false;           // fast; the pacing is the link tests' business
        config.timeConstantS = 0.001;  // settles between two ticks of real time
        simulator_ = std::make_unique<sim::PtySimulator>(config, sample_);
        std::string error;
        ASSERT_TRUE(simulator_->Start(error)) << error;
        const std::string device = simulator_->DevicePath();
        services_.portMap = [device] { return PortMap::Parse("COM1=" + device + "\n"); };
        StartEntry();  // the program's own serial port
        Open();
    }

    // The chemist pours titrant in and tells the window, which then waits
    // for its reading.
    void AddTitrant(const char* ml, double totalMl) {
        Retype(AdditionBox(), ml);
        QTest::mouseClick(AddButton(), Qt::LeftButton);
        ASSERT_TRUE(dlg_->Entry().AdditionPending()) << totalMl;
        simulator_->With(
            [&](sim::Instrument& meter, double now) { meter.SetVolume(totalMl, now); });
    }

    void Fault(sim::Fault fault) {
        simulator_->With([&](sim::Instrument& meter, double) { meter.Config().fault = fault; });
    }

    sim::SampleConfig sample_;  // 20 mL of 0.1 M acid, 0.1 M sodium hydroxide
    std::unique_ptr<sim::PtySimulator> simulator_;
};

TEST_F(EntryOverTheWire, ATitrationRecordedByTimerAndDriftFindsTheChemistrysEquivalence) {
    const sim::Chemistry chemistry(sample_);
    NewRecord(state_);
    // Up to 15 mL a point every 5 s.
    ChooseMode(RecordMode::Timer);
    Retype(CriterionBox(), "5");
    AdditionBox()->setFocus();  // leaving the box keeps the value
    ASSERT_EQ(state_.acquisition.timerSeconds, 5.0);
    for (int i = 0; i <= 15; ++i) {
        AddTitrant(i == 0 ? "0" : "1", i * kStepMl);
        ASSERT_EQ(TickUntilRecorded(20), 5) << i;
    }
    EXPECT_NEAR(state_.record.points[10].value, chemistry.Emf(10), 1.0);

    // Near the end point the drift decides.
    ChooseMode(RecordMode::Drift);
    for (int i = 16; i <= 30; ++i) {
        AddTitrant("1,0", i * kStepMl);
        if (i == 20) {
            // The meter falls silent: one tick says nothing, the second asks,
            // and ticks while the question is open ask nothing more.
            Fault(sim::Fault::Silent);
            prompter_.answers = {Answer::Yes};
            prompter_.whileOpen = [&](const Message&) {
                Tick();
                Tick();
                Fault(sim::Fault::None);
            };
            Tick();
            EXPECT_TRUE(prompter_.messages.empty());
            Tick();
            prompter_.whileOpen = nullptr;
            ASSERT_EQ(prompter_.messages.size(), 1u);
            EXPECT_EQ(prompter_.messages[0].text, "Нет связи\r\nПродолжить работу с прибором?");
            EXPECT_EQ(prompter_.messages[0].owner, "entry");
        }
        const int ticks = TickUntilRecorded(100);
        ASSERT_GE(ticks, 27) << i;  // 30 valid ticks, some of them already given
    }
    ASSERT_EQ(state_.record.pointCount, 31);
    EXPECT_EQ(List()->topLevelItemCount(), 31);
    EXPECT_DOUBLE_EQ(state_.record.points[30].volume, 30.0);
    EXPECT_NEAR(state_.record.points[25].value, chemistry.Emf(25), 1.0);
    EXPECT_EQ(prompter_.messages.size(), 1u);

    // "Расчёт": the steepest point found is the chemistry's, within one step.
    QTest::mouseClick(Calculate(), Qt::LeftButton);
    ASSERT_EQ(state_.curve.curveProcessed, 1);
    ASSERT_GE(state_.curve.equivalencePointCount, 1);
    const EquivalencePoint* steepest = &state_.curve.equivalencePoints[0];
    for (int k = 1; k < state_.curve.equivalencePointCount; ++k) {
        const EquivalencePoint& e = state_.curve.equivalencePoints[k];
        if (std::fabs(e.derivative) > std::fabs(steepest->derivative)) {
            steepest = &e;
        }
    }
    const double expected = sample_.analyteMolar * sample_.sampleMl / sample_.titrantMolar;
    EXPECT_NEAR(steepest->volume, expected, kStepMl);
}

}  // namespace
}  // namespace kelm::test
