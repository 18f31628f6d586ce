// The overlay of several records on a recording surface: common axes, one
// pen per curve, the legend, on the screen and on the page.
#include "graph/OverlayDrawing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GraphRecords.h"
#include "RecordingSurface.h"

namespace kelm {
namespace {

using test::Record;
using test::RecordingSurface;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

RecordingSurface Screen(const std::vector<OverlayCurve>& curves, ViewMode mode) {
    RecordingSurface surface;
    DrawOverlay(curves, mode, surface, 800, 600);
    return surface;
}

TEST(DrawOverlay, DrawsEveryCurveOnCommonAxesInItsOwnColourWithALegend) {
    // x 0..20, y 100..400 mV: the EMF axis rounds to 0..500 (lines at 0 and
    // 500); kx = 640 / 20 = 32, ky = 480 / 500 = 0.96 on 800 x 600.
    auto a = Record({{0, 100}, {5, 200}, {10, 300}});
    auto b = Record({{0, 150}, {20, 400}});
    a->record.description[0] = 'A';  // neither description nor start time is drawn
    a->record.startTimeKnown = 1;
    a->record.selectedPoint = 1;  // nor a selection
    const std::vector<OverlayCurve> curves = {{a.get(), "a.kel"}, {b.get(), "b.kel"}};
    EXPECT_THAT(
        Screen(curves, ViewMode::Curve).log,
        ElementsAre("pen solid 1 0,0,0",  //
                    "pen dot 1 150,150,150", "line 80,570 760,570",
                    "text '0.' 0,550 70,590 right centre", "line 80,90 760,90",
                    "text '500.' 0,70 70,110 right centre",  //
                    "pen solid 1 0,0,0", "line 80,570 760,570", "line 80,570 80,30",
                    "text 'E, ЭДС' 5,10 100,50 right centre",
                    "text 'V, Объём' 720,550 800,570 centre top",
                    // the volume axis labelled at both ends of the common range
                    "text '0.' 60,572 100,590 centre top", "text '20.' 700,572 740,590 centre top",
                    // a: its line and squares, in blue
                    "pen solid 2 31,119,180", "line 80,474 240,378", "line 240,378 400,282",
                    "rect 77,471 83,477", "rect 237,375 243,381", "rect 397,279 403,285",
                    // b, in red, on the same scale
                    "pen solid 2 214,39,40", "line 80,426 720,186", "rect 77,423 83,429",
                    "rect 717,183 723,189",
                    // the legend above the data, right of the value-axis title
                    "pen solid 2 31,119,180", "line 110,12 134,12",
                    "text 'a.kel' 140,2 264,22 left centre",  //
                    "pen solid 2 214,39,40", "line 270,12 294,12",
                    "text 'b.kel' 300,2 424,22 left centre"));
}

TEST(DrawOverlay, DerivativesOfProcessedAndUnprocessedRecordsShareTheScale) {
    // a is processed: grid 0, 1, 2 with dpH/dV 1, 2, 3 and a point at 1.5 mL.
    auto a = Record({{0, 2}, {1, 3}, {2, 5}}, MeasuredQuantity::Ph);
    a->curve.curveProcessed = 1;
    a->processing.interpolationPointCount = 3;
    for (int k = 0; k < 3; ++k) {
        a->curve.gridVolume[k] = k;
        a->curve.firstDerivative[k] = k + 1.0;
    }
    a->curve.equivalencePointCount = 1;
    a->curve.equivalencePoints[0] = {1.5, 4.0, 2.5};
    // b is not: its point-to-point derivative is 0 (the first point), 1, 1.
    auto b = Record({{0, 2}, {2, 4}, {4, 6}}, MeasuredQuantity::Ph);
    // x 0..4, y 0..3: kx = 160, ky = 160; the one reference line is at 0.
    const std::vector<OverlayCurve> curves = {{a.get(), "a"}, {b.get(), "b"}};
    const RecordingSurface s = Screen(curves, ViewMode::Derivative);
    EXPECT_THAT(
        std::vector(s.log.begin(), s.log.begin() + 14),
        ElementsAre("pen solid 1 0,0,0", "pen dot 1 150,150,150", "line 80,570 760,570",
                    "text '0.' 0,550 70,590 right centre", "pen solid 1 0,0,0",
                    "line 80,570 760,570", "line 80,570 80,30",
                    "text 'dpH/dV' 5,10 100,50 right centre",
                    "text 'V, Объём' 720,550 800,570 centre top",
                    "text '0.' 60,572 100,590 centre top", "text '4.' 700,572 740,590 centre top",
                    // one line labels no scale: the top of the range is, 0 is already
                    "text '3.' 0,70 70,110 right centre",
                    // a: the processed derivative from its second segment, its circle,
                    // no squares
                    "pen solid 2 31,119,180", "line 240,250 400,90"));
    EXPECT_THAT(std::vector(s.log.begin() + 14, s.log.begin() + 19),
                ElementsAre("ellipse 316,166 324,174",
                            // b: its own derivative from the second segment, squares from point 1
                            "pen solid 2 214,39,40", "line 400,410 720,410", "rect 397,407 403,413",
                            "rect 717,407 723,413"));
}

TEST(DrawOverlay, TheLegendFlowsIntoRowsAndTheColoursRepeatDotted) {
    std::vector<std::unique_ptr<SharedState>> records;
    std::vector<OverlayCurve> curves;
    const char* names[] = {"r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9"};
    for (int i = 0; i < 10; ++i) {
        // r3 has no point: it is not drawn but keeps its colour and entry.
        records.push_back(i == 3 ? Record({}) : Record({{0, 100.0 + i}, {1, 200.0 + i}}));
        curves.push_back({records.back().get(), names[i]});
    }
    const RecordingSurface s = Screen(curves, ViewMode::Curve);
    // Four cells of 160 fit from 110 to 798; the fifth starts the next row.
    EXPECT_THAT(
        s.Only("text 'r"),
        ElementsAre("text 'r0' 140,2 264,22 left centre", "text 'r1' 300,2 424,22 left centre",
                    "text 'r2' 460,2 584,22 left centre", "text 'r3' 620,2 744,22 left centre",
                    "text 'r4' 140,22 264,42 left centre", "text 'r5' 300,22 424,42 left centre",
                    "text 'r6' 460,22 584,42 left centre", "text 'r7' 620,22 744,42 left centre",
                    "text 'r8' 140,42 264,62 left centre", "text 'r9' 300,42 424,62 left centre"));
    // Nine line pens for the curves and ten for the legend; the ninth colour is the
    // first again, dotted.
    EXPECT_EQ(s.Only("pen solid 2 255,127,14").size(), 1u);  // r3: its entry only
    EXPECT_EQ(s.Only("pen solid 2 31,119,180").size(), 2u);
    EXPECT_EQ(s.Only("pen dot 2 31,119,180").size(), 2u);
    EXPECT_EQ(s.Only("pen dot 2 214,39,40").size(), 2u);
    EXPECT_EQ(OverlayPen(16, 1).style, PenStyle::Solid);  // and solid on the third round
}

TEST(DrawOverlay, NoPointAtAllDrawsNothing) {
    auto empty = Record({});
    empty->record.pointCount = -1;
    EXPECT_THAT(Screen({{empty.get(), "e"}, {nullptr, "none"}}, ViewMode::Curve).log,
                ElementsAre("pen solid 1 0,0,0"));
    EXPECT_THAT(Screen({}, ViewMode::Derivative).log, ElementsAre("pen solid 1 0,0,0"));
}

TEST(PrintOverlay, DrawsThePageWithTheLegendBelowTheGraph) {
    auto a = Record({{0, 100}, {10, 300}});
    auto b = Record({{0, 150}, {20, 400}});
    RecordingSurface page;
    PrintOverlay(std::vector<OverlayCurve>{{a.get(), "a"}, {b.get(), "b"}}, ViewMode::Curve, page);
    // The page frame: x0 360, yBase 1140 (negated), axes in the 0.4 mm black pen.
    EXPECT_THAT(page.log, Contains("line 360,-1140 1520,-1140"));
    EXPECT_THAT(page.log, Contains("pen solid 4 31,119,180"));
    EXPECT_THAT(page.log, Contains("pen solid 4 214,39,40"));
    // Rows of 5 mm from 125 mm down, two cells of 64 mm a row.
    EXPECT_THAT(page.Only("line 300,-1275"), ElementsAre("line 300,-1275 400,-1275"));
    EXPECT_THAT(page.Only("text 'a'"), ElementsAre("text 'a' 430,-1250 910,-1300 left centre"));
    EXPECT_THAT(page.Only("text 'b'"), ElementsAre("text 'b' 1070,-1250 1550,-1300 left centre"));
    EXPECT_THAT(page.Only("text 'Точки"), IsEmpty());  // no list of one record's points
    EXPECT_THAT(page.log, Not(Contains(::testing::StartsWith("ellipse"))));
}

}  // namespace
}  // namespace kelm
