#include "graph/PainterSurface.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Cp1251.h"

namespace kelm {

namespace {

constexpr double kTenthsOfMmPerInch = 254.0;

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, double scale, bool negateY)
    : painter_(&painter), scale_(scale), negateY_(negateY), excludeFarEdges_(!negateY) {
    painter_->setBrush(Qt::white);
}

PainterSurface::~PainterSurface() {
    Flush();
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

void PainterSurface::Flush() {
    if (polylineCount_ > 1) {
        painter_->drawPolyline(polyline_.data(), polylineCount_);
    }
    polylineCount_ = 0;
    if (squareCount_ > 0) {
        painter_->drawRects(squares_.data(), squareCount_);
    }
    squareCount_ = 0;
}

void PainterSurface::SelectPen(const Pen& pen) {
    Flush();
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
    pen_ = qpen;
    painter_->setPen(pen_);
}

void PainterSurface::MoveTo(int x, int y) {
    if (x == x_ && y == y_) {
        return;  // the next line joins the last: the polyline goes on
    }
    if (polylineCount_ > 0) {
        Flush();
    }
    x_ = x;
    y_ = y;
}

void PainterSurface::LineTo(int x, int y) {
    if (squareCount_ > 0 || polylineCount_ == kBatch) {
        Flush();
    }
    if (polylineCount_ == 0) {
        polyline_[polylineCount_++] = Map(x_, y_);
    }
    polyline_[polylineCount_++] = Map(x, y);
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
    if (polylineCount_ > 0 || squareCount_ == kBatch) {
        Flush();
    }
    squares_[squareCount_++] = MapShape(left, top, right, bottom);
}

void PainterSurface::Ellipse(int left, int top, int right, int bottom) {
    Flush();
    painter_->drawEllipse(MapShape(left, top, right, bottom));
}

void PainterSurface::Decode(std::string_view cp1251Text) {
    text_.resize(qsizetype(cp1251Text.size()));
    for (std::size_t i = 0; i < cp1251Text.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1251Text[i]);
        text_[qsizetype(i)] = QChar(char16_t(b < 0x80 ? b : kCp1251Upper[b - 0x80]));
    }
}

TextSize PainterSurface::MeasureText(std::string_view cp1251Text) {
    Decode(cp1251Text);
    if (!metrics_) {
        // The painter's own: its device's (a printer's font is not the
        // screen's), and sharing the glyphs the painter looks up to draw.
        metrics_.emplace(painter_->fontMetrics());
    }
    // Glyph by glyph: shaping the whole text costs several times more, the
    // labels' digits do not kern, and the tight box of a text that mixes
    // scripts ("V, Объём") misses some of its glyphs. The ink is measured
    // from the baseline, one ascent below the line's top.
    double advance = 0.0;
    QRectF ink;
    for (const QChar c : std::as_const(text_)) {
        advance += metrics_->horizontalAdvance(c);
        ink |= metrics_->boundingRect(c);
    }
    const auto down = [this](double length) {
        return static_cast<int>(std::floor(length / scale_));
    };
    const auto up = [this](double length) { return static_cast<int>(std::ceil(length / scale_)); };
    const double ascent = metrics_->ascent();
    return {up(advance), up(metrics_->height()), down(ascent + ink.top()),
            up(ascent + ink.bottom())};
}

void PainterSurface::DrawText(std::string_view cp1251Text, const TextRect& rect, HAlign h,
                              VAlign v) {
    Decode(cp1251Text);
    int flags = Qt::TextSingleLine;
    flags |= h == HAlign::Left     ? Qt::AlignLeft
             : h == HAlign::Centre ? Qt::AlignHCenter
                                   : Qt::AlignRight;
    flags |= v == VAlign::Top ? Qt::AlignTop : Qt::AlignVCenter;
    const QRectF box = MapRect(rect.left, rect.top, rect.right, rect.bottom);
    Flush();
    // Text in black whatever pen is current; drawText clips what does not
    // fit at its box. No opaque background: a long description would blank
    // out the value-axis title on the page, and axes and grid lines would
    // break under every label.
    painter_->setPen(Qt::black);
    painter_->drawText(box, flags, text_);
    painter_->setPen(pen_);
}

}  // namespace kelm
