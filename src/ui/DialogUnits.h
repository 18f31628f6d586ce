// Dialog layouts given in dialog units: a horizontal unit is a quarter of the
// font's average character width, a vertical one an eighth of its height, so
// a dialog keeps its proportions in any font.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace kelm {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const { return units * charWidth_ / 4; }
    int Y(int units) const { return units * charHeight_ / 8; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const {
        return {X(x), Y(y), X(width), Y(height)};
    }

    // Puts `widget` at the rectangle, grown about its middle line where the
    // widget needs more height, and to the right where its text needs more
    // width (`fitText`), so that no text is cut.
    void Place(QWidget* widget, int x, int y, int width, int height, bool fitText = false) const;

private:
    int charWidth_;
    int charHeight_;
};

}  // namespace kelm
