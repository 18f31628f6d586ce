#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/SharedState.h"

namespace kelm {
namespace {

TEST(SharedState, StartsWithTheProgramStartValues) {
    SharedState s;
    EXPECT_EQ(s.record.pointCount, -1);
    EXPECT_EQ(PointCount(s.record), 0);
    EXPECT_EQ(s.record.selectedPoint, -1);
    EXPECT_EQ(s.processing.criterion, EndPointCriterion::DerivativeExtremum);
    EXPECT_EQ(s.processing.endValuePh, 7.0);
    EXPECT_EQ(s.processing.filterStrength, 5);
    EXPECT_EQ(s.acquisition.timerSeconds, 30.0);
    EXPECT_EQ(s.acquisition.driftLimit, 1.0);
    for (const ColourEntry& c : s.display.colours) {
        EXPECT_EQ(c.chosen, 0);
    }
}

TEST(NewRecord, EmptiesTheRecordButKeepsQuantityAndProcessingChoices) {
    SharedState s;
    s.record.pointCount = 12;
    s.record.points[3] = {1.5, 2.5};
    s.record.quantity = MeasuredQuantity::Px;
    s.record.startTimeKnown = 1;
    s.record.description[0] = 'A';
    s.record.selectedPoint = 4;
    s.processing.criterion = EndPointCriterion::GivenValue;
    s.processing.endValueEmf = -50.0;
    s.processing.interpolationKind = InterpolationKind::Linear;
    s.processing.filterKind = FilterKind::MovingAverage;
    s.processing.autoPointCount = 0;
    s.processing.interpolationPointCount = 300;
    s.curve.curveProcessed = 1;
    s.curve.equivalencePointCount = 3;
    s.curve.gridVolume[509] = 1.0;
    s.curve.firstDerivative[7] = 2.0;

    ASSERT_TRUE(NewRecord(s));
    const TitrationRecord& r = s.record;
    const ProcessingSettings& p = s.processing;
    EXPECT_EQ(std::tuple(r.pointCount, r.points[3].volume, r.startTimeKnown, r.description[0],
                         p.autoPointCount, p.interpolationPointCount, s.curve.equivalencePointCount,
                         s.curve.gridVolume[509]),
              std::tuple(0, 0.0, 0, '\0', 1, 0, 0, 0.0));
    // Kept as they were.
    EXPECT_EQ(
        std::tuple(r.quantity, r.selectedPoint, p.criterion, p.endValueEmf, p.interpolationKind,
                   p.filterKind, s.curve.curveProcessed, s.curve.firstDerivative[7]),
        std::tuple(MeasuredQuantity::Px, 4, EndPointCriterion::GivenValue, -50.0,
                   InterpolationKind::Linear, FilterKind::MovingAverage, 1, 2.0));
}

TEST(Colours, BuiltInThenPreferredThenRecordColourWins) {
    SharedState s;
    EXPECT_EQ(ResolveColour(s, ColourRole::SourcePoints), (Rgb{50, 100, 200}));
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{50, 100, 50}));
    EXPECT_EQ(ResolveColour(s, ColourRole::EquivalencePointMarks), (Rgb{255, 0, 0}));

    s.display.colours[11] = {1, 2, 3, 1};
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{1, 2, 3}));
    s.display.colours[1] = {4, 5, 6, 7};  // any non-zero value counts as chosen
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{4, 5, 6}));
}

TEST(Colours, AChosenColourAppliesNowAndToTheNextRecord) {
    SharedState s;
    int redraws = 0;
    s.redrawViews = [&] { ++redraws; };
    ApplyStartDefaults(s);
    NewRecord(s);
    ChooseColour(s, ColourRole::InterpolatedCurve, {10, 20, 30});
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{10, 20, 30}));
    s.display.colours[11] = {0, 0, 0, 0};
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{10, 20, 30}));
    s.display.colours[11] = {10, 20, 30, 1};
    s.display.colours[1] = {};
    NewRecord(s);
    EXPECT_EQ(ResolveColour(s, ColourRole::InterpolatedCurve), (Rgb{10, 20, 30}));
    EXPECT_EQ(s.display.colours[1].chosen, 1);
}

TEST(StartDefaults, DeriveTheInstrumentCodesFromTheQuantity) {
    SharedState s;
    s.record.quantity = MeasuredQuantity::Conductivity;
    s.link.channel = 5;
    ApplyStartDefaults(s);
    EXPECT_EQ(s.link.channel, 1);
    EXPECT_EQ(s.link.codeZ, 16);
    EXPECT_EQ(s.link.codeR, 64);
    EXPECT_EQ(QuantityCodeR(MeasuredQuantity::Ph), 48);
    EXPECT_EQ(QuantityCodeR(MeasuredQuantity::Px), 48);
    EXPECT_EQ(QuantityCodeR(MeasuredQuantity::Emf), 16);
    EXPECT_EQ(s.display.colours[10].chosen, 1);
    EXPECT_EQ(s.display.colours[12].red, 255);
}

TEST(DescriptionView, StopsAtTheFirstZeroOrAtTheBufferEnd) {
    auto s = std::make_unique<SharedState>();
    TitrationRecord& r = s->record;
    EXPECT_EQ(DescriptionView(r), "");
    r.description[0] = 'a';
    r.description[1] = 'b';
    r.description[3] = 'c';  // after the terminator: not part of the text
    EXPECT_EQ(DescriptionView(r), "ab");
    // A buffer without any zero byte is taken whole and no further.
    r.description.fill('x');
    EXPECT_EQ(DescriptionView(r), std::string(kDescriptionCapacity, 'x'));
}

TEST(SetChannel, GivesCodeZOnlyToTheChannelsThatHaveOne) {
    // channel, codeZ after it when codeZ was 20 before; 0 reads the first channel
    const std::pair<int, int> rows[] = {{1, 16}, {3, 18}, {9, 24}, {0, 16}, {10, 20}, {-1, 20}};
    for (const auto& [channel, codeZ] : rows) {
        LinkSettings link;
        link.codeZ = 20;
        SetChannel(link, channel);
        EXPECT_EQ(link.channel, channel);
        EXPECT_EQ(link.codeZ, codeZ) << channel;
    }
}

}  // namespace
}  // namespace kelm
