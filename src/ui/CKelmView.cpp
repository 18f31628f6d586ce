#include "ui/CKelmView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/SharedState.h"
#include "graph/CursorReadout.h"
#include "graph/GraphDrawing.h"
#include "graph/PainterSurface.h"
#include "ui/Cp1251Text.h"

namespace kelm {

namespace {

constexpr double kStepZoom = 2.0;    // a menu command or a key
constexpr double kNotchZoom = 1.25;  // one notch of the wheel
constexpr double kPanShare = 0.1;    // of the view, one key press

SurfacePoint At(const QPointF& p) {
    return {static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y()))};
}

}  // namespace

CKelmView::CKelmView(SharedState& state, QWidget* parent)
    : QWidget(parent), state_(state), band_(new QRubberBand(QRubberBand::Rectangle, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // A new point, a run or the other view changes what the cursor reads.
    state_.redrawViews = [this] {
        update();
        ReadCursor();
    };
}

CKelmView::~CKelmView() {
    state_.redrawViews = nullptr;
}

ViewMode CKelmView::Mode() const {
    return state_.display.viewMode;
}

int CKelmView::PointCountNow() const {
    return PointCount(state_.record);
}

bool CKelmView::LayOut() {
    if (PointCountNow() == 0) {
        return false;
    }
    LayOutScreen(state_, width(), height(), zoom_.Visible(Mode()), shown_);
    LayOutScreen(state_, width(), height(), {}, whole_);
    return true;
}

void CKelmView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterSurface surface = PainterSurface::ForScreen(painter);
    DrawGraph(state_, surface, width(), height(), zoom_.Visible(Mode()));
    if (hasFocus() && cursorPoint_ >= 0 && LayOut()) {
        // The keyboard cursor: a cross through its point, across the plot.
        const SurfacePoint p = PointCursor(state_, shown_, cursorPoint_);
        const PlotScale& s = shown_.scale;
        painter.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
        painter.drawLine(QPoint(p.x, s.yAxisTop), QPoint(p.x, s.yBase));
        painter.drawLine(QPoint(s.x0, p.y), QPoint(s.xAxisEnd, p.y));
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(p.x - 5, p.y - 5, 10, 10);
    }
}

SurfacePoint CKelmView::ZoomCentre() const {
    if (cursorPoint_ >= 0) {
        return PointCursor(state_, shown_, cursorPoint_);
    }
    const PlotScale& s = shown_.scale;
    return {s.x0 + static_cast<int>(std::lround((s.xMax - s.xMin) * s.kx / 2)),
            s.yBase - static_cast<int>(std::lround((s.yMax - s.yMin) * s.ky / 2))};
}

void CKelmView::ZoomBy(SurfacePoint at, double factor) {
    if (!LayOut()) {
        return;
    }
    zoom_.ZoomAbout(shown_.scale, whole_.scale, Mode(), at, factor);
    update();
}

void CKelmView::ZoomIn() {
    if (LayOut()) {
        ZoomBy(ZoomCentre(), kStepZoom);
        ReadCursor();
    }
}

void CKelmView::ZoomOut() {
    if (LayOut()) {
        ZoomBy(ZoomCentre(), 1.0 / kStepZoom);
        ReadCursor();
    }
}

void CKelmView::ShowWholeCurve() {
    // A rectangle dragged on the zoomed scale means nothing on the whole one.
    EndDrag();
    zoom_.ShowWholeCurve();
    update();
    ReadCursor();
}

void CKelmView::RecordReplaced() {
    EndDrag();
    cursorPoint_ = -1;
    zoom_.ShowWholeCurve();
    SetReadout({});
    update();
}

void CKelmView::Pan(double right, double up) {
    if (!LayOut()) {
        return;
    }
    zoom_.Pan(shown_.scale, whole_.scale, Mode(), right, up);
    update();
    ReadCursor();
}

void CKelmView::MoveCursor(int index) {
    const int n = PointCountNow();
    const int first = FirstCursorPoint(state_);
    if (n <= first) {
        return;
    }
    cursorPoint_ = std::clamp(index, first, n - 1);
    if (LayOut()) {
        zoom_.Reveal(shown_.scale, whole_.scale, Mode(),
                     PointCursorData(state_, shown_, cursorPoint_));
    }
    update();
    ReadCursor();
}

void CKelmView::ReadAt(SurfacePoint at) {
    SetReadout(LayOut() ? FromCp1251(CursorReadout(state_, shown_, at).view()) : QString());
}

void CKelmView::ReadCursor() {
    if (cursorPoint_ >= 0) {
        // The other view may not mark the point the cursor stood on.
        cursorPoint_ = std::max(cursorPoint_, FirstCursorPoint(state_));
    }
    if (cursorPoint_ >= PointCountNow()) {
        cursorPoint_ = -1;  // the record has lost points since
    }
    if (!hasFocus() || cursorPoint_ < 0 || !LayOut()) {
        SetReadout({});
        return;
    }
    SetReadout(FromCp1251(PointReadout(state_, shown_, cursorPoint_).view()));
}

void CKelmView::SetReadout(const QString& text) {
    if (text != readout_) {
        readout_ = text;
        emit ReadoutChanged(readout_);
    }
}

void CKelmView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().toPoint();
        dragging_ = true;
    }
    QWidget::mousePressEvent(event);
}

void CKelmView::EndDrag() {
    dragging_ = false;
    band_->hide();
}

void CKelmView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragging_ && !event->buttons().testFlag(Qt::LeftButton)) {
        EndDrag();  // released where the view did not hear it
    }
    if (dragging_) {
        const QRect band = QRect(dragFrom_, at).normalized();
        band_->setGeometry(band);
        band_->setVisible(band.width() >= PlotZoom::kMinDragPixels &&
                          band.height() >= PlotZoom::kMinDragPixels);
    }
    ReadAt(At(event->position()));
}

void CKelmView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        return;
    }
    EndDrag();
    const SurfacePoint from{dragFrom_.x(), dragFrom_.y()};
    const SurfacePoint to = At(event->position());
    if (!LayOut()) {
        return;
    }
    if (zoom_.ZoomToRect(shown_.scale, whole_.scale, Mode(), from, to)) {
        update();
    } else if (const int point = PointAt(state_, shown_, to); point >= 0) {
        // A click on a point puts the keyboard cursor there.
        cursorPoint_ = point;
        update();
    }
    ReadAt(to);
}

void CKelmView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ShowWholeCurve();
        ReadAt(At(event->position()));
    }
}

void CKelmView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y();
    if (notches == 0 || !LayOut() || !InPlot(shown_, At(event->position()))) {
        return;  // over the margins and labels there is no data to zoom about
    }
    ZoomBy(At(event->position()), std::pow(kNotchZoom, notches / 120.0));
    ReadAt(At(event->position()));
    event->accept();
}

void CKelmView::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const int n = PointCountNow();
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int step = event->key() == Qt::Key_Left ? -1 : 1;
            if (shift) {
                Pan(step * kPanShare, 0.0);
            } else {
                MoveCursor(cursorPoint_ < 0 ? (step < 0 ? n - 1 : FirstCursorPoint(state_))
                                            : cursorPoint_ + step);
            }
            break;
        }
        case Qt::Key_Up:
            Pan(0.0, kPanShare);
            break;
        case Qt::Key_Down:
            Pan(0.0, -kPanShare);
            break;
        case Qt::Key_Home:
            MoveCursor(FirstCursorPoint(state_));
            break;
        case Qt::Key_End:
            MoveCursor(n - 1);
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            break;
        case Qt::Key_Minus:
            ZoomOut();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CKelmView::leaveEvent(QEvent* event) {
    ReadCursor();
    QWidget::leaveEvent(event);
}

void CKelmView::focusInEvent(QFocusEvent* event) {
    update();
    ReadCursor();
    QWidget::focusInEvent(event);
}

void CKelmView::focusOutEvent(QFocusEvent* event) {
    EndDrag();
    update();
    ReadCursor();
    QWidget::focusOutEvent(event);
}

}  // namespace kelm
