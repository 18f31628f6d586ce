// Labels that never run into each other: each pass puts its labels down in
// the order of their importance, and a label whose text would overlap one
// already put down is left out.
#pragma once

#include <array>

#include "core/NumberText.h"
#include "graph/Surface.h"

namespace kelm {

// A single-line text in a box, as Surface::DrawText places it.
struct Label {
    NumberString text;
    TextRect box;
    HAlign h = HAlign::Left;
    VAlign v = VAlign::Top;
};

// Where the ink of a label of this size stands: aligned in its box and
// clipped to it, as it is drawn. Empty (right <= left) for an empty text.
TextRect InkOf(const Label& label, TextSize size);

class LabelPlacer {
public:
    // Every label a pass can put down: two axis titles, the ends of a zoomed
    // volume range, the first, last and selected points' two labels each, the
    // reference lines and the equivalence points.
    static constexpr int kCapacity = 2 + 2 + 6 + 16 + 256;

    // Texts on one line closer than `gap` surface units count as
    // overlapping: "0." and "0.16" side by side would read as one number.
    explicit LabelPlacer(int gap) : gap_(gap) {}

    // True, and the label's text is kept, when it stands clear of every text
    // kept so far. A label without text is always clear and keeps nothing.
    bool Claim(Surface& surface, const Label& label);

    int KeptCount() const { return count_; }

private:
    std::array<TextRect, kCapacity> kept_{};
    int count_ = 0;
    int gap_;
};

}  // namespace kelm
