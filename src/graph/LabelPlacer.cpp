#include "graph/LabelPlacer.h"

#include <algorithm>

namespace kelm {

namespace {

// Halves toward minus infinity, so that a centred text lies the same way
// around its centre whatever side of 0 the box is on.
int HalfDown(int v) {
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}

// Texts overlap when their ink shares a line and they stand closer than the
// gap side by side; texts on lines of their own never run together.
bool Overlap(const TextRect& a, const TextRect& b, int gap) {
    return a.top < b.bottom && b.top < a.bottom && a.left < b.right + gap && b.left < a.right + gap;
}

}  // namespace

TextRect InkOf(const Label& label, TextSize size) {
    const TextRect& box = label.box;
    const int w = std::max(0, size.width);
    const int h = std::max(0, size.height);
    TextRect ink;
    switch (label.h) {
        case HAlign::Left:
            ink.left = box.left;
            break;
        case HAlign::Centre:
            ink.left = box.left + HalfDown(box.right - box.left - w);
            break;
        case HAlign::Right:
            ink.left = box.right - w;
            break;
    }
    ink.right = ink.left + w;
    const int lineTop =
        label.v == VAlign::Top ? box.top : box.top + HalfDown(box.bottom - box.top - h);
    ink.top = lineTop + std::clamp(size.inkTop, 0, h);
    ink.bottom = lineTop + std::clamp(size.inkBottom, 0, h);
    // Text that does not fit is clipped at its box.
    ink.left = std::max(ink.left, box.left);
    ink.right = std::min(ink.right, box.right);
    ink.top = std::max(ink.top, box.top);
    ink.bottom = std::min(ink.bottom, box.bottom);
    if (label.text.empty()) {
        ink.right = ink.left;
    }
    return ink;
}

bool LabelPlacer::Claim(Surface& surface, const Label& label) {
    if (label.text.empty()) {
        return true;
    }
    const TextRect ink = InkOf(label, surface.MeasureText(label.text.view()));
    if (ink.right <= ink.left || ink.bottom <= ink.top) {
        return true;  // nothing of it shows
    }
    for (int i = 0; i < count_; ++i) {
        if (Overlap(ink, kept_[i], gap_)) {
            return false;
        }
    }
    if (count_ == kCapacity) {
        return false;  // never reached: the capacity holds every label a pass has
    }
    kept_[count_++] = ink;
    return true;
}

}  // namespace kelm
