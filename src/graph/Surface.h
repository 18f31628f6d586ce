// What the screen and the page drawing need of a drawing surface. The graph
// draws through this interface only, so a recording surface can check every
// coordinate in tests and a QPainter surface can draw for real.
#pragma once

#include <string_view>

#include "core/SharedState.h"

namespace kelm {

enum class PenStyle { Solid, Dot };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;  // in surface units
    Rgb colour{};
};

struct TextRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Centre };

class Surface {
public:
    virtual ~Surface() = default;

    // Makes a pen current for the lines and outlines that follow.
    virtual void SelectPen(const Pen& pen) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // A line in the current pen from the current position; the end point itself
    // is not painted, and becomes the current position.
    virtual void LineTo(int x, int y) = 0;
    // Outlines in the current pen, filled with white.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Single-line text (code page 1251 bytes) placed in a rectangle and clipped to it.
    virtual void DrawText(std::string_view cp1251Text, const TextRect& rect, HAlign h,
                          VAlign v) = 0;
};

}  // namespace kelm
