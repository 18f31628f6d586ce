#include "graph/GraphDrawing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "GraphRecords.h"
#include "RecordingSurface.h"
#include "core/Cp1251.h"
#include "graph/OverlayDrawing.h"
#include "graph/PlotLayout.h"

namespace kelm {
namespace {

using test::Record;
using test::RecordingSurface;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;

// Points (i, i) for i < n.
std::unique_ptr<SharedState> Diagonal(int n) {
    std::vector<CurvePoint> points;
    for (int i = 0; i < n; ++i) {
        points.push_back({double(i), double(i)});
    }
    return Record(points);
}

// A completed processing run with a grid of n points along (i, 2i) and the
// given equivalence points.
void Process(SharedState& s, int gridPoints, std::vector<EquivalencePoint> marks) {
    s.curve.curveProcessed = 1;
    s.processing.interpolationPointCount = gridPoints;
    for (int k = 0; k < gridPoints; ++k) {
        s.curve.gridVolume[k] = k;
        s.curve.smoothedValue[k] = k;
        s.curve.firstDerivative[k] = 1.0;
    }
    s.curve.equivalencePointCount = static_cast<int>(marks.size());
    for (std::size_t j = 0; j < marks.size(); ++j) {
        s.curve.equivalencePoints[j] = marks[j];
    }
}

RecordingSurface Screen(SharedState& s, int width = 800, int height = 600) {
    RecordingSurface surface;
    DrawGraph(s, surface, width, height);
    return surface;
}

RecordingSurface Page(SharedState& s) {
    RecordingSurface surface;
    PrintGraph(s, surface);
    return surface;
}

// Half the width of a "rect l,t r,b" entry.
int HalfSize(const std::string& rect) {
    int l = 0, t = 0, r = 0, b = 0;
    EXPECT_EQ(std::sscanf(rect.c_str(), "rect %d,%d %d,%d", &l, &t, &r, &b), 4) << rect;
    return (r - l) / 2;
}

// The entries that follow the first one equal to `from`, up to `count` of them.
std::vector<std::string> After(const RecordingSurface& s, const std::string& from, int count) {
    for (std::size_t i = 0; i < s.log.size(); ++i) {
        if (s.log[i] == from) {
            const std::size_t end = std::min(s.log.size(), i + 1 + count);
            return {s.log.begin() + i + 1, s.log.begin() + end};
        }
    }
    ADD_FAILURE() << "no entry " << from;
    return {};
}

TEST(DrawGraph, EmptyRecordDrawsNothingAtAll) {
    auto s = Record({});
    s->record.pointCount = -1;
    s->record.description[0] = 'A';
    s->record.startTimeKnown = 1;
    EXPECT_THAT(Screen(*s).log, ElementsAre("pen solid 1 0,0,0"));
    EXPECT_EQ(s->record.pointCount, 0);

    s->record.pointCount = -1;
    Process(*s, 10, {{1.0, 2.0, 3.0}});
    EXPECT_THAT(Page(*s).log, ElementsAre("pen solid 4 0,0,0"));  // no heading, no list
    EXPECT_EQ(s->record.pointCount, 0);
}

TEST(DrawGraph, OnePointInCurveModeIsTheWholeFrameAndOneSquare) {
    auto s = Record({{1.5, 250.0}});
    // 800 x 600: x0 80, yBase 570, xAxisEnd 760, yAxisTop 30; the value axis
    // rounds to 250..251 (ky 480) with lines at both ends; kx is 0.
    EXPECT_THAT(
        Screen(*s).log,
        ElementsAre("pen solid 1 0,0,0",  //
                                          // the line at 250 is not labelled: the point's own label
                                          // "250." takes that place first
                    "pen dot 1 150,150,150", "line 80,570 760,570",  //
                    "line 80,90 760,90", "text '251.' 0,70 70,110 right centre",
                    "pen solid 1 0,0,0", "line 80,570 760,570", "line 80,570 80,30",
                    "text 'E, ЭДС' 5,10 100,50 right centre",
                    "text 'V, Объём' 720,550 800,570 centre top", "text '' 2,2 798,22 centre top",
                    "text '250.' 0,550 70,590 right centre",
                    "text '1.5' 60,572 100,590 centre top",  //
                    "pen solid 1 50,100,200",                // no line for one point
                    "pen solid 1 50,100,200", "rect 77,567 83,573"));
}

TEST(DrawGraph, DerivativeModeBeforeProcessing) {
    // Slopes 0 (first point), 60, -20, 40: range -20..60, ky 6, kx 160.
    auto s = Record({{0, 100}, {1, 160}, {2, 140}, {4, 220}});
    s->display.viewMode = ViewMode::Derivative;
    const RecordingSurface g = Screen(*s);
    // The derivative range always holds the first point's 0, so the line at 0 is there.
    EXPECT_THAT(g.log, Contains("line 80,450 760,450"));
    EXPECT_THAT(g.log, Contains("text 'dE/dV' 5,10 100,50 right centre"));
    // Lines from point 1 on, squares from point 1 on, the last point's drop line;
    // no value label besides the reference line's.
    EXPECT_THAT(g.Only("line"),
                ElementsAre("line 80,450 760,450", "line 80,570 760,570", "line 80,570 80,30",
                            "line 720,210 720,570", "line 240,90 400,570", "line 400,570 720,210"));
    EXPECT_THAT(g.Only("rect"),
                ElementsAre("rect 237,87 243,93", "rect 397,567 403,573", "rect 717,207 723,213"));
    EXPECT_THAT(g.Only("text '0.'"), ElementsAre("text '0.' 0,430 70,470 right centre",
                                                 "text '0.' 60,572 100,590 centre top"));
    EXPECT_THAT(g.log, Contains("text '4.' 700,572 740,590 centre top"));
}

TEST(DrawGraph, MarkerAndCircleSizesChangeAt20And100Points) {
    struct Case {
        int n;
        int square;
        int circle;
    };
    for (const Case c : {Case{19, 3, 4}, Case{20, 2, 3}, Case{99, 2, 3}, Case{100, 1, 2}}) {
        auto s = Diagonal(c.n);
        Process(*s, 2, {{0.0, 0.0, 0.0}});
        const RecordingSurface g = Screen(*s);
        const auto rects = g.Only("rect");
        ASSERT_THAT(rects, SizeIs(c.n)) << c.n;
        EXPECT_EQ(HalfSize(rects[0]), c.square) << c.n;
        const int r = c.circle;
        EXPECT_THAT(
            g.Only("ellipse"),
            ElementsAre("ellipse " + std::to_string(80 - r) + ',' + std::to_string(570 - r) + ' ' +
                        std::to_string(80 + r) + ',' + std::to_string(570 + r)))
            << c.n;
    }
}

TEST(DrawGraph, SelectedPointGetsProjectionsLabelsInnerSquaresAndDot) {
    // H 500: yBase 475, range 0..50 gives ky 8; kx 160.
    auto s = Record({{0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 40}});
    s->record.selectedPoint = 2;
    const RecordingSurface g = Screen(*s, 800, 500);
    EXPECT_THAT(After(g, "text '4.' 700,477 740,495 centre top", 5),
                ElementsAre("pen dot 1 150,150,150", "line 400,315 80,315", "line 400,315 400,475",
                            "text '20.' 0,295 70,335 right centre",
                            "text '2.' 360,477 440,495 centre top"));
    EXPECT_THAT(
        After(g, "rect 397,312 403,318", 3),
        ElementsAre("rect 398,313 402,317", "rect 399,314 401,316", "line 399,314 400,315"));

    // From 20 points only the inner square of 1 remains, from 100 none.
    for (const auto& [n, extras] : {std::pair{50, 2}, std::pair{150, 1}}) {
        auto many = Diagonal(n);
        many->record.selectedPoint = 10;
        const auto rects = Screen(*many).Only("rect");
        ASSERT_THAT(rects, SizeIs(n + extras - 1));
        if (extras == 2) {
            EXPECT_EQ(HalfSize(rects[11]), 1);
        }
    }

    // The first point selected: inner squares and dot, no projections or labels.
    s->record.selectedPoint = 0;
    const RecordingSurface first = Screen(*s, 800, 500);
    EXPECT_THAT(first.Only("rect"), SizeIs(5 + 2));
    EXPECT_THAT(first.log, Contains("line 79,474 80,475"));
    // 2 titles, description, the first and last point's two labels each, and
    // the reference line at 50; the one at 0 stands where the first point's
    // "0." already does.
    EXPECT_THAT(first.Only("text"), SizeIs(8));
    EXPECT_THAT(first.Only("text '0.' 0,"), SizeIs(1));
}

TEST(DrawGraph, DerivativeAfterProcessingDrawsNoSquaresNorProjections) {
    auto s = Record({{0, 0}, {1, 10}, {2, 30}, {3, 35}, {4, 36}});
    s->record.selectedPoint = 2;
    s->display.viewMode = ViewMode::Derivative;
    Process(*s, 6, {{2.5, 30.0, 1.0}});
    // The processed derivative alone sets the value range; where it is drawn
    // (from grid point 1) it reaches 0, so the reference line at 0 is drawn.
    s->curve.firstDerivative[1] = 0.0;
    const RecordingSurface g = Screen(*s);
    EXPECT_THAT(g.Only("rect"), IsEmpty());
    EXPECT_THAT(g.log, Not(Contains("pen solid 1 50,100,200")));  // no measured line either
    // The processed derivative from grid point 1 to 2 on, then the mark.
    EXPECT_THAT(After(g, "pen solid 1 50,100,50", 5), SizeIs(5));
    const auto curve = After(g, "pen solid 1 50,100,50", 4);
    for (const std::string& entry : curve) {
        EXPECT_TRUE(entry.starts_with("line ")) << entry;
    }
    const auto mark = After(g, "pen solid 1 255,0,0", 3);
    ASSERT_THAT(mark, SizeIs(3));
    EXPECT_TRUE(mark[0].starts_with("line ") && mark[0].ends_with(",570")) << mark[0];
    EXPECT_TRUE(mark[1].starts_with("ellipse ")) << mark[1];
    EXPECT_TRUE(mark[2].starts_with("text '2.5' ")) << mark[2];
    // First, last and selected point keep their volume labels only; the grid
    // pen draws the reference line at 0 and nothing else.
    EXPECT_THAT(g.Only("text '0.'"), ElementsAre("text '0.' 0,550 70,590 right centre",
                                                 "text '0.' 60,572 100,590 centre top"));
    EXPECT_THAT(g.Only("text '4.'"), SizeIs(1));
    EXPECT_THAT(g.Only("text '2.'"), ElementsAre("text '2.' 296,572 376,590 centre top"));
    EXPECT_EQ(After(g, "pen dot 1 150,150,150", 1),
              std::vector<std::string>{"line 80,570 760,570"});
    EXPECT_THAT(g.Only("line"), SizeIs(1 + 2 + 4 + 1));
}

TEST(DrawGraph, NewRecordAfterProcessingShowsSquaresWithoutCurveOrLine) {
    auto s = Record({{0, 0}, {1, 10}, {2, 20}});
    Process(*s, 0, {});
    const RecordingSurface curve = Screen(*s);
    EXPECT_THAT(curve.Only("rect"), SizeIs(3));
    EXPECT_THAT(curve.Only("line"), SizeIs(2 + 2 + 2));  // reference lines, axes, projections

    s->display.viewMode = ViewMode::Derivative;
    const RecordingSurface derivative = Screen(*s);
    EXPECT_THAT(derivative.Only("rect"), IsEmpty());
    EXPECT_THAT(derivative.Only("line"), SizeIs(1 + 2));  // the line at 0 and the axes
    EXPECT_THAT(derivative.Only("text"), SizeIs(1 + 2 + 1 + 2));
}

TEST(DrawGraph, TitlesDescriptionStartTimeAndColours) {
    auto s = Record({{0, 0.5}, {1, 0.7}}, MeasuredQuantity::Conductivity);
    const std::string description = Utf8ToCp1251("Проба №3");
    std::memcpy(s->record.description.data(), description.data(), description.size());
    s->record.startTimeKnown = 1;
    s->record.startTime = {2006, 1, 1, 0, 5};
    s->display.colours[0] = {1, 2, 3, 1};  // the record's own colour wins
    s->display.decimalComma = 1;
    RecordingSurface g = Screen(*s);
    EXPECT_THAT(g.log, Contains("text 'УЭП' 5,10 100,50 right centre"));
    EXPECT_THAT(g.log, Contains("text '01.01.2006  00:05' 2,22 798,42 right top"));
    EXPECT_THAT(g.log, Contains("text 'Проба №3' 2,2 798,22 centre top"));
    EXPECT_THAT(g.log, Contains("pen solid 1 1,2,3"));
    EXPECT_THAT(g.Only("text '0,7' 0,"), SizeIs(1));  // the last point's value label

    s->record.startTime = {2006, 3, 5, 9, 7};
    s->display.viewMode = ViewMode::Derivative;
    g = Screen(*s);
    EXPECT_THAT(g.log, Contains("text 'dУЭП/dV' 5,10 100,50 right centre"));
    EXPECT_THAT(g.log, Contains("text '05.03.2006  09:07' 2,22 798,42 right top"));
}

TEST(PrintGraph, PageCoordinatesPensAndEquivalenceList) {
    // Page: kx 320, range 0..10 (ky 96); points map to (360,1140), (680,948),
    // (1000,660), (1640,276), drawn with y negated.
    auto s = Record({{0, 0}, {1, 2}, {2, 5}, {4, 9}});
    s->record.selectedPoint = 1;
    s->record.startTimeKnown = 1;
    Process(*s, 0, {{1.5, 123.456, 7.0}, {2.25, 4.0, 8.0}, {3.0, -5.5, 9.0}});
    s->curve.curveProcessed = 0;  // the list is printed also without a processed curve
    const RecordingSurface p = Page(*s);
    EXPECT_THAT(p.log, Contains("pen dot 3 150,150,150"));
    EXPECT_THAT(p.log, Contains("pen solid 4 0,0,0"));
    EXPECT_THAT(p.Only("line 360,-1140"),
                ElementsAre("line 360,-1140 1520,-1140", "line 360,-1140 1520,-1140",
                            "line 360,-1140 360,-60",
                            "line 360,-1140 680,-948"));  // the measured line's first segment
    EXPECT_THAT(p.log, Contains("text '5.' 0,-460 350,-860 right centre"));  // reference line
    // The line at 0 is not labelled: the first point's "0." stands there.
    EXPECT_THAT(p.log, Not(Contains("text '0.' 0,-940 350,-1340 right centre")));
    EXPECT_THAT(p.log, Contains("text 'E, ЭДС' 200,140 1000,-260 left centre"));
    EXPECT_THAT(p.log, Contains("text 'V, Объём' 1120,-1040 1920,-1140 centre top"));
    EXPECT_THAT(p.log, Contains("text '' 220,-20 1580,-70 centre top"));
    EXPECT_THAT(p.log, Contains("text '00.00.00  00:00' 220,-70 1580,-120 right top"));
    // First point: value label from 200, volume label of half-width 200.
    EXPECT_THAT(p.Only("text '0.' 2"), ElementsAre("text '0.' 200,-940 350,-1340 right centre"));
    EXPECT_THAT(p.log, Contains("text '0.' 160,-1160 560,-1340 centre top"));
    // Last point: value label from 0.
    EXPECT_THAT(After(p, "text '0.' 160,-1160 560,-1340 centre top", 5),
                ElementsAre("pen dot 3 150,150,150", "line 1640,-276 360,-276",
                            "line 1640,-276 1640,-1140", "text '9.' 0,-76 350,-476 right centre",
                            "text '4.' 1440,-1160 1840,-1340 centre top"));
    // Selected point: projections, labels of half-width 400, squares 6, 4, 3 and the dot.
    EXPECT_THAT(After(p, "text '4.' 1440,-1160 1840,-1340 centre top", 5),
                ElementsAre("pen dot 3 150,150,150", "line 680,-948 360,-948",
                            "line 680,-948 680,-1140", "text '2.' 200,-748 350,-1148 right centre",
                            "text '1.' 280,-1160 1080,-1340 centre top"));
    EXPECT_THAT(
        After(p, "rect 674,-942 686,-954", 3),
        ElementsAre("rect 676,-944 684,-952", "rect 677,-945 683,-951", "line 679,-947 681,-947"));
    // The list: heading, then rows 50 units apart, the value with EMF's 2 decimals.
    EXPECT_THAT(
        After(p, "text 'Точки эквивалентности:' 300,-1250 800,-1300 left top", 6),
        ElementsAre(
            "text '1.5' 300,-1300 500,-1350 left top", "text '123.46' 600,-1300 800,-1350 left top",
            "text '2.25' 300,-1350 500,-1400 left top", "text '4.' 600,-1350 800,-1400 left top",
            "text '3.' 300,-1400 500,-1450 left top", "text '-5.5' 600,-1400 800,-1450 left top"));
}

TEST(PrintGraph, ProcessedDerivativePageMarksAndListTheValues) {
    auto s = Diagonal(30);
    s->display.viewMode = ViewMode::Derivative;
    Process(*s, 40, {{10.0, 10.0, 1.0}});
    const RecordingSurface p = Page(*s);
    EXPECT_THAT(p.Only("rect"), IsEmpty());
    // n 30: circle radius 6 around the derivative 1 at volume 10.
    const auto circles = p.Only("ellipse");
    ASSERT_THAT(circles, SizeIs(1));
    EXPECT_THAT(p.log, Contains("text '10.' 600,-1300 800,-1350 left top"));  // value, not 1.

    // A processed record without equivalence points prints the heading alone.
    s->curve.equivalencePointCount = 0;
    const RecordingSurface q = Page(*s);
    EXPECT_EQ(q.log.back(), "text 'Точки эквивалентности:' 300,-1250 800,-1300 left top");
    EXPECT_THAT(p.Only("text 'Точки"), SizeIs(1));
}

TEST(PrintGraph, NotesFromAboveStandInTheRowsAndBelowTheList) {
    auto s = Diagonal(30);
    Process(*s, 40, {{10.0, 10.0, 1.0}, {20.0, 20.0, 1.0}});
    // Fewer notes than points: the second row has none; the line follows the rows.
    const std::vector<std::string> notes = {Utf8ToCp1251("0,10003 моль/л")};
    const std::vector<std::string> lines = {Utf8ToCp1251("Проба: 20 мл"),
                                            Utf8ToCp1251("Титрант: 0,1 моль/л")};
    RecordingSurface p;
    PrintGraph(*s, p, notes, lines);
    EXPECT_THAT(After(p, "text 'Точки эквивалентности:' 300,-1250 800,-1300 left top", 7),
                ElementsAre("text '10.' 300,-1300 500,-1350 left top",
                            "text '10.' 600,-1300 800,-1350 left top",
                            "text '0,10003 моль/л' 900,-1300 1640,-1350 left top",
                            "text '20.' 300,-1350 500,-1400 left top",
                            "text '20.' 600,-1350 800,-1400 left top",
                            "text 'Проба: 20 мл' 300,-1400 1640,-1450 left top",
                            "text 'Титрант: 0,1 моль/л' 300,-1450 1640,-1500 left top"));
    // Without notes the page is what it always was.
    const RecordingSurface plain = Page(*s);
    EXPECT_EQ(plain.log.back(), "text '20.' 600,-1350 800,-1400 left top");
    // A choice of points is named below the sample's line.
    s->curve.evaluation.applied = {-kOpenEnd, kOpenEnd, PointChoice::Greatest, 1};
    RecordingSurface chosen;
    PrintGraph(*s, chosen, notes, lines);
    EXPECT_EQ(chosen.log.back(), "text 'Выбор точек: наибольшая' 300,-1500 1600,-1550 left top");
}

TEST(PrintGraph, APageOfAWindowedOrChosenRunSaysSoBelowThePoints) {
    struct Case {
        EvaluationSettings applied;
        bool comma;
        const char* line;  // empty: nothing below the points
    };
    const Case cases[] = {
        {{}, false, ""},
        {{4.5, 6.0, PointChoice::All, 1},
         true,
         "text 'Окно поиска: от 4,5 до 6 мл' 300,-1400 1600,-1450 left top"},
        {{-kOpenEnd, kOpenEnd, PointChoice::Greatest, 1},
         false,
         "text 'Выбор точек: наибольшая' 300,-1400 1600,-1450 left top"},
    };
    for (const Case& c : cases) {
        auto s = Diagonal(30);
        Process(*s, 40, {{10.0, 10.0, 1.0}, {12.0, 12.0, 1.0}});
        s->curve.evaluation.applied = c.applied;
        s->display.decimalComma = c.comma ? 1 : 0;
        const RecordingSurface p = Page(*s);
        if (*c.line == '\0') {
            EXPECT_THAT(p.log.back(), ::testing::StartsWith("text '12"));
        } else {
            EXPECT_EQ(p.log.back(), c.line);
        }
    }
}

TEST(DrawGraph, WildDataNeverLeavesTheCoordinateLimit) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    for (MeasuredQuantity q : {MeasuredQuantity::Emf, MeasuredQuantity::Ph, MeasuredQuantity::Px,
                               MeasuredQuantity::Conductivity}) {
        for (ViewMode mode : {ViewMode::Curve, ViewMode::Derivative}) {
            auto s = Record({{0, nan}, {1e-320, 1e308}, {inf, -1e308}, {-1e308, -inf}, {2, 3}}, q);
            s->record.pointCount = 100000;  // read as the 255 points the arrays hold
            s->record.selectedPoint = 1000;
            s->display.viewMode = mode;
            Process(*s, 0, {});
            s->processing.interpolationPointCount = 100000;
            s->curve.gridVolume[3] = nan;
            s->curve.smoothedValue[4] = -inf;
            s->curve.equivalencePointCount = 100000;
            s->curve.equivalencePoints[0] = {inf, nan, 1e308};
            // The whole curve, and parts of it given as wildly.
            for (const VisibleRange& v :
                 {VisibleRange{}, VisibleRange{4, 5, 0, 1}, VisibleRange{1e-300, 2e-300, nan, 1},
                  VisibleRange{-1e308, 1e308, -1e308, 1e308}, VisibleRange{5, 4, 7, 7}}) {
                RecordingSurface screen, page;
                DrawGraph(*s, screen, v.Whole() ? std::numeric_limits<int>::max() : 800,
                          v.Whole() ? -5 : 600, v);
                PrintGraph(*s, page, {}, {}, v);
                for (const RecordingSurface* g : {&screen, &page}) {
                    for (const std::string& entry : g->log) {
                        if (entry.starts_with("text") || entry.starts_with("pen")) {
                            continue;
                        }
                        const char* p = entry.c_str();
                        while (*p != '\0') {
                            if ((*p >= '0' && *p <= '9') || *p == '-') {
                                char* end = nullptr;
                                const long v = std::strtol(p, &end, 10);
                                EXPECT_LE(std::labs(v), 3L * kCoordinateLimit) << entry;
                                p = end;
                            } else {
                                ++p;
                            }
                        }
                    }
                }
            }
        }
    }
}

// A first dose of 0.0005 mL gives a measured slope of 2000 mV/mL, far above
// the processed derivative's peak of 160 at 2 mL, which is an equivalence point.
std::unique_ptr<SharedState> TinyFirstDose(bool processed, double firstGridSlope) {
    auto s = Record({{0, 100}, {0.0005, 101}, {1, 150}, {2, 300}, {3, 320}});
    s->display.viewMode = ViewMode::Derivative;
    if (processed) {
        s->curve.curveProcessed = 1;
        s->processing.interpolationPointCount = 7;
        const double derivative[] = {firstGridSlope, 40, 100, 160, 60, 20, 5};
        for (int k = 0; k < 7; ++k) {
            s->curve.gridVolume[k] = 0.5 * k;
            s->curve.smoothedValue[k] = 100 + 40 * k;
            s->curve.firstDerivative[k] = derivative[k];
        }
        s->curve.equivalencePointCount = 1;
        s->curve.equivalencePoints[0] = {1.5, 300.0, 160.0};
    }
    return s;
}

TEST(DerivativeRange, TheLargestDrawnPeakReachesTheTopOfThePlot) {
    // The screen's data reach from y 570 up to 90, the page's from -1140 to
    // -180 (the page's 1.5 mL at x 1000, the screen's at 400).
    const auto overlay = [](SharedState& s) {
        auto other = Record({{0, 0}, {1, 10}, {2, 20}});  // not processed, gentle slopes
        RecordingSurface g;
        DrawOverlay(std::vector<OverlayCurve>{{&s, "a"}, {other.get(), "b"}}, ViewMode::Derivative,
                    g, 800, 600);
        return g;
    };
    const auto screen = [](SharedState& s) { return Screen(s); };
    const auto page = [](SharedState& s) { return Page(s); };
    const struct {
        bool processed;
        std::function<RecordingSurface(SharedState&)> draw;
        const char* top;              // what marks the largest drawn value
        double firstGridSlope = 0.0;  // not drawn: the derivative starts at the second
    } rows[] = {
        // Processed: the equivalence point on the processed derivative's peak.
        {true, screen, "ellipse 396,86 404,94"},
        {true, page, "ellipse 993,-173 1007,-187"},
        {true, overlay, "ellipse 396,86 404,94"},
        {true, screen, "ellipse 396,86 404,94", 500.0},
        // Not processed: the measured slopes are what is drawn, 2000 at point 1.
        {false, screen, "rect 77,87 83,93"},
        {false, page, "rect 354,-174 366,-186"},
    };
    for (const auto& row : rows) {
        auto s = TinyFirstDose(row.processed, row.firstGridSlope);
        EXPECT_THAT(row.draw(*s).log, Contains(row.top)) << row.top;
    }
}

TEST(PageFontHeight, IsA25Point6FontAgainstTheScreen) {
    EXPECT_EQ(PageFontHeight(96), 34);
    EXPECT_EQ(PageFontHeight(120), 42);
    EXPECT_EQ(PageFontHeight(std::numeric_limits<int>::max()), 763549741);
}

}  // namespace
}  // namespace kelm
