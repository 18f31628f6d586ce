// The Surface that draws with a QPainter: the window, the printer, print
// preview and image files (PNG, SVG, PDF). Lines that join end to end go to
// the painter as one polyline, and squares that follow each other as one
// batch: a pass draws hundreds of each, and one call each costs far less.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "graph/Surface.h"

namespace kelm {

class PainterSurface final : public Surface {
public:
    // Surface units are the painter's device pixels; text in the painter's font.
    static PainterSurface ForScreen(QPainter& painter);

    // Surface units are 0.1 mm on a device of the given resolution; the y the
    // page drawing passes (negative, growing upwards) is negated back so that the
    // page reads top to bottom and text stays upright. Text in "Arial" of the
    // given height in 0.1 mm.
    static PainterSurface ForPage(QPainter& painter, double deviceDotsPerInch, int fontHeight);

    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;
    // Draws what is still held back.
    ~PainterSurface() override;

    void SelectPen(const Pen& pen) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void DrawText(std::string_view cp1251Text, const TextRect& rect, HAlign h, VAlign v) override;
    TextSize MeasureText(std::string_view cp1251Text) override;
    void Flush() override;

private:
    PainterSurface(QPainter& painter, double scale, bool negateY);
    QPointF Map(int x, int y) const;
    QRectF MapRect(int left, int top, int right, int bottom) const;
    // The box of a rectangle or ellipse outline.
    QRectF MapShape(int left, int top, int right, int bottom) const;
    // Decodes the text into text_.
    void Decode(std::string_view cp1251Text);

    // Lines and squares held back to be drawn in one call each; at most this
    // many at a time (a pass's longest run is the 500-point curve).
    static constexpr int kBatch = 1024;

    QPainter* painter_;
    QPen pen_;  // the current pen, put back after a text
    double scale_;
    bool negateY_;
    // On the screen (device pixels) a shape ends before its right and bottom
    // coordinates; on the page one 0.1 mm unit is below what matters.
    bool excludeFarEdges_;
    int x_ = 0;
    int y_ = 0;
    QString text_;                          // reused for every text, decoded from code page 1251
    std::optional<QFontMetricsF> metrics_;  // of the font the texts are drawn in
    std::array<QPointF, kBatch> polyline_{};
    int polylineCount_ = 0;
    std::array<QRectF, kBatch> squares_{};
    int squareCount_ = 0;
};

}  // namespace kelm
