#include "graph/GraphDrawing.h"

namespace kelm {

// Placeholder until the drawing lands: draws nothing.
void DrawGraph(SharedState& state, Surface&, int, int) {
    if (state.record.pointCount < 0) {
        state.record.pointCount = 0;
    }
}

void PrintGraph(SharedState& state, Surface&) {
    if (state.record.pointCount < 0) {
        state.record.pointCount = 0;
    }
}

int PageFontHeight(int screenDotsPerInchY) { return screenDotsPerInchY * 256 / 720; }

}  // namespace kelm
