// Several titrations in one graph: each curve (or derivative) in its own
// colour on common axes, with a legend of their names. A replicate series
// or a set of samples is compared at a glance.
#pragma once

#include <span>
#include <string_view>

#include "core/SharedState.h"
#include "graph/PlotLayout.h"
#include "graph/Surface.h"

namespace kelm {

struct OverlayCurve {
    const SharedState* state = nullptr;  // the record and its processing output
    std::string_view label;              // the legend's text, code page 1251
};

// The colour of the i-th curve; the palette repeats after this many, dotted.
inline constexpr int kOverlayColours = 8;
Pen OverlayPen(int index, int width);

// The screen drawing into width x height pixels. The curves share one
// quantity (the caller sees to it); the labels are written with the first
// curve's decimal separator. Curves without points are left out of the graph
// but keep their colour and legend entry; with no point at all nothing is drawn.
// The whole curves, or the visible part of them.
void DrawOverlay(std::span<const OverlayCurve> curves, ViewMode mode, Surface& surface, int width,
                 int height, const VisibleRange& visible = {});

// The same on the printed page, in 0.1 mm with y negated, the legend below
// the graph.
void PrintOverlay(std::span<const OverlayCurve> curves, ViewMode mode, Surface& surface,
                  const VisibleRange& visible = {});

}  // namespace kelm
