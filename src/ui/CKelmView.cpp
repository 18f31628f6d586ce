#include "ui/CKelmView.h"

#include <QPainter>

#include "core/SharedState.h"
#include "graph/GraphDrawing.h"
#include "graph/PainterSurface.h"

namespace kelm {

CKelmView::CKelmView(SharedState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    state_.redrawViews = [this] { update(); };
}

CKelmView::~CKelmView() {
    state_.redrawViews = nullptr;
}

void CKelmView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterSurface surface = PainterSurface::ForScreen(painter);
    DrawGraph(state_, surface, width(), height());
}

}  // namespace kelm
