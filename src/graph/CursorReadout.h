// What the status bar says about the place under the cursor on the graph. Text in code page 1251
// with the user's decimal separator.
#pragma once

#include "core/FixedText.h"
#include "core/SharedState.h"
#include "graph/PlotLayout.h"

namespace kelm {

using ReadoutText = FixedText<256>;

// How near, in pixels, the cursor must be to a measured point to be on it.
inline constexpr int kPointRadius = 6;

// Whether a surface point lies in the plot: between the axes and their ends.
bool InPlot(const PlotLayout& layout, SurfacePoint at);

// The lowest measured point a view marks: the unprocessed derivative view has
// no slope to draw for the first point.
int FirstCursorPoint(const SharedState& state);

// The measured point the cursor at `at` is on, or -1: the nearest one within
// kPointRadius of its marker, or, in a view that draws no markers (the
// derivative of a processed record), of its volume.
int PointAt(const SharedState& state, const PlotLayout& layout, SurfacePoint at);

// The grid point of the processed curve nearest in volume, or -1 when there
// is no processed curve.
int NearestGridPoint(const SharedState& state, double volume);

// Where a keyboard cursor on measured point i stands: on its marker, or, in
// a view that draws no markers, on the processed derivative at its volume;
// as a volume and value, and on the surface.
DataPoint PointCursorData(const SharedState& state, const PlotLayout& layout, int index);
SurfacePoint PointCursor(const SharedState& state, const PlotLayout& layout, int index);

// "V = 4.512 мл; ЭДС = 312.45 мВ | сглаженная: 310.12 мВ; dE/dV = 845.3 |
// точка 12": the volume and value under the cursor (the derivative in the
// derivative view), on a processed record the smoothed value and derivative
// of the grid point nearest in volume, and the measured point the cursor is
// on, numbered from 1. Short, as it shares the status bar. Empty outside the
// plot or for an empty record.
ReadoutText CursorReadout(const SharedState& state, const PlotLayout& layout, SurfacePoint at);

// The same for a keyboard cursor on measured point i: its own volume and
// value (or the processed derivative there), not those of its pixel.
ReadoutText PointReadout(const SharedState& state, const PlotLayout& layout, int index);

}  // namespace kelm
