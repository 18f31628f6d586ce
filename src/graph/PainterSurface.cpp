#include "graph/PainterSurface.h"

#include <QColor>
#include <QPen>
#include <QString>
#include <QStringDecoder>

namespace kelm {

PainterSurface::PainterSurface(QPainter& painter, double scale, bool negateY)
    : painter_(&painter), scale_(scale), negateY_(negateY) {
    painter_->setBrush(Qt::white);
}

PainterSurface PainterSurface::ForScreen(QPainter& painter) { return {painter, 1.0, false}; }

PainterSurface PainterSurface::ForPage(QPainter& painter, double deviceDotsPerInch,
                                       int fontHeight) {
    const double scale = deviceDotsPerInch / 254.0;  // device dots per 0.1 mm
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, static_cast<int>(fontHeight * scale)));
    painter.setFont(font);
    return {painter, scale, true};
}

QPointF PainterSurface::Map(int x, int y) const {
    return {x * scale_, (negateY_ ? -y : y) * scale_};
}

QRectF PainterSurface::MapRect(int left, int top, int right, int bottom) const {
    return QRectF(Map(left, top), Map(right, bottom)).normalized();
}

void PainterSurface::SelectPen(const Pen& pen) {
    QPen qpen(QColor(pen.colour.red, pen.colour.green, pen.colour.blue));
    qpen.setWidthF(std::max(1.0, pen.width * scale_));
    qpen.setStyle(pen.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
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

void PainterSurface::Rectangle(int left, int top, int right, int bottom) {
    painter_->drawRect(MapRect(left, top, right, bottom));
}

void PainterSurface::Ellipse(int left, int top, int right, int bottom) {
    painter_->drawEllipse(MapRect(left, top, right, bottom));
}

void PainterSurface::DrawText(std::string_view cp1251Text, const TextRect& rect, HAlign h,
                              VAlign v) {
    QStringDecoder decode("windows-1251");
    const QString text = decode(QByteArrayView(cp1251Text.data(), qsizetype(cp1251Text.size())));
    int flags = Qt::TextSingleLine;
    flags |= h == HAlign::Left ? Qt::AlignLeft : h == HAlign::Centre ? Qt::AlignHCenter : Qt::AlignRight;
    flags |= v == VAlign::Top ? Qt::AlignTop : Qt::AlignVCenter;
    const QRectF box = MapRect(rect.left, rect.top, rect.right, rect.bottom);
    painter_->save();
    painter_->setClipRect(box);
    painter_->drawText(box, flags, text);
    painter_->restore();
}

}  // namespace kelm
