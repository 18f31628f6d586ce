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

// A single-line text as a surface writes it: its advance, its line height,
// and where its ink lies within the line (from the line's top), so that two
// labels on neighbouring lines whose letters do not touch are not taken for
// overlapping.
struct TextSize {
    int width = 0;
    int height = 0;
    int inkTop = 0;
    int inkBottom = 0;
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
    // The size DrawText gives the text, in surface units, so that labels can
    // be kept from running into each other.
    virtual TextSize MeasureText(std::string_view cp1251Text) = 0;
    // Draws whatever the surface has held back; a pass ends with it.
    virtual void Flush() {}
};

}  // namespace kelm
