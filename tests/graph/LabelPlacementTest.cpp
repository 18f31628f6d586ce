// Labels that never overlap: the placer's rule, and the labels the screen and
// the page leave out.
#include "graph/LabelPlacer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GraphRecords.h"
#include "RecordingSurface.h"
#include "graph/GraphDrawing.h"

namespace kelm {
namespace {

using test::Record;
using test::RecordingSurface;
using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;

Label Text(const char* text, TextRect box, HAlign h = HAlign::Left) {
    Label label{{}, box, h, VAlign::Top};
    label.text.Append(text);
    return label;
}

TEST(LabelPlacer, LeavesOutWhatWouldOverlapALabelAlreadyPutDown) {
    // Recording metrics: 6 per character, ink 2..10 of a 12-high line; the
    // label put down first has its ink at 100..118 x 2..10.
    const struct {
        const char* what;
        Label label;
        bool kept;
    } rows[] = {
        {"on top of it", Text("456", {100, 0, 200, 40}), false},
        // "0." and "0.16" side by side would read as one number.
        {"on its line, closer than the gap", Text("456", {121, 0, 200, 40}), false},
        {"on its line, the gap away", Text("456", {122, 0, 200, 40}), true},
        {"before it, closer than the gap", Text("4", {0, 0, 97, 40}, HAlign::Right), false},
        // Lines whose ink does not meet never run together, however close.
        {"on the line below, ink touching", Text("456", {100, 8, 200, 40}), true},
        {"on the line below, ink sharing a row", Text("456", {100, 7, 200, 40}), false},
        {"clipped to nothing", Text("456", {100, 0, 100, 40}), true},
        {"no text", Text("", {100, 0, 200, 40}), true},
    };
    for (const auto& row : rows) {
        RecordingSurface surface;
        LabelPlacer placer(4);
        ASSERT_TRUE(placer.Claim(surface, Text("123", {100, 0, 200, 40})));
        EXPECT_EQ(placer.Claim(surface, row.label), row.kept) << row.what;
        EXPECT_TRUE(placer.Claim(surface, Text("789", {300, 0, 400, 40}))) << row.what;
        // What is left out, or shows nothing, is not kept to block others.
        const bool shows =
            row.kept && row.label.box.right > row.label.box.left && !row.label.text.empty();
        EXPECT_EQ(placer.KeptCount(), shows ? 3 : 2) << row.what;
    }
}

// A record processed along its points with equivalence points at `marks`.
std::unique_ptr<SharedState> Marked(std::vector<CurvePoint> points, std::vector<double> marks,
                                    int selected = -1) {
    auto s = Record(points);
    s->record.selectedPoint = selected;
    s->curve.curveProcessed = 1;
    s->processing.interpolationPointCount = static_cast<int>(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        s->curve.gridVolume[k] = points[k].volume;
        s->curve.smoothedValue[k] = points[k].value;
        s->curve.firstDerivative[k] = 1.0;
    }
    s->curve.equivalencePointCount = static_cast<int>(marks.size());
    for (std::size_t j = 0; j < marks.size(); ++j) {
        s->curve.equivalencePoints[j] = {marks[j], points[0].value, 1.0};
    }
    return s;
}

TEST(GraphLabels, ALabelThatWouldOverlapOneOfHigherRankIsLeftOut) {
    using Q = MeasuredQuantity;
    const auto tiny = [] { return Record({{0, 1.001}, {1, 1.05}, {2, 1.087}}, Q::Ph); };
    const auto ends = [] { return Marked({{0, 100}, {5, 200}, {10, 300}}, {0.16, 5.5, 9.9}); };
    const struct {
        const char* what;
        std::unique_ptr<SharedState> record;
        bool page;
        std::vector<std::string> shown;
        std::vector<std::string> left;  // left out
    } rows[] = {
        // pH 1.001 to 1.087 on the axis 0..14 is 3 pixels high: the first
        // point's value stays, the last point's would cover it.
        {"a curve of tiny range",
         tiny(),
         false,
         {"text '1.001' 0,", "text '0.' 0,", "text '7.' 0,", "text '14.' 0,"},
         {"text '1.087'"}},
        {"a curve of tiny range, page",
         tiny(),
         true,
         {"text '1.001' 200,", "text '7.' 0,"},
         {"text '1.087'"}},
        // 1.25 is a line (8 pixels) above 1.0, 1.2 less.
        {"values a line apart",
         Record({{0, 1.0}, {1, 1.25}}, Q::Ph),
         false,
         {"text '1.' 0,", "text '1.25' 0,"},
         {}},
        {"values closer",
         Record({{0, 1.0}, {1, 1.2}}, Q::Ph),
         false,
         {"text '1.' 0,"},
         {"text '1.2' 0,"}},
        // Equivalence points 0.16 mL from either end of 10 mL: the end labels
        // keep their place; the one in the middle keeps its own.
        {"equivalence points at the axis ends",
         ends(),
         false,
         {"text '0.' 60,", "text '10.' 700,", "text '5.5' "},
         {"text '0.16'", "text '9.9'"}},
        {"the same on the page, whose list names them all",
         ends(),
         true,
         {"text '0.' 160,", "text '5.5' 664,-1160", "text '0.16' 300,-1300", "text '9.9' 300,"},
         {"text '0.16' -20,-1160", "text '9.9' 1227,-1160"}},
        // The selected point's labels come after the equivalence points'.
        {"a selected point under an equivalence point",
         Marked({{0, 100}, {4.99, 150}, {5, 200}, {10, 300}}, {5.01}, 1),
         false,
         {"text '5.01' ", "text '150.' 0,"},
         {"text '4.99'"}},
    };
    for (const auto& row : rows) {
        RecordingSurface g;
        if (row.page) {
            PrintGraph(*row.record, g);
        } else {
            DrawGraph(*row.record, g, 800, 600);
        }
        for (const std::string& text : row.shown) {
            EXPECT_THAT(g.Only(text), Not(IsEmpty())) << row.what << ": " << text;
        }
        for (const std::string& text : row.left) {
            EXPECT_THAT(g.Only(text), IsEmpty()) << row.what << ": " << text;
        }
    }
    // A label left out keeps its lines and its square.
    auto s = tiny();
    RecordingSurface g;
    DrawGraph(*s, g, 800, 600);
    const std::string y = std::to_string(570 - static_cast<int>(1.087 * 480 / 14));
    EXPECT_THAT(g.log, Contains("line 720," + y + " 80," + y));
    EXPECT_THAT(g.log, Contains("line 720," + y + " 720,570"));
    EXPECT_THAT(g.Only("rect 717,"), Not(IsEmpty()));
}

}  // namespace
}  // namespace kelm
