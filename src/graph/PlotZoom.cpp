#include "graph/PlotZoom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kelm {

namespace {

// Moves [low, high] to lie within [wholeLow, wholeHigh] when it fits there.
void Keep(double& low, double& high, double wholeLow, double wholeHigh) {
    const double width = high - low;
    if (width >= wholeHigh - wholeLow) {
        return;  // wider than the whole: nothing to keep it in
    }
    if (low < wholeLow) {
        low = wholeLow;
        high = low + width;
    } else if (high > wholeHigh) {
        high = wholeHigh;
        low = high - width;
    }
}

// Widens [low, high] about its middle to at least `least`.
void AtLeast(double& low, double& high, double least) {
    if (high - low < least) {
        const double middle = low / 2 + high / 2;
        low = middle - least / 2;
        high = middle + least / 2;
    }
}

bool Finite(DataPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// The data at a surface point, held to the plotted ranges: a place in the
// margin stands for the nearest edge of the plot.
DataPoint UnmapWithin(const PlotScale& shown, SurfacePoint at) {
    const DataPoint p = UnmapPoint(shown, at.x, at.y);
    return {std::clamp(p.x, shown.xMin, shown.xMax), std::clamp(p.y, shown.yMin, shown.yMax)};
}

// An axis without extent on screen (a flat record) has nothing to zoom: it
// keeps the whole curve's range while the other axis zooms.
void KeepFlatAxes(const PlotScale& shown, const PlotScale& whole, DataPoint& low, DataPoint& high) {
    if (shown.kx == 0.0) {
        low.x = whole.xMin;
        high.x = whole.xMax;
    }
    if (shown.ky == 0.0) {
        low.y = whole.yMin;
        high.y = whole.yMax;
    }
}

}  // namespace

VisibleRange PlotZoom::Visible(ViewMode mode) const {
    if (mode == mode_) {
        return range_;
    }
    return {range_.xFrom, range_.xTo, -kOpenEnd, kOpenEnd};
}

void PlotZoom::Set(const PlotScale& whole, ViewMode mode, DataPoint low, DataPoint high) {
    if (!Finite(low) || !Finite(high)) {
        return;
    }
    AtLeast(low.x, high.x, (whole.xMax - whole.xMin) * kLeastVisibleShare);
    AtLeast(low.y, high.y, (whole.yMax - whole.yMin) * kLeastVisibleShare);
    // Never off the curve: a blank plot would show nothing to find it by.
    Keep(low.x, high.x, whole.xMin, whole.xMax);
    Keep(low.y, high.y, whole.yMin, whole.yMax);
    // No wider than the whole curve: zoomed out that far, a range is the
    // whole. A whole range without extent stays open, fitted to what is
    // drawn: given as both ends, it would leave nothing to scale by.
    const bool wholeX = high.x - low.x >= whole.xMax - whole.xMin;
    const bool wholeY = high.y - low.y >= whole.yMax - whole.yMin;
    const auto end = [](bool whole, double wholeEnd, double span, double given, double open) {
        return !whole ? given : span > 0.0 ? wholeEnd : open;
    };
    if (wholeX && wholeY) {
        range_ = {};
    } else {
        const double xSpan = whole.xMax - whole.xMin;
        const double ySpan = whole.yMax - whole.yMin;
        range_ = {end(wholeX, whole.xMin, xSpan, low.x, -kOpenEnd),
                  end(wholeX, whole.xMax, xSpan, high.x, kOpenEnd),
                  end(wholeY, whole.yMin, ySpan, low.y, -kOpenEnd),
                  end(wholeY, whole.yMax, ySpan, high.y, kOpenEnd)};
    }
    mode_ = mode;
}

bool PlotZoom::ZoomToRect(const PlotScale& shown, const PlotScale& whole, ViewMode mode,
                          SurfacePoint a, SurfacePoint b) {
    if (shown.kx == 0.0 && shown.ky == 0.0) {
        return false;
    }
    // Held to the plot first, so that a drag in the margin is no rectangle.
    const SurfacePoint corner = MapCurvePoint(shown, shown.xMax, shown.yMax);
    const auto within = [&shown, &corner](SurfacePoint p) {
        return SurfacePoint{std::clamp(p.x, shown.x0, std::max(corner.x, shown.x0)),
                            std::clamp(p.y, std::min(corner.y, shown.yBase), shown.yBase)};
    };
    a = within(a);
    b = within(b);
    const bool flatX = shown.kx == 0.0;
    const bool flatY = shown.ky == 0.0;
    if ((!flatX && std::abs(a.x - b.x) < kMinDragPixels) ||
        (!flatY && std::abs(a.y - b.y) < kMinDragPixels)) {
        return false;
    }
    const DataPoint p = UnmapWithin(shown, a);
    const DataPoint q = UnmapWithin(shown, b);
    DataPoint low{std::min(p.x, q.x), std::min(p.y, q.y)};
    DataPoint high{std::max(p.x, q.x), std::max(p.y, q.y)};
    KeepFlatAxes(shown, whole, low, high);
    Set(whole, mode, low, high);
    return true;
}

void PlotZoom::ZoomAbout(const PlotScale& shown, const PlotScale& whole, ViewMode mode,
                         SurfacePoint at, double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor) || (shown.kx == 0.0 && shown.ky == 0.0)) {
        return;
    }
    const DataPoint c = UnmapWithin(shown, at);
    DataPoint low{c.x - (c.x - shown.xMin) / factor, c.y - (c.y - shown.yMin) / factor};
    DataPoint high{c.x + (shown.xMax - c.x) / factor, c.y + (shown.yMax - c.y) / factor};
    KeepFlatAxes(shown, whole, low, high);
    Set(whole, mode, low, high);
}

void PlotZoom::Pan(const PlotScale& shown, const PlotScale& whole, ViewMode mode, double right,
                   double up) {
    if (!Zoomed()) {
        return;
    }
    DataPoint low{shown.xMin, shown.yMin};
    DataPoint high{shown.xMax, shown.yMax};
    const double dx = right * (high.x - low.x);
    const double dy = up * (high.y - low.y);
    low.x += dx;
    high.x += dx;
    low.y += dy;
    high.y += dy;
    Keep(low.x, high.x, whole.xMin, whole.xMax);
    Keep(low.y, high.y, whole.yMin, whole.yMax);
    const VisibleRange before = Visible(mode);
    Set(whole, mode, low, high);
    if (up == 0.0 && !std::isfinite(before.yFrom) && !std::isfinite(before.yTo)) {
        // Values fitted to the volumes stay fitted.
        range_.yFrom = -kOpenEnd;
        range_.yTo = kOpenEnd;
    }
}

void PlotZoom::Reveal(const PlotScale& shown, const PlotScale& whole, ViewMode mode,
                      DataPoint point) {
    if (!Zoomed() || !Finite(point)) {
        return;
    }
    // How far past an edge, in shares of the view, and a tenth more inside.
    const auto beyond = [](double v, double low, double high) {
        const double share = v < low    ? (v - low) / (high - low)
                             : v > high ? (v - high) / (high - low)
                                        : 0.0;
        return !std::isfinite(share) || share == 0.0 ? 0.0 : share + (share < 0 ? -0.1 : 0.1);
    };
    const double right = beyond(point.x, shown.xMin, shown.xMax);
    // Values fitted to the volumes follow by themselves.
    const VisibleRange v = Visible(mode);
    const bool fitted = !std::isfinite(v.yFrom) && !std::isfinite(v.yTo);
    const double up = fitted ? 0.0 : beyond(point.y, shown.yMin, shown.yMax);
    if (right != 0.0 || up != 0.0) {
        Pan(shown, whole, mode, right, up);
    }
}

}  // namespace kelm
