#include "ui/GraphPrinting.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include "core/Prompter.h"
#include "graph/GraphDrawing.h"
#include "graph/PainterSurface.h"

namespace kelm {

namespace {

int ScreenDotsPerInchY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchY()) : 96;
}

}  // namespace

bool PrintPage(SharedState& state, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    PainterSurface surface = PainterSurface::ForPage(painter, printer.resolution(),
                                                     PageFontHeight(ScreenDotsPerInchY()));
    PrintGraph(state, surface);
    return true;
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
