// kelmtool render: the graph of a result file as a PNG or SVG image of the
// screen drawing, or as a PDF of the printed page with the equivalence points.
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
#include <cctype>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolSupport.h"
#include "core/SharedState.h"
#include "graph/GraphDrawing.h"
#include "graph/PainterSurface.h"
#include "processing/Processing.h"

namespace kelm::tool {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMaxImageSide = 10000;    // keeps an image within a few hundred megabytes
constexpr double kPageMarginMm = 10.0;  // stands in for a printer's unprintable edge
constexpr double kFallbackScreenDpi = 96.0;

enum class Format { Png, Svg, Pdf };

struct RenderOptions {
    std::string input;
    std::string output;
    Format format = Format::Png;
    bool derivative = false;
    bool process = false;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
};

constexpr std::string_view kUsage =
    "kelmtool render FILE.kel -o OUT.png|OUT.svg|OUT.pdf [--derivative] [--process] "
    "[--size WxH]";

void PrintHelp() {
    std::cout << "Usage: " << kUsage << "\n"
              << "PNG and SVG draw the graph as the window shows it; PDF draws the printed\n"
                 "A4 page with the list of equivalence points.\n"
                 "  -o OUT          the file to write, its kind by its extension\n"
                 "  --derivative    show the derivative instead of the titration curve\n"
                 "  --process       process the curve with the file's settings first\n"
                 "  --size WxH      the image size in pixels (default 800x600)\n";
}

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
    if (parsed.positional.size() != 1) {
        return UsageError("render needs exactly one input file", kUsage);
    }
    options.input = std::string(parsed.positional[0]);
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
    options.derivative = parsed.Has("--derivative");
    options.process = parsed.Has("--process");
    return kExitOk;
}

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : kFallbackScreenDpi;
}

bool RenderPng(SharedState& state, const RenderOptions& o, QBuffer& out) {
    QImage image(o.width, o.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterSurface surface = PainterSurface::ForScreen(painter);
        DrawGraph(state, surface, o.width, o.height);
    }
    return image.save(&out, "PNG");
}

bool RenderSvg(SharedState& state, const RenderOptions& o, QBuffer& out) {
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
    DrawGraph(state, surface, o.width, o.height);
    return painter.end();
}

bool RenderPdf(SharedState& state, QBuffer& out) {
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
    PrintGraph(state, surface);
    return painter.end();
}

}  // namespace

int RunRender(Args args) {
    const std::optional<ParsedArgs> parsed =
        ParseArgs(args, {"-o", "--size"}, {"--derivative", "--process"});
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

    auto state = std::make_unique<SharedState>();
    InitFreshState(*state);
    if (const int status = LoadRecordFile(options.input, *state); status != kExitOk) {
        return status;
    }
    if (options.derivative) {
        state->display.viewMode = ViewMode::Derivative;
    }
    if (options.process) {
        const int result = RunProcessing(*state);
        if (result == kTooFewPoints) {
            PrintError(std::string(kTooFewPointsMessage) + "; drawn without processing");
        } else if (result == kNoPointFound) {
            PrintError(std::string(kNoPointFoundMessage) + "; drawn without processing");
        }
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
            drawn = RenderPng(*state, options, buffer);
            break;
        case Format::Svg:
            drawn = RenderSvg(*state, options, buffer);
            break;
        case Format::Pdf:
            drawn = RenderPdf(*state, buffer);
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
