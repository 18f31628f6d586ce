// The Surface that draws with a QPainter: the window, the printer, print
// preview and image files (PNG, SVG, PDF).
#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

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

    void SelectPen(const Pen& pen) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void DrawText(std::string_view cp1251Text, const TextRect& rect, HAlign h, VAlign v) override;

private:
    PainterSurface(QPainter& painter, double scale, bool negateY);
    QPointF Map(int x, int y) const;
    QRectF MapRect(int left, int top, int right, int bottom) const;
    // The box of a rectangle or ellipse outline.
    QRectF MapShape(int left, int top, int right, int bottom) const;

    QPainter* painter_;
    double scale_;
    bool negateY_;
    // On the screen (device pixels) a shape ends before its right and bottom
    // coordinates; on the page one 0.1 mm unit is below what matters.
    bool excludeFarEdges_;
    int x_ = 0;
    int y_ = 0;
    QString text_;  // reused for every text, decoded from code page 1251
};

}  // namespace kelm
