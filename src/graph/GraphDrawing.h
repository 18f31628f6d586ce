// The drawing of the graph: the screen pass and the page pass, written once
// against Surface. Both recompute everything from the shared state.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/SharedState.h"
#include "graph/PlotLayout.h"
#include "graph/Surface.h"

namespace kelm {

// The screen pass into a client area of width x height pixels, of the whole
// curve or the visible part of it. An empty record draws nothing (and sets a
// negative pointCount to 0).
void DrawGraph(SharedState& state, Surface& surface, int width, int height,
               const VisibleRange& visible = {});

// The layout the screen pass draws on, for turning a position on the screen
// into a volume and a value; the record must have points.
void LayOutScreen(const SharedState& state, int width, int height, const VisibleRange& visible,
                  PlotLayout& layout);

// The page pass in 0.1 mm units, y already negated (the whole graph lies at
// negative y), with the list of equivalence points below the graph, of the
// whole curve or the visible part of it. A layer above may add, in code page
// 1251, a note to each point's row (its result) and lines below the list (the
// sample and the titrant).
void PrintGraph(SharedState& state, Surface& surface, std::span<const std::string> pointNotes = {},
                std::span<const std::string> listNotes = {}, const VisibleRange& visible = {});

// Height of the page font in 0.1 mm units: a 25.6-point font against the
// screen's vertical resolution, trunc(dpi * 256 / 720).
int PageFontHeight(int screenDotsPerInchY);

}  // namespace kelm
