#include "graph/PainterSurface.h"

#include <QColor>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>

#include "core/Cp1251.h"

namespace kelm {

namespace {

constexpr double kTenthsOfMmPerInch = 254.0;

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, double scale, bool negateY)
    : painter_(&painter), scale_(scale), negateY_(negateY), excludeFarEdges_(!negateY) {
    painter_->setBrush(Qt::white);
}

PainterSurface PainterSurface::ForScreen(QPainter& painter) {
    return {painter, 1.0, false};
}

PainterSurface PainterSurface::ForPage(QPainter& painter, double deviceDotsPerInch,
                                       int fontHeight) {
    const double scale = deviceDotsPerInch / kTenthsOfMmPerInch;  // device dots per 0.1 mm
    QFont font(QStringLiteral("Arial"));
    // The character height (without internal leading) is the font's em size.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(fontHeight * scale))));
    painter.setFont(font);
    return {painter, scale, true};
}

QPointF PainterSurface::Map(int x, int y) const {
    return {x * scale_, (negateY_ ? -double(y) : double(y)) * scale_};
}

QRectF PainterSurface::MapRect(int left, int top, int right, int bottom) const {
    return QRectF(Map(left, top), Map(right, bottom)).normalized();
}

void PainterSurface::SelectPen(const Pen& pen) {
    QPen qpen(QColor(pen.colour.red, pen.colour.green, pen.colour.blue));
    const double width = pen.width * scale_;
    qpen.setWidthF(std::max(1.0, width));
    qpen.setStyle(pen.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    // A one-pixel line with flat ends leaves its end point unpainted, as the
    // lines the drawing was laid out for do; wider lines get round ends and
    // joins, so that lines meeting at a corner leave no notch.
    const bool thin = width <= 1.0;
    qpen.setCapStyle(thin || pen.style == PenStyle::Dot ? Qt::FlatCap : Qt::RoundCap);
    qpen.setJoinStyle(thin ? Qt::MiterJoin : Qt::RoundJoin);
    painter_->setPen(qpen);
}

void PainterSurface::MoveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void PainterSurface::LineTo(int x, int y) {
    painter_->drawLine(Map(x_, y_), Map(x, y));
    x_ = x;
    y_ = y;
}

QRectF PainterSurface::MapShape(int left, int top, int right, int bottom) const {
    QRectF box = MapRect(left, top, right, bottom);
    if (excludeFarEdges_) {
        // A 1-pixel outline of drawRect covers left..right inclusive; the
        // drawing's right and bottom edges lie just outside the shape.
        box.setWidth(std::max(0.0, box.width() - 1.0));
        box.setHeight(std::max(0.0, box.height() - 1.0));
    }
    return box;
}

void PainterSurface::Rectangle(int left, int top, int right, int bottom) {
    painter_->drawRect(MapShape(left, top, right, bottom));
}

void PainterSurface::Ellipse(int left, int top, int right, int bottom) {
    painter_->drawEllipse(MapShape(left, top, right, bottom));
}

void PainterSurface::DrawText(std::string_view cp1251Text, const TextRect& rect, HAlign h,
                              VAlign v) {
    text_.resize(qsizetype(cp1251Text.size()));
    for (std::size_t i = 0; i < cp1251Text.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1251Text[i]);
        text_[qsizetype(i)] = QChar(char16_t(b < 0x80 ? b : kCp1251Upper[b - 0x80]));
    }
    int flags = Qt::TextSingleLine;
    flags |= h == HAlign::Left     ? Qt::AlignLeft
             : h == HAlign::Centre ? Qt::AlignHCenter
                                   : Qt::AlignRight;
    flags |= v == VAlign::Top ? Qt::AlignTop : Qt::AlignVCenter;
    const QRectF box = MapRect(rect.left, rect.top, rect.right, rect.bottom);
    painter_->save();
    // Text in black whatever pen is current, clipped to its box. No opaque
    // background: a long description would blank out the value-axis title on
    // the page, and axes and grid lines would break under every label.
    painter_->setPen(Qt::black);
    painter_->setClipRect(box, Qt::IntersectClip);
    painter_->drawText(box, flags, text_);
    painter_->restore();
}

}  // namespace kelm
