// The part of the graph the window shows: the whole curve, or what the user
// zoomed to. It is kept in volumes and values, so that a redraw after a new
// point or a processing run shows the same part. The value range belongs to
// the view it was chosen in; the other view fits its values to the volumes.
#pragma once

#include "core/SharedState.h"
#include "graph/PlotLayout.h"

namespace kelm {

class PlotZoom {
public:
    // A drag shorter than this either way is a click, not a rectangle.
    static constexpr int kMinDragPixels = 5;

    bool Zoomed() const { return !range_.Whole(); }
    // What a pass of the view `mode` shows.
    VisibleRange Visible(ViewMode mode) const;
    void ShowWholeCurve() { range_ = {}; }

    // The operations below take the scale of the pass on screen and that of
    // the whole curve; they never zoom further in than a ten-thousandth of
    // the whole ranges, and zooming out as far as the whole curve shows it.

    // To the rectangle between two surface points; false, changing nothing,
    // for one too small to be meant (or a graph without extent to zoom).
    bool ZoomToRect(const PlotScale& shown, const PlotScale& whole, ViewMode mode, SurfacePoint a,
                    SurfacePoint b);
    // By `factor` (above 1 in, below 1 out) about the data at a surface point.
    void ZoomAbout(const PlotScale& shown, const PlotScale& whole, ViewMode mode, SurfacePoint at,
                   double factor);
    // Moves a zoomed view by fractions of its width and height (to the right
    // and up for positive ones), no further than the whole curve reaches.
    void Pan(const PlotScale& shown, const PlotScale& whole, ViewMode mode, double right,
             double up);
    // Moves a zoomed view, keeping its size, so that the point is in it.
    void Reveal(const PlotScale& shown, const PlotScale& whole, ViewMode mode, DataPoint point);

private:
    // Sets the range from the given ends, no narrower than the least spans;
    // the whole curve when it takes in all of it.
    void Set(const PlotScale& whole, ViewMode mode, DataPoint low, DataPoint high);

    VisibleRange range_;
    ViewMode mode_ = ViewMode::Curve;
};

}  // namespace kelm
