// A drawing pass allocates nothing, whole or zoomed, on the screen, on the
// page and in an overlay, and neither do the readout and the zoom: this test
// binary counts every operator new.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "graph/CursorReadout.h"
#include "graph/GraphDrawing.h"
#include "graph/OverlayDrawing.h"
#include "graph/PlotZoom.h"
#include "support/CountedAllocations.h"

namespace kelm {
namespace {

// Draws nothing and keeps nothing.
class NullSurface final : public Surface {
public:
    void SelectPen(const Pen&) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void DrawText(std::string_view, const TextRect&, HAlign, VAlign) override {}
    TextSize MeasureText(std::string_view text) override {
        return {static_cast<int>(text.size()) * 7, 16, 3, 13};
    }
};

// 255 points, a 500-point processed curve and 250 equivalence points.
std::unique_ptr<SharedState> FullRecord(ViewMode mode) {
    auto s = std::make_unique<SharedState>();
    NewRecord(*s);
    s->display.viewMode = mode;
    const auto curve = [](double v) { return 200.0 + 300.0 * std::tanh((v - 6.0) * 1.5); };
    s->record.pointCount = kMaxPoints;
    s->record.selectedPoint = 100;
    for (int i = 0; i < kMaxPoints; ++i) {
        s->record.points[i] = {12.0 * i / (kMaxPoints - 1), curve(12.0 * i / (kMaxPoints - 1))};
    }
    s->curve.curveProcessed = 1;
    s->processing.interpolationPointCount = kMaxGridPoints;
    for (int k = 0; k < kMaxGridPoints; ++k) {
        const double v = 12.0 * k / (kMaxGridPoints - 1);
        s->curve.gridVolume[k] = v;
        s->curve.smoothedValue[k] = curve(v);
        s->curve.firstDerivative[k] = 450.0 / std::pow(std::cosh((v - 6.0) * 1.5), 2);
    }
    s->curve.equivalencePointCount = kMaxEquivalencePoints;
    for (int j = 0; j < kMaxEquivalencePoints; ++j) {
        s->curve.equivalencePoints[j] = {0.048 * j, curve(0.048 * j), 10.0};
    }
    return s;
}

TEST(GraphDrawing, AllocatesNothing) {
    const VisibleRange part{5.0, 7.0, 0.0, 450.0};
    const VisibleRange volumes{5.0, 7.0, -kOpenEnd, kOpenEnd};
    for (ViewMode mode : {ViewMode::Curve, ViewMode::Derivative}) {
        auto s = FullRecord(mode);
        const std::vector<OverlayCurve> curves = {{s.get(), "a"}, {s.get(), "b"}};
        auto layout = std::make_unique<PlotLayout>();
        NullSurface surface;
        PlotZoom zoom;
        const std::function<void()> runs[] = {
            [&] { DrawGraph(*s, surface, 1000, 700); },
            [&] { DrawGraph(*s, surface, 1000, 700, part); },
            [&] { PrintGraph(*s, surface, {}, {}, volumes); },
            [&] { DrawOverlay(curves, mode, surface, 1000, 700, volumes); },
            [&] {
                LayOutScreen(*s, 1000, 700, part, *layout);
                CursorReadout(*s, *layout, {500, 300});
                PointReadout(*s, *layout, 120);
            },
            [&] {
                zoom.ZoomToRect(layout->scale, layout->scale, mode, {200, 200}, {400, 400});
                zoom.ZoomAbout(layout->scale, layout->scale, mode, {300, 300}, 2.0);
                zoom.Pan(layout->scale, layout->scale, mode, 0.1, 0.1);
                zoom.Reveal(layout->scale, layout->scale, mode, {1.0, 100.0});
            },
        };
        for (std::size_t i = 0; i < std::size(runs); ++i) {
            const long before = test::AllocationCount();
            runs[i]();
            EXPECT_EQ(test::AllocationCount() - before, 0) << "run " << i;
        }
    }
}

}  // namespace
}  // namespace kelm
