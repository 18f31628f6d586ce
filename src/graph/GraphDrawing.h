// The drawing of the graph: the screen pass and the page pass, written once
// against Surface. Both recompute everything from the shared state.
#pragma once

#include "core/SharedState.h"
#include "graph/Surface.h"

namespace kelm {

// The screen pass into a client area of width x height pixels. An empty
// record draws nothing (and sets a negative pointCount to 0).
void DrawGraph(SharedState& state, Surface& surface, int width, int height);

// The page pass in 0.1 mm units, y already negated (the whole graph lies at
// negative y), with the list of equivalence points below the graph.
void PrintGraph(SharedState& state, Surface& surface);

// Height of the page font in 0.1 mm units: a 25.6-point font against the
// screen's vertical resolution, trunc(dpi * 256 / 720).
int PageFontHeight(int screenDotsPerInchY);

}  // namespace kelm
