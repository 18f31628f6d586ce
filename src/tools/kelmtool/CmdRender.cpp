// kelmtool render: the graph of a result file as a PNG or SVG image of the
// screen drawing, or as a PDF of the printed page with the equivalence points;
// with --overlay, the curves of several files in one graph.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/Cp1251.h"
#include "core/Quantity.h"
#include "core/SharedState.h"
#include "graph/GraphDrawing.h"
#include "graph/OverlayDrawing.h"
#include "graph/PainterSurface.h"
#include "graph/PlotLayout.h"
#include "processing/Processing.h"
#include "results/RecordResults.h"

namespace kelm::tool {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMaxImageSide = 10000;    // keeps an image within a few hundred megabytes
constexpr double kPageMarginMm = 10.0;  // stands in for a printer's unprintable edge
constexpr double kFallbackScreenDpi = 96.0;

enum class Format { Png, Svg, Pdf };

struct RenderOptions {
    std::vector<std::string> inputs;
    std::string output;
    Format format = Format::Png;
    bool derivative = false;
    bool process = false;
    bool overlay = false;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    std::string rangeText;  // as given, for the messages
    VisibleRange visible;   // the whole curve unless --range asks for less
};

constexpr std::string_view kUsage =
    "kelmtool render FILE.kel -o OUT.png|OUT.svg|OUT.pdf [--derivative] [--process] "
    "[--size WxH] [--range FROM:TO]\n"
    "       kelmtool render FILE.kel... --overlay -o OUT.png|OUT.svg|OUT.pdf [the same options]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "PNG and SVG draw the graph as the window shows it; PDF draws the printed\n"
                 "A4 page with the list of equivalence points.\n"
                 "  -o OUT          the file to write, its kind by its extension\n"
                 "  --derivative    show the derivative instead of the titration curve\n"
                 "  --process       process the curve with the file's settings first\n"
                 "  --size WxH      the image size in pixels (default 800x600)\n"
                 "  --range FROM:TO draw only the volumes from FROM to TO mL, the values\n"
                 "                  fitted to what is drawn there; either end may be left\n"
                 "                  open (4.5:6, 4.5:, :6), to reach the curve's end; a\n"
                 "                  range narrower than a ten-thousandth of the curve's\n"
                 "                  volumes is refused; without it the whole curve\n"
                 "  --overlay       draw the curves of all the files in one graph on common\n"
                 "                  axes, each in its own colour, with a legend of the file\n"
                 "                  names (on the PDF page below the graph); the files must\n"
                 "                  measure the same quantity\n";
}

// What one render draws: the screen drawing into a size, and the page.
struct Drawing {
    std::function<void(Surface&, int, int)> screen;
    std::function<void(Surface&)> page;
};

std::optional<Format> FormatOf(std::string_view path) {
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    std::string ext(path.substr(dot + 1));
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (ext == "png") {
        return Format::Png;
    }
    if (ext == "svg") {
        return Format::Svg;
    }
    if (ext == "pdf") {
        return Format::Pdf;
    }
    return std::nullopt;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        return false;
    }
    const std::optional<int> w = ParseIntInRange(text.substr(0, x), 1, kMaxImageSide);
    const std::optional<int> h = ParseIntInRange(text.substr(x + 1), 1, kMaxImageSide);
    if (!w || !h) {
        return false;
    }
    width = *w;
    height = *h;
    return true;
}

// Returns kExitOk, or the usage status after saying what is wrong.
int ReadOptions(const ParsedArgs& parsed, RenderOptions& options) {
    options.overlay = parsed.Has("--overlay");
    if (options.overlay ? parsed.positional.empty() : parsed.positional.size() != 1) {
        return UsageError(options.overlay ? "render --overlay needs one or more input files"
                                          : "render needs exactly one input file (several "
                                            "with --overlay)",
                          kUsage);
    }
    options.inputs.assign(parsed.positional.begin(), parsed.positional.end());
    const std::optional<std::string_view> output = parsed.Value("-o");
    if (!output) {
        return UsageError("render needs -o OUT", kUsage);
    }
    options.output = std::string(*output);
    const std::optional<Format> format = FormatOf(options.output);
    if (!format) {
        return UsageError("render writes .png, .svg or .pdf files", kUsage);
    }
    options.format = *format;
    if (const auto size = parsed.Value("--size");
        size && !ParseSize(*size, options.width, options.height)) {
        return UsageError("--size takes WxH, each from 1 to " + std::to_string(kMaxImageSide),
                          kUsage);
    }
    if (const auto range = parsed.Value("--range")) {
        const auto volumes = ParseVolumeRange(*range);
        // A range without width would draw every point on one line.
        if (!volumes || !(volumes->first < volumes->second)) {
            return UsageError(
                "--range takes FROM:TO in mL, such as 4.5:6, 4.5: or :6 (FROM below TO, "
                "neither below 0); got \"" +
                    std::string(*range) + "\"",
                kUsage);
        }
        options.rangeText = std::string(*range);
        options.visible.xFrom = volumes->first;
        options.visible.xTo = volumes->second;
    }
    options.derivative = parsed.Has("--derivative");
    options.process = parsed.Has("--process");
    return kExitOk;
}

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : kFallbackScreenDpi;
}

bool RenderPng(const Drawing& drawing, const RenderOptions& o, QBuffer& out) {
    QImage image(o.width, o.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterSurface surface = PainterSurface::ForScreen(painter);
        drawing.screen(surface, o.width, o.height);
    }
    return image.save(&out, "PNG");
}

bool RenderSvg(const Drawing& drawing, const RenderOptions& o, QBuffer& out) {
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(QSize(o.width, o.height));
    svg.setViewBox(QRect(0, 0, o.width, o.height));
    // Text sized against the screen, as in the window and the PNG.
    svg.setResolution(static_cast<int>(std::lround(ScreenDpi())));
    svg.setTitle(QStringLiteral("Kelm"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    painter.fillRect(QRect(0, 0, o.width, o.height), Qt::white);
    PainterSurface surface = PainterSurface::ForScreen(painter);
    drawing.screen(surface, o.width, o.height);
    return painter.end();
}

bool RenderPdf(const Drawing& drawing, QBuffer& out) {
    QPdfWriter pdf(&out);
    pdf.setCreator(QStringLiteral("Kelm"));
    pdf.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                    QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                    QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        return false;
    }
    const int fontHeight = PageFontHeight(static_cast<int>(std::lround(ScreenDpi())));
    PainterSurface surface = PainterSurface::ForPage(painter, pdf.resolution(), fontHeight);
    drawing.page(surface);
    return painter.end();
}

// Loads every input, processes it when asked and sets the view mode; prints
// what went wrong and returns its status, or kExitOk.
int LoadInputs(const RenderOptions& options, std::vector<std::unique_ptr<SharedState>>& states) {
    for (const std::string& input : options.inputs) {
        auto state = std::make_unique<SharedState>();
        InitFreshState(*state);
        if (const int status = LoadRecordFile(input, *state); status != kExitOk) {
            return status;
        }
        if (options.derivative) {
            state->display.viewMode = ViewMode::Derivative;
        }
        if (options.process) {
            const int result = RunProcessing(*state);
            const std::string who = options.overlay ? input + ": " : std::string();
            if (result == kTooFewPoints) {
                PrintError(who + std::string(kTooFewPointsMessage) + "; drawn without processing");
            } else if (result == kNoPointFound) {
                PrintError(who + std::string(kNoPointFoundMessage) + "; drawn without processing");
            }
        }
        states.push_back(std::move(state));
    }
    return kExitOk;
}

// Whether anything of a record is drawn within the visible range.
bool DrawsWithin(const SharedState& state, const VisibleRange& visible) {
    if (PointCount(state.record) == 0) {
        return false;
    }
    const ViewMode mode = state.display.viewMode;
    ValueFit fit;
    FitDrawnValues(BuildPlottedSeries(state.record, mode), MeasuredPointsDrawn(state, mode),
                   ProcessedSeriesOf(state, mode), mode, visible, fit);
    return fit.Any();
}

// A range that holds nothing of any curve would give an empty frame: it is
// refused, naming the volumes there are.
std::optional<std::string> NothingWithin(const RenderOptions& options,
                                         const std::vector<std::unique_ptr<SharedState>>& states) {
    if (options.visible.Whole()) {
        return std::nullopt;
    }
    std::string volumes;
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (DrawsWithin(*states[i], options.visible)) {
            return std::nullopt;
        }
        const TitrationRecord& r = states[i]->record;
        const int n = PointCount(r);
        volumes += (volumes.empty() ? "" : "; ") + options.inputs[i] +
                   (n == 0 ? std::string(" has no point")
                           : " runs from " + JsonNumber(r.points[0].volume) + " to " +
                                 JsonNumber(r.points[n - 1].volume) + " mL");
    }
    return "nothing of the curve lies in --range " + options.rangeText + " (" + volumes + ")";
}

// A range whose open ends, taken to the curves' ends, leave it narrower than
// the window lets a zoom go would draw every point on one line: it is refused.
std::optional<std::string> TooNarrow(const RenderOptions& options,
                                     const std::vector<std::unique_ptr<SharedState>>& states) {
    if (options.visible.Whole()) {
        return std::nullopt;
    }
    double low = kOpenEnd;
    double high = -kOpenEnd;
    for (const auto& state : states) {
        if (PointCount(state->record) == 0) {
            continue;
        }
        const ViewMode mode = state->display.viewMode;
        const AxisRanges r = ComputeRanges(BuildPlottedSeries(state->record, mode),
                                           ProcessedSeriesOf(*state, mode), mode);
        low = std::min(low, r.xMin);
        high = std::max(high, r.xMax);
    }
    if (!(low <= high)) {
        return std::nullopt;  // nothing drawn: told apart before this
    }
    const double from = std::isfinite(options.visible.xFrom) ? options.visible.xFrom : low;
    const double to = std::isfinite(options.visible.xTo) ? options.visible.xTo : high;
    const double least = (high - low) * kLeastVisibleShare;
    if (to - from > 0.0 && to - from >= least) {
        return std::nullopt;
    }
    return "--range " + options.rangeText + " is too narrow: from " + JsonNumber(from) + " to " +
           JsonNumber(to) + " mL, where the curve runs from " + JsonNumber(low) + " to " +
           JsonNumber(high) + " mL and a range needs more than 0 and at least " +
           JsonNumber(least) + " mL (a ten-thousandth of that)";
}

// One value axis cannot show two quantities: their curves are not overlaid.
std::optional<std::string> MixedQuantities(
    const RenderOptions& options, const std::vector<std::unique_ptr<SharedState>>& states) {
    for (std::size_t i = 1; i < states.size(); ++i) {
        const MeasuredQuantity q = states[i]->record.quantity;
        if (q != states[0]->record.quantity) {
            return "cannot overlay curves of different quantities: " + options.inputs[0] + " " +
                   Cp1251ToUtf8(QuantityName(states[0]->record.quantity)) + ", " +
                   options.inputs[i] + " " + Cp1251ToUtf8(QuantityName(q));
        }
    }
    return std::nullopt;
}

}  // namespace

int RunRender(Args args) {
    const std::optional<ParsedArgs> parsed =
        ParseArgs(args, {"-o", "--size", "--range"}, {"--derivative", "--process", "--overlay"});
    if (!parsed) {
        return kExitUsage;
    }
    if (parsed->help) {
        PrintHelp();
        return kExitOk;
    }
    RenderOptions options;
    if (const int status = ReadOptions(*parsed, options); status != kExitOk) {
        return status;
    }

    std::vector<std::unique_ptr<SharedState>> states;
    if (const int status = LoadInputs(options, states); status != kExitOk) {
        return status;
    }
    if (const auto nothing = NothingWithin(options, states)) {
        PrintError(*nothing);
        return kExitDataErr;
    }
    if (const auto narrow = TooNarrow(options, states)) {
        return UsageError(*narrow, kUsage);
    }
    Drawing drawing;
    // The legend names the files; its texts live as long as the drawing.
    std::vector<std::string> labels;
    std::vector<OverlayCurve> curves;
    if (options.overlay) {
        if (const auto mixed = MixedQuantities(options, states)) {
            PrintError(*mixed);
            return kExitDataErr;
        }
        for (const std::string& input : options.inputs) {
            labels.push_back(Utf8ToCp1251(std::filesystem::path(input).filename().string()));
        }
        for (std::size_t i = 0; i < states.size(); ++i) {
            curves.push_back({states[i].get(), labels[i]});
        }
        const ViewMode mode = options.derivative ? ViewMode::Derivative : ViewMode::Curve;
        drawing.screen = [&curves, mode, &options](Surface& s, int w, int h) {
            DrawOverlay(curves, mode, s, w, h, options.visible);
        };
        drawing.page = [&curves, mode, &options](Surface& s) {
            PrintOverlay(curves, mode, s, options.visible);
        };
    } else {
        SharedState* state = states.front().get();
        drawing.screen = [state, &options](Surface& s, int w, int h) {
            DrawGraph(*state, s, w, h, options.visible);
        };
        drawing.page = [state, &options](Surface& s) {
            const PageResults results = ResultPageTexts(*state);
            PrintGraph(*state, s, results.pointNotes, results.listNotes, options.visible);
        };
    }

    // Rendering needs no display: the offscreen platform draws the same.
    std::optional<QGuiApplication> app;
    if (QGuiApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "kelmtool";
        static char* argv[] = {name, nullptr};
        app.emplace(argc, argv);
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    switch (options.format) {
        case Format::Png:
            drawn = RenderPng(drawing, options, buffer);
            break;
        case Format::Svg:
            drawn = RenderSvg(drawing, options, buffer);
            break;
        case Format::Pdf:
            drawn = RenderPdf(drawing, buffer);
            break;
    }
    buffer.close();
    if (!drawn) {
        PrintError("could not draw " + options.output);
        return kExitIoErr;
    }
    return WriteOutputFile(options.output,
                           std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace kelm::tool
