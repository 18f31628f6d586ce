// The entry window's own work: one acquisition tick (reading, history, drift
// rule, the value box repainted) with a port that answers at once from
// memory, so the wire's 22 ms at 9600 baud are left out; and a typed point
// recorded with its row, the processing dialog's count, the window's repaint
// and the graph drawn in full, on a record of 200 to 254 points with a
// processed curve.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "RunBenchmarks.h"
#include "acquisition/Clock.h"
#include "core/SharedState.h"
#include "graph/GraphDrawing.h"
#include "graph/PainterSurface.h"
#include "processing/Processing.h"
#include "support/AnsweringPort.h"
#include "ui/CTitrationEntryDlg.h"
#include "ui/DialogHost.h"
#include "ui/ProcessingCommand.h"

namespace {

using namespace kelm;

// A meter whose EMF is a millivolt higher at every request, so that the
// drift never falls low enough to record.
std::unique_ptr<SerialPort> RampingMeter() {
    return std::make_unique<test::AnsweringPort>(
        [mv = 0.0f](std::span<const std::uint8_t> request) mutable {
            return test::MeasurementReply(request[1], request[5], request[6], mv += 1.0f);
        },
        "/dev/bench");
}

class SilentPrompter final : public Prompter {
public:
    void Inform(std::string_view, std::string_view) override {}
    void Error(std::string_view, std::string_view) override {}
    void Warn(std::string_view, std::string_view) override {}
    Answer AskYesNo(std::string_view, std::string_view, Answer, QuestionIcon) override {
        return Answer::No;
    }
};

class SteppingClock final : public Clock {
public:
    LocalTime Now() const override {
        const long s = seconds % 86400;
        return {2006, 3, 5, int(s / 3600), int(s / 60 % 60), int(s % 60)};
    }
    long seconds = 9 * 3600;
};

class Processing final : public CProcessingDlgBase {
public:
    void RefreshPointCount() override { ++refreshes; }
    long refreshes = 0;
};

// A program without its main window: the state, the host, the command and
// an entry window on an answering port.
struct Bench {
    Bench() {
        NewRecord(state);
        ApplyStartDefaults(state);
        DialogFactories factories;
        factories.processing = [this](QWidget*) { return processingDialog.get(); };
        host.Register(factories);
        host.ShowProcessing()->hide();
        dialog = std::make_unique<CTitrationEntryDlg>(context, nullptr);
        dialog->show();
    }
    QLineEdit* Box(const char* name) { return dialog->findChild<QLineEdit*>(name); }
    QPushButton* Button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    void Enter(QLineEdit* box, const QString& text) {
        box->clear();
        box->insert(text);  // as the user types
    }

    SharedState state;
    DialogHost host{state};
    ProcessingCommand processing{state, host,
                                 [](QWidget*) { return std::make_unique<SilentPrompter>(); }};
    SteppingClock clock;
    UserStore store{{}};  // never opened here
    DialogContext context{state,        host,
                          processing,   [](QWidget*) { return std::make_unique<SilentPrompter>(); },
                          RampingMeter, [] { return PortMap::Parse("COM1=/dev/bench\n"); },
                          clock,        store,
                          {},           {}};
    std::unique_ptr<Processing> processingDialog = std::make_unique<Processing>();
    std::unique_ptr<CTitrationEntryDlg> dialog;
};

// Arguments: the record mode (1 or 3), and 1 to let the window repaint in
// each iteration as the event loop would after the tick.
void BM_Tick(benchmark::State& run) {
    Bench b;
    b.state.acquisition.recordMode = static_cast<RecordMode>(run.range(0));
    const bool repaint = run.range(1) != 0;
    b.dialog->hide();
    b.dialog->show();  // shown afresh in that mode
    b.Enter(b.Box("additionBox"), "1");
    b.Button("addButton")->click();
    QCoreApplication::processEvents();
    for (auto _ : run) {
        ++b.clock.seconds;
        b.dialog->OnAcquisitionTick();
        if (repaint) {
            QCoreApplication::processEvents();  // the value box repaints
        }
    }
    if (b.state.record.pointCount != 0) {
        run.SkipWithError("a point was recorded");
    }
    run.SetLabel(std::string(run.range(0) == 1 ? "from the meter" : "drift rule") +
                 (repaint ? ", window repainted" : ""));
}
BENCHMARK(BM_Tick)->Args({1, 0})->Args({3, 0})->Args({3, 1})->Unit(benchmark::kMicrosecond);

// The same repaint of a lone line edit in a window of the entry window's
// size: what the toolkit itself costs, for reading the tick's figure.
void BM_LoneBoxRepaint(benchmark::State& run) {
    QWidget window;
    window.resize(600, 500);
    QLineEdit box(&window);
    box.setGeometry(10, 10, 120, 24);
    box.setReadOnly(true);
    window.show();
    QCoreApplication::processEvents();
    int mv = 0;
    for (auto _ : run) {
        box.setText(QString::number(++mv));
        QCoreApplication::processEvents();
    }
    run.SetLabel("toolkit only");
}
BENCHMARK(BM_LoneBoxRepaint)->Unit(benchmark::kMicrosecond);

// Argument: 1 to let the window repaint its row and controls in each iteration.
void BM_RecordPointWithRedraw(benchmark::State& run) {
    Bench b;
    const bool repaint = run.range(0) != 0;
    constexpr int kFirst = 200;
    const auto curve = [](double v) { return 200.0 + 300.0 * std::tanh((v - 12.0) * 0.5); };
    b.state.record.pointCount = kFirst;
    for (int i = 0; i < kFirst; ++i) {
        b.state.record.points[i] = {0.1 * (i + 1), curve(0.1 * (i + 1))};
    }
    RunProcessing(b.state);  // the graph draws a processed curve too
    // The view's paint, done at once rather than on the next turn of the loop.
    QImage image(1000, 700, QImage::Format_RGB32);
    b.state.redrawViews = [&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterSurface surface = PainterSurface::ForScreen(painter);
        DrawGraph(b.state, surface, image.width(), image.height());
    };
    b.dialog->hide();
    b.dialog->show();
    QLineEdit* addition = b.Box("additionBox");
    QLineEdit* value = b.Box("valueBox");
    QPushButton* add = b.Button("addButton");
    QPushButton* record = b.Button("recordButton");
    for (auto _ : run) {
        run.PauseTiming();
        if (b.state.record.pointCount >= kMaxPoints - 1) {
            b.state.record.pointCount = kFirst;
            b.dialog->hide();
            b.dialog->show();
        }
        b.Enter(addition, "0.1");
        add->click();
        const int n = b.state.record.pointCount;
        b.Enter(value, QString::number(curve(0.1 * (n + 1))));
        QCoreApplication::processEvents();
        run.ResumeTiming();
        record->click();
        if (repaint) {
            QCoreApplication::processEvents();  // the window repaints its row and boxes
        }
    }
    run.SetLabel(repaint ? "200..254 points, window repainted" : "200..254 points");
}
BENCHMARK(BM_RecordPointWithRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return kelm::bench::RunBenchmarks(argc, argv);
}
