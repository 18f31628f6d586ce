// The simulator's chemistry and framing: it must behave like a sample and a
// meter, or the acquisition it serves would be tested against nonsense.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "Chemistry.h"
#include "Instrument.h"
#include "PtySimulator.h"
#include "link/Protocol.h"

namespace kelm::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Chemistry, StrongAcidWithStrongBase) {
    const Chemistry c(SampleConfig{});  // 20 mL of 0.1 M acid, 0.1 M NaOH
    EXPECT_NEAR(c.Ph(0), 1.0, 1e-3);
    EXPECT_NEAR(c.Ph(10), -std::log10(0.1 * 10 / 30), 1e-3);
    EXPECT_NEAR(c.Ph(20), 7.0, 1e-2);
    EXPECT_NEAR(c.Ph(40), 14 + std::log10(0.1 * 20 / 60), 1e-3);
    EXPECT_NEAR(c.Emf(20), 0.0, 1.0);
    EXPECT_NEAR(c.Emf(0), 6 * c.NernstSlope(), 0.1);
    // Conductivity falls to its least at the equivalence point.
    EXPECT_LT(c.Conductivity(20), c.Conductivity(19));
    EXPECT_LT(c.Conductivity(20), c.Conductivity(21));
    EXPECT_NEAR(c.Conductivity(0), 0.1 * (349.8 + 76.3), 0.1);
}

TEST(Chemistry, WeakAcidBuffersAtItsPka) {
    SampleConfig s;
    s.pKa = 4.76;
    const Chemistry c(s);
    EXPECT_NEAR(c.Ph(10), 4.76, 0.01);
    EXPECT_NEAR(c.Ph(0), 2.88, 0.01);
    EXPECT_GT(c.Ph(20), 8.5);
}

TEST(Chemistry, IronWithCerium) {
    SampleConfig s;
    s.reaction = Reaction::Redox;
    const Chemistry c(s);
    EXPECT_NEAR(c.Emf(10), 771 - 197, 0.5);
    EXPECT_NEAR(c.Emf(20), (771 + 1440) / 2.0 - 197, 2.0);
    EXPECT_NEAR(c.Emf(40), 1440 - 197, 0.5);
    EXPECT_LT(c.Conductivity(10), 0);
}

TEST(Instrument, ElectrodeSettlesWithItsTimeConstant) {
    InstrumentConfig config;
    config.noiseMv = 0;
    Instrument meter(config, SampleConfig{});
    const Chemistry c(SampleConfig{});
    meter.Advance(0);
    meter.SetVolume(20, 0);
    meter.Advance(5);  // one time constant
    const double start = c.Emf(0), target = c.Emf(20);
    EXPECT_NEAR(meter.ReadEmf(), target + (start - target) * std::exp(-1.0), 0.01);
    EXPECT_FALSE(meter.Settled());
    meter.Advance(200);
    EXPECT_TRUE(meter.Settled());
}

Bytes Request(int address, int z, int r) {
    Bytes frame(8);
    BuildRequest(frame, address, 0x10, z, r, {});
    return frame;
}

TEST(Instrument, AnswersOnlyItsOwnWellFormedRequests) {
    InstrumentConfig config;
    config.networkNumber = 5;
    config.calibrated = false;
    Instrument meter(config, SampleConfig{});
    EXPECT_TRUE(meter.Answer(Request(4, 0x10, 0x10), 0).empty());
    Bytes damaged = Request(5, 0x10, 0x10);
    damaged.back() ^= 1;
    EXPECT_TRUE(meter.Answer(damaged, 0).empty());

    const Bytes emf = meter.Answer(Request(5, 0x10, 0x10), 0);
    EXPECT_EQ(CheckReply(emf, 5, 0x10, 0x10), result::kOk);
    EXPECT_EQ(emf.size(), 13u);
    EXPECT_EQ(CheckReply(meter.Answer(Request(5, 0x10, 0x30), 0), 5, 0x10, 0x30),
              result::kNotReady);
    EXPECT_EQ(CheckReply(meter.Answer(Request(5, 0x11, 0x10), 0), 5, 0x11, 0x10),
              result::kNoParameter);
    meter.Config().errorCode = 255;
    EXPECT_EQ(CheckReply(meter.Answer(Request(5, 0x10, 0x10), 0), 5, 0x10, 0x10),
              result::kInstrumentFault);
}

TEST(FrameAssembler, FindsFramesAmongNoiseAndAcrossReads) {
    FrameAssembler assembler;
    const Bytes a = Request(1, 0x10, 0x10);
    Bytes stream = {0xFF, 0x12};
    stream.insert(stream.end(), a.begin(), a.begin() + 5);
    EXPECT_TRUE(assembler.Feed(stream, 0.0).empty());
    const Bytes rest(a.begin() + 5, a.end());
    const auto frames = assembler.Feed(rest, 0.01);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], a);
    // A partial frame left for too long is forgotten.
    EXPECT_TRUE(assembler.Feed(Bytes(a.begin(), a.begin() + 3), 1.0).empty());
    EXPECT_EQ(assembler.Feed(a, 2.0).size(), 1u);
}

TEST(ReadingSessions, EachReadingAfterAPauseBeyondTheFirstIsOneAddition) {
    ReadingSessions sessions;
    // Seconds since the last request, polled; a point's ticks come each second.
    const std::pair<double, bool> polls[] = {
        {1e9, false},                              // never read yet
        {0.1, false},                              // the first point's readings: no addition
        {0.9, false}, {0.5, false}, {3.0, false},  // recorded; the reading pauses
        {0.2, true},                               // the next point: one addition
        {1.0, false}, {1.7, false}, {0.3, false},  // ticks a second apart go on
        {2.5, false}, {0.1, true},  {9.0, false}, {0.0, true},
    };
    for (const auto& [seconds, begun] : polls) {
        EXPECT_EQ(sessions.NextBegun(seconds), begun) << seconds;
    }
}

}  // namespace
}  // namespace kelm::sim
