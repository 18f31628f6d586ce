// A Surface that writes every call down as one line of text, so that tests
// can assert exact coordinates, texts, pens and their order.
#pragma once

#include <string>
#include <vector>

#include "core/Cp1251.h"
#include "graph/Surface.h"

namespace kelm::test {

// Lines read:  "pen solid 1 0,0,0"     "line 80,570 760,570"
//              "rect 77,567 83,573"    "ellipse 1,2 9,10"
//              "text 'V, Объём' 720,550 800,570 centre top"  (texts in UTF-8)
class RecordingSurface final : public Surface {
public:
    void SelectPen(const Pen& pen) override {
        log.push_back("pen " + std::string(pen.style == PenStyle::Solid ? "solid " : "dot ") +
                      std::to_string(pen.width) + ' ' + Rgb(pen.colour));
    }
    void MoveTo(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override {
        log.push_back("line " + Xy(x_, y_) + ' ' + Xy(x, y));
        x_ = x;
        y_ = y;
    }
    void Rectangle(int left, int top, int right, int bottom) override {
        log.push_back("rect " + Xy(left, top) + ' ' + Xy(right, bottom));
    }
    void Ellipse(int left, int top, int right, int bottom) override {
        log.push_back("ellipse " + Xy(left, top) + ' ' + Xy(right, bottom));
    }
    void DrawText(std::string_view cp1251Text, const TextRect& r, HAlign h, VAlign v) override {
        log.push_back("text '" + Cp1251ToUtf8(cp1251Text) + "' " + Xy(r.left, r.top) + ' ' +
                      Xy(r.right, r.bottom) + ' ' +
                      (h == HAlign::Left     ? "left"
                       : h == HAlign::Centre ? "centre"
                                             : "right") +
                      ' ' + (v == VAlign::Top ? "top" : "centre"));
    }

    // Every character is charWidth wide, textHeight high with its ink from
    // inkTop to inkBottom; measuring is not written down.
    TextSize MeasureText(std::string_view cp1251Text) override {
        return {static_cast<int>(cp1251Text.size()) * charWidth, textHeight, inkTop, inkBottom};
    }

    // The entries that start with `kind` ("line", "rect", "text '5.", ...).
    std::vector<std::string> Only(std::string_view kind) const {
        std::vector<std::string> out;
        for (const std::string& entry : log) {
            if (entry.starts_with(kind)) {
                out.push_back(entry);
            }
        }
        return out;
    }

    std::vector<std::string> log;
    int charWidth = 6;
    int textHeight = 12;
    int inkTop = 2;
    int inkBottom = 10;

private:
    static std::string Xy(int x, int y) { return std::to_string(x) + ',' + std::to_string(y); }
    static std::string Rgb(const kelm::Rgb& c) {
        return std::to_string(c.red) + ',' + std::to_string(c.green) + ',' + std::to_string(c.blue);
    }
    int x_ = 0;
    int y_ = 0;
};

}  // namespace kelm::test
