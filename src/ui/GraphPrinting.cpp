#include "ui/GraphPrinting.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <filesystem>
#include <string_view>

#include "core/FileWriter.h"
#include "core/Prompter.h"
#include "graph/GraphDrawing.h"
#include "graph/PainterSurface.h"
#include "results/RecordResults.h"

namespace kelm {

namespace {

int ScreenDotsPerInchY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchY()) : 96;
}

bool DrawPage(SharedState& state, QPagedPaintDevice& device, int resolution) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    PainterSurface surface =
        PainterSurface::ForPage(painter, resolution, PageFontHeight(ScreenDotsPerInchY()));
    const PageResults results = ResultPageTexts(state);
    PrintGraph(state, surface, results.pointNotes, results.listNotes);
    return painter.end();
}

}  // namespace

bool PrintPage(SharedState& state, QPrinter& printer) {
    const QString file = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) {
        return DrawPage(state, printer, printer.resolution());
    }
    // A PDF file is drawn in memory and goes through the one writer, like
    // every file Kelm writes: a failure never leaves half a file in its place.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator(QStringLiteral("Kelm"));
    pdf.setTitle(printer.docName());
    pdf.setResolution(printer.resolution());
    pdf.setPageLayout(printer.pageLayout());
    if (!DrawPage(state, pdf, pdf.resolution())) {
        return false;
    }
    buffer.close();
    return WriteWholeFile(std::filesystem::path(file.toStdU16String()),
                          std::string_view(bytes.constData(), std::size_t(bytes.size())))
        .Written();
}

bool PrintWithoutDialog(SharedState& state, const QString& printerName, Prompter& prompter) {
    const QPrinterInfo info = printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                    : QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) {
        prompter.Error(kAppCaption,
                       printerName.isEmpty()
                           ? std::string("Не задан принтер по умолчанию: печать невозможна.")
                           : "Принтер «" + printerName.toStdString() + "» не найден.");
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    if (!PrintPage(state, printer)) {
        prompter.Error(kAppCaption, kPrintFailedMessage);
        return false;
    }
    return true;
}

}  // namespace kelm
