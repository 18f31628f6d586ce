// The reading a tick takes: which requests go out for each quantity and how a
// failure of either is reported, against the simulator's meter in process.
#include <gtest/gtest.h>

#include "Instrument.h"
#include "acquisition/TickReading.h"
#include "link/InstrumentLink.h"
#include "support/InstrumentPort.h"

namespace kelm {
namespace {

class TickReadingTest : public ::testing::Test {
protected:
    TickReadingTest() : meter_(test::QuietMeter(), sim::SampleConfig{}) {}

    TickReading Read(MeasuredQuantity quantity) {
        LinkSettings settings;
        settings.codeR = QuantityCodeR(quantity);
        return ReadTick(link_, settings, quantity);
    }

    sim::Instrument meter_;
    test::InstrumentPort port_{meter_, [] { return 100.0; }};
    InstrumentLink link_{port_, PortMap::Parse("COM1=/dev/sim-meter\n")};
};

TEST_F(TickReadingTest, AnEmfRecordAsksOnceAndTheReadingIsItsEmf) {
    const TickReading tick = Read(MeasuredQuantity::Emf);
    EXPECT_TRUE(tick.Valid());
    EXPECT_EQ(port_.requests, 1);
    EXPECT_DOUBLE_EQ(tick.emf, tick.value);
    EXPECT_NEAR(tick.value, 6 * 59.16, 1.0);  // 0.1 M strong acid, pH 1
}

TEST_F(TickReadingTest, OtherQuantitiesReadTheChannelsEmfToo) {
    const TickReading tick = Read(MeasuredQuantity::Ph);
    EXPECT_TRUE(tick.Valid());
    EXPECT_EQ(port_.requests, 2);
    EXPECT_NEAR(tick.value, 1.0, 0.01);
    EXPECT_NEAR(tick.emf, 6 * 59.16, 1.0);
}

TEST_F(TickReadingTest, FailuresCarryTheirCodeAndTheEmfIsNotAskedAfterAFailedValue) {
    meter_.Config().calibrated = false;  // pH answers "data not ready"
    TickReading tick = Read(MeasuredQuantity::Ph);
    EXPECT_FALSE(tick.Valid());
    EXPECT_EQ(tick.Failure(), result::kNotReady);
    EXPECT_EQ(tick.emfCode, result::kNotReady);
    EXPECT_EQ(port_.requests, 1);

    meter_.Config().fault = sim::Fault::Silent;
    EXPECT_EQ(Read(MeasuredQuantity::Emf).Failure(), result::kNoReply);

    port_.present = false;
    EXPECT_EQ(Read(MeasuredQuantity::Emf).Failure(), result::kPortNotOpened);
}

}  // namespace
}  // namespace kelm
