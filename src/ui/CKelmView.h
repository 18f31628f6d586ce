// The view: the graph of the record on a white background, redrawn from
// scratch on every paint, and the user's ways of looking closer: a rectangle
// dragged with the mouse, the wheel, the keyboard, and a readout of the place
// under the mouse or the keyboard cursor.
#pragma once

#include <QString>
#include <QWidget>

#include "graph/PlotLayout.h"
#include "graph/PlotZoom.h"

class QRubberBand;

namespace kelm {

struct SharedState;

class CKelmView final : public QWidget {
    Q_OBJECT
public:
    // Registers itself as the view RedrawViews repaints.
    explicit CKelmView(SharedState& state, QWidget* parent = nullptr);
    ~CKelmView() override;

    const PlotZoom& Zoom() const { return zoom_; }
    // Twice as close, or half as close, about the keyboard cursor or else the
    // middle of the plot.
    void ZoomIn();
    void ZoomOut();
    void ShowWholeCurve();
    // Another record is shown: the whole of it, without a keyboard cursor.
    void RecordReplaced();

    // The measured point the keyboard cursor is on, or -1.
    int CursorPoint() const { return cursorPoint_; }
    // What the readout says now.
    const QString& Readout() const { return readout_; }

signals:
    void ReadoutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Lays out the part shown, and the whole curve; false for an empty record.
    bool LayOut();
    ViewMode Mode() const;
    int PointCountNow() const;
    // The keyboard cursor's place on the screen, or the middle of the plot.
    SurfacePoint ZoomCentre() const;
    void ZoomBy(SurfacePoint at, double factor);
    void Pan(double right, double up);
    void MoveCursor(int index);
    // Drops a drag under way and its rubber band.
    void EndDrag();
    void ReadAt(SurfacePoint at);
    // The keyboard cursor's readout while the plot has the focus, else none.
    void ReadCursor();
    void SetReadout(const QString& text);

    SharedState& state_;
    PlotZoom zoom_;
    PlotLayout shown_;  // scratch: the part on screen, laid out for an event
    PlotLayout whole_;  // scratch: the whole curve
    int cursorPoint_ = -1;
    QRubberBand* band_ = nullptr;
    QPoint dragFrom_;
    bool dragging_ = false;
    QString readout_;
};

}  // namespace kelm
