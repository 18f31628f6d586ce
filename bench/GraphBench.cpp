// One drawing pass of a full record: 255 measured points and a 500-point
// processed curve with equivalence points, into a 1000 x 700 image through the
// QPainter surface, and into a surface that draws nothing (the pass's own cost);
// the whole curve and a part of it. The target: a screen pass within 1 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "RunBenchmarks.h"
#include "core/SharedState.h"
#include "graph/GraphDrawing.h"

#ifdef KELM_BENCH_WITH_QT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "graph/PainterSurface.h"
#endif

namespace {

using namespace kelm;

std::unique_ptr<SharedState> FullRecord() {
    auto s = std::make_unique<SharedState>();
    NewRecord(*s);
    ApplyStartDefaults(*s);
    const auto curve = [](double v) { return 200.0 + 300.0 * std::tanh((v - 6.0) * 1.5); };
    s->record.pointCount = kMaxPoints;
    for (int i = 0; i < kMaxPoints; ++i) {
        const double v = 12.0 * i / (kMaxPoints - 1);
        s->record.points[i] = {v, curve(v)};
    }
    s->record.selectedPoint = 100;
    s->record.startTimeKnown = 1;
    s->record.startTime = {2006, 3, 5, 9, 7};
    s->curve.curveProcessed = 1;
    s->processing.interpolationPointCount = kMaxGridPoints;
    for (int k = 0; k < kMaxGridPoints; ++k) {
        const double v = 12.0 * k / (kMaxGridPoints - 1);
        s->curve.gridVolume[k] = v;
        s->curve.smoothedValue[k] = curve(v);
        s->curve.firstDerivative[k] = 450.0 / std::pow(std::cosh((v - 6.0) * 1.5), 2);
    }
    s->curve.equivalencePointCount = 3;
    s->curve.equivalencePoints[0] = {4.0, curve(4.0), 10.0};
    s->curve.equivalencePoints[1] = {6.0, curve(6.0), 450.0};
    s->curve.equivalencePoints[2] = {8.0, curve(8.0), 10.0};
    return s;
}

class NullSurface final : public Surface {
public:
    void SelectPen(const Pen&) override { ++calls; }
    void MoveTo(int, int) override { ++calls; }
    void LineTo(int, int) override { ++calls; }
    void Rectangle(int, int, int, int) override { ++calls; }
    void Ellipse(int, int, int, int) override { ++calls; }
    void DrawText(std::string_view, const TextRect&, HAlign, VAlign) override { ++calls; }
    TextSize MeasureText(std::string_view text) override {
        ++calls;
        return {static_cast<int>(text.size()) * 7, 16, 3, 13};
    }
    long calls = 0;
};

void BM_ScreenPassNullSurface(benchmark::State& run) {
    auto s = FullRecord();
    NullSurface surface;
    for (auto _ : run) {
        DrawGraph(*s, surface, 1000, 700);
    }
    benchmark::DoNotOptimize(surface.calls);
}
BENCHMARK(BM_ScreenPassNullSurface)->Unit(benchmark::kMicrosecond);

void BM_ZoomedPassNullSurface(benchmark::State& run) {
    auto s = FullRecord();
    NullSurface surface;
    const VisibleRange jump{5.0, 7.0, -kOpenEnd, kOpenEnd};
    for (auto _ : run) {
        DrawGraph(*s, surface, 1000, 700, jump);
    }
    benchmark::DoNotOptimize(surface.calls);
}
BENCHMARK(BM_ZoomedPassNullSurface)->Unit(benchmark::kMicrosecond);

void BM_PagePassNullSurface(benchmark::State& run) {
    auto s = FullRecord();
    NullSurface surface;
    for (auto _ : run) {
        PrintGraph(*s, surface);
    }
    benchmark::DoNotOptimize(surface.calls);
}
BENCHMARK(BM_PagePassNullSurface)->Unit(benchmark::kMicrosecond);

#ifdef KELM_BENCH_WITH_QT
void BM_ScreenPassPainterImage(benchmark::State& run) {
    auto s = FullRecord();
    QImage image(1000, 700, QImage::Format_RGB32);
    for (auto _ : run) {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterSurface surface = PainterSurface::ForScreen(painter);
        DrawGraph(*s, surface, 1000, 700);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_ScreenPassPainterImage)->Unit(benchmark::kMillisecond);

// The same zoomed on the jump: lines cut at the edges, round reference lines.
void BM_ScreenPassPainterImageZoomed(benchmark::State& run) {
    auto s = FullRecord();
    QImage image(1000, 700, QImage::Format_RGB32);
    const VisibleRange jump{5.0, 7.0, 0.0, 450.0};
    for (auto _ : run) {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterSurface surface = PainterSurface::ForScreen(painter);
        DrawGraph(*s, surface, 1000, 700, jump);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_ScreenPassPainterImageZoomed)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef KELM_BENCH_WITH_QT
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#endif
    return kelm::bench::RunBenchmarks(argc, argv);
}
