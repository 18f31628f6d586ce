#include "ui/AppIcon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace kelm {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/kelm/icons/kelm-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

// A printer pictogram for desktops whose icon theme has none.
QIcon PrinterIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);  // paper fed in
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(1, 6, 13, 6);  // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 4);  // paper out
    return QIcon(pixmap);
}

// A question mark in a circle, the About button of desktops without a theme.
QIcon AboutIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 100, 200));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont font = p.font();
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(pixmap);
}

}  // namespace kelm
