#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace kelm {

namespace {

// The average width of the 52 Latin letters, rounded, as dialog units take it.
int AverageCharWidth(const QFontMetrics& metrics) {
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return std::max(1, (letters / 26 + 1) / 2);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
    : charWidth_(AverageCharWidth(QFontMetrics(font))),
      charHeight_(std::max(1, QFontMetrics(font).height())) {}

void DialogUnits::Place(QWidget* widget, int x, int y, int width, int height, bool fitText) const {
    QRect rect = Rect(x, y, width, height);
    const QSize hint = widget->sizeHint();
    if (hint.height() > rect.height()) {
        const int grow = hint.height() - rect.height();
        rect.adjust(0, -grow / 2, 0, grow - grow / 2);
    }
    if (fitText && hint.width() > rect.width()) {
        rect.setWidth(hint.width());
    }
    widget->setGeometry(rect);
}

}  // namespace kelm
