// Looking closer at the graph in the main window: a rectangle dragged with
// the mouse, the wheel, the keyboard and the "&Вид" commands, and the status
// bar's readout of the place under the cursor.
#include <QLabel>
#include <QRubberBand>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>

#include "AppTest.h"
#include "graph/GraphDrawing.h"
#include "processing/Processing.h"
#include "ui/CKelmView.h"
#include "ui/CMainFrame.h"

namespace kelm::test {
namespace {

class GraphView : public AppTest {
protected:
    // Ten points from 0.5 to 5 mL, 100 + 10 i² mV.
    void StartWithRecord(int points = 10) {
        Start({}, {WriteRecord("a.kel", points)});
        Frame().resize(800, 600);
        QCoreApplication::processEvents();
    }
    CKelmView& View() { return *Frame().View(); }
    PlotLayout Layout() {
        PlotLayout layout;
        LayOutScreen(state_, View().width(), View().height(),
                     View().Zoom().Visible(state_.display.viewMode), layout);
        return layout;
    }
    // Where a volume and value stand on the screen now.
    QPoint On(double volume, double value) {
        const SurfacePoint p = MapCurvePoint(Layout().scale, volume, value);
        return {p.x, p.y};
    }
    // The volume and value under a place on the screen now.
    DataPoint Under(QPoint at) { return UnmapPoint(Layout().scale, at.x(), at.y()); }
    // One pixel in volume and in value.
    DataPoint Pixel() {
        const PlotScale s = Layout().scale;
        return {1.0 / s.kx, 1.0 / s.ky};
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(&View(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&View(), (from + to) / 2);
        QTest::mouseMove(&View(), to);
        QTest::mouseRelease(&View(), Qt::LeftButton, {}, to);
    }
    void Wheel(QPoint at, int angle) {
        QWheelEvent wheel(at, View().mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&View(), &wheel);
    }
    void Focus() {
        Frame().activateWindow();
        View().setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        ASSERT_TRUE(View().hasFocus());
    }
    QString Readout() { return Frame().ReadoutLabel()->text(); }
    const QRubberBand& Band() { return *View().findChild<QRubberBand*>(); }
    // A move with no button held, as after a release the view never heard.
    void MoveWithoutButtons(QPoint to) {
        QMouseEvent move(QEvent::MouseMove, to, View().mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&View(), &move);
    }
    VisibleRange Shown() { return View().Zoom().Visible(state_.display.viewMode); }
};

TEST_F(GraphView, ADraggedRectangleBecomesTheVisibleRange) {
    StartWithRecord();
    const QPoint from = On(1.0, 200.0);
    const QPoint to = On(3.0, 500.0);
    Drag(from, to);
    ASSERT_TRUE(View().Zoom().Zoomed());
    const VisibleRange v = Shown();
    const DataPoint px = {1.0 / (640.0 / 4.5), 1.0};  // a pixel of the whole curve, about
    EXPECT_NEAR(v.xFrom, 1.0, 2 * px.x);
    EXPECT_NEAR(v.xTo, 3.0, 2 * px.x);
    EXPECT_NEAR(v.yFrom, 200.0, 4.0);
    EXPECT_NEAR(v.yTo, 500.0, 4.0);
    // A drag of a few pixels is a click: nothing changes.
    const VisibleRange before = Shown();
    Drag(On(2.0, 300.0), On(2.0, 300.0) + QPoint(3, 3));
    EXPECT_EQ(Shown(), before);
}

TEST_F(GraphView, TheWheelTheViewCommandsAndTheKeysZoomAndReturnToTheWholeCurve) {
    StartWithRecord();
    // Two notches in: the data under the cursor stay under it.
    const QPoint at = On(2.0, 300.0);
    const DataPoint before = Under(at);
    Wheel(at, 240);
    ASSERT_TRUE(View().Zoom().Zoomed());
    EXPECT_NEAR(Under(at).x, before.x, Pixel().x);
    EXPECT_NEAR(Under(at).y, before.y, Pixel().y);
    Wheel(at, -240);
    EXPECT_FALSE(View().Zoom().Zoomed());  // back out as far as the whole curve
    Wheel(at, 120);
    QTest::mouseDClick(&View(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(View().Zoom().Zoomed());

    Frame().Action(Command::ZoomIn)->trigger();
    ASSERT_TRUE(View().Zoom().Zoomed());
    // About the middle of the plot: half the volumes, around the middle one.
    EXPECT_NEAR(Shown().xFrom, 0.5 + 4.5 / 4, 0.02);
    EXPECT_NEAR(Shown().xTo, 5.0 - 4.5 / 4, 0.02);
    Frame().Action(Command::ZoomOut)->trigger();
    EXPECT_FALSE(View().Zoom().Zoomed());

    Frame().Action(Command::ZoomIn)->trigger();
    Frame().Action(Command::ZoomWhole)->trigger();
    EXPECT_FALSE(View().Zoom().Zoomed());

    Focus();
    Frame().Action(Command::ZoomIn)->trigger();
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(View().Zoom().Zoomed());
    QTest::keyClick(&View(), Qt::Key_Plus);
    EXPECT_TRUE(View().Zoom().Zoomed());
    QTest::keyClick(&View(), Qt::Key_Minus);
    EXPECT_FALSE(View().Zoom().Zoomed());
}

TEST_F(GraphView, NoDragOrWheelTakesTheViewOffTheCurve) {
    StartWithRecord();
    const PlotScale whole = Layout().scale;  // 0.5..5 mL
    // Within the left margin: no rectangle of the plot at all.
    Drag(QPoint(whole.x0 / 4, 300), QPoint(whole.x0 * 3 / 4, 200));
    EXPECT_FALSE(View().Zoom().Zoomed());
    // The wheel over the corner below the axes has no data to zoom about.
    Wheel(QPoint(1, View().height() - 2), 40 * 120);
    EXPECT_FALSE(View().Zoom().Zoomed());
    // Out by a notch near the start of a zoom: no volume before the curve's.
    Drag(On(0.6, 150.0), On(1.5, 300.0));
    ASSERT_TRUE(View().Zoom().Zoomed());
    Wheel(On(0.55, 200.0), -120);
    EXPECT_GE(Shown().xFrom, 0.5);
    EXPECT_GE(Shown().yFrom, Layout().scale.yMin - 1e-9);
    // Esc in the middle of a drag drops it: the rectangle is not laid on
    // the whole curve's scale at the release.
    Focus();
    const QPoint from = On(1.0, 200.0);
    QTest::mousePress(&View(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&View(), from + QPoint(60, 60));
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(View().Zoom().Zoomed());
    EXPECT_TRUE(Band().isHidden());
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, from + QPoint(60, 60));
    EXPECT_FALSE(View().Zoom().Zoomed());
}

TEST_F(GraphView, AFlatRecordZoomsInVolumeInBothViews) {
    StartWithRecord(4);
    for (int i = 0; i < 4; ++i) {
        state_.record.points[i] = {1.0 * i, 100.0};
    }
    RedrawViews(state_);
    Frame().Action(Command::ZoomIn)->trigger();
    ASSERT_TRUE(View().Zoom().Zoomed());
    // The derivative is 0 throughout: its value axis stays fitted, and the
    // wheel goes on zooming.
    Frame().Action(Command::ViewDerivative)->trigger();
    const PlotScale s = Layout().scale;
    const QPoint middle((s.x0 + s.xAxisEnd) / 2, (s.yAxisTop + s.yBase) / 2);
    Wheel(middle, 120);
    EXPECT_FALSE(std::isfinite(Shown().yFrom) && Shown().yFrom == Shown().yTo);
    const VisibleRange once = Shown();
    Wheel(middle, 120);
    EXPECT_LT(Shown().xTo - Shown().xFrom, once.xTo - once.xFrom);
    // A flat conductivity record, not zoomed, zooms in volume.
    Frame().Action(Command::ZoomWhole)->trigger();
    Frame().Action(Command::ViewCurve)->trigger();
    state_.record.quantity = MeasuredQuantity::Conductivity;
    RedrawViews(state_);
    Frame().Action(Command::ZoomIn)->trigger();
    EXPECT_TRUE(View().Zoom().Zoomed());
    EXPECT_LT(Shown().xTo - Shown().xFrom, 3.0);
}

TEST_F(GraphView, TheRubberBandEndsWithTheButtonOrTheFocus) {
    StartWithRecord();
    Focus();
    const QPoint from = On(1.0, 200.0);
    const QPoint to = On(3.0, 500.0);
    QTest::mousePress(&View(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&View(), to);
    ASSERT_FALSE(Band().isHidden());
    // Released outside the window: the next move has no button held.
    MoveWithoutButtons(to + QPoint(20, 20));
    EXPECT_TRUE(Band().isHidden());
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, to);
    EXPECT_FALSE(View().Zoom().Zoomed());

    QTest::mousePress(&View(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&View(), to);
    ASSERT_FALSE(Band().isHidden());
    Frame().ReadoutLabel()->setFocus();
    EXPECT_TRUE(Band().isHidden());
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, to);
    EXPECT_FALSE(View().Zoom().Zoomed());
}

TEST_F(GraphView, TheKeyboardCursorSkipsThePointTheDerivativeDoesNotMark) {
    StartWithRecord();
    Frame().Action(Command::ViewDerivative)->trigger();
    Focus();
    QTest::keyClick(&View(), Qt::Key_Right);
    EXPECT_EQ(View().CursorPoint(), 1);
    QTest::keyClick(&View(), Qt::Key_Left);  // held at the first marked point
    EXPECT_EQ(View().CursorPoint(), 1);
    QTest::keyClick(&View(), Qt::Key_End);
    QTest::keyClick(&View(), Qt::Key_Home);
    EXPECT_EQ(View().CursorPoint(), 1);
    EXPECT_EQ(Readout(), QStringLiteral("V = 1. мл; dE/dV = 20. | точка 2"));
    // Standing on the first point when the view changes to the derivative.
    Frame().Action(Command::ViewCurve)->trigger();
    QTest::keyClick(&View(), Qt::Key_Home);
    ASSERT_EQ(View().CursorPoint(), 0);
    Frame().Action(Command::ViewDerivative)->trigger();
    EXPECT_EQ(View().CursorPoint(), 1);
    EXPECT_EQ(Readout(), QStringLiteral("V = 1. мл; dE/dV = 20. | точка 2"));
}

TEST_F(GraphView, TheZoomOutlivesRedrawsAndEndsWithTheRecord) {
    StartWithRecord();
    Drag(On(1.0, 200.0), On(3.0, 500.0));
    const VisibleRange zoomed = Shown();
    ASSERT_TRUE(View().Zoom().Zoomed());

    // A new point, then a processing run, each with its redraw.
    state_.record.points[state_.record.pointCount++] = {5.5, 1100.0};
    RedrawViews(state_);
    EXPECT_EQ(Shown(), zoomed);
    ASSERT_EQ(RunProcessing(state_), 0);
    RedrawViews(state_);
    EXPECT_EQ(Shown(), zoomed);
    // The derivative view keeps the volumes and fits its own values.
    Frame().Action(Command::ViewDerivative)->trigger();
    EXPECT_EQ(Shown(), (VisibleRange{zoomed.xFrom, zoomed.xTo, -kOpenEnd, kOpenEnd}));
    Frame().Action(Command::ViewCurve)->trigger();
    EXPECT_EQ(Shown(), zoomed);

    // Another record: the whole of it.
    EXPECT_TRUE(Frame().OpenFile(WriteRecord("b.kel", 6)));
    EXPECT_FALSE(View().Zoom().Zoomed());
    Drag(On(1.0, 200.0), On(2.0, 300.0));
    ASSERT_TRUE(View().Zoom().Zoomed());
    Frame().Action(Command::FileNew)->trigger();
    EXPECT_FALSE(View().Zoom().Zoomed());
    // A file that fails to open leaves the record, and its zoom, as they were.
    EXPECT_TRUE(Frame().OpenFile(WriteRecord("c.kel", 6)));
    Drag(On(1.0, 200.0), On(2.0, 300.0));
    WriteFile(Path("bad.kel"), "not a result file");
    EXPECT_FALSE(Frame().OpenFile(Path("bad.kel")));
    EXPECT_TRUE(View().Zoom().Zoomed());
}

TEST_F(GraphView, TheReadoutNamesWhatIsUnderTheMouseInTheUsersSeparator) {
    StartWithRecord();
    // Point 3 is (1.5 mL, 140 mV).
    const SurfacePoint p = Layout().measured[2];
    QTest::mouseMove(&View(), QPoint(p.x, p.y));
    // The volume and value of the pixel, to its resolution.
    EXPECT_TRUE(Readout().startsWith("V = 1.4") || Readout().startsWith("V = 1.5"))
        << Readout().toStdString();
    EXPECT_TRUE(Readout().contains(QStringLiteral(" мл; ЭДС = 1")));
    EXPECT_TRUE(Readout().endsWith(QStringLiteral(" мВ | точка 3"))) << Readout().toStdString();

    Frame().Action(Command::SeparatorComma)->trigger();
    QTest::mouseMove(&View(), QPoint(p.x + 1, p.y));
    EXPECT_TRUE(Readout().startsWith(QStringLiteral("V = 1,"))) << Readout().toStdString();
    EXPECT_TRUE(Readout().endsWith(QStringLiteral("точка 3"))) << Readout().toStdString();

    // Between points, on a processed record: the grid point's values too.
    ASSERT_EQ(RunProcessing(state_), 0);
    RedrawViews(state_);
    const QPoint between = On(2.25, 300.0);
    QTest::mouseMove(&View(), between);
    EXPECT_TRUE(Readout().contains(QStringLiteral(" | сглаженная: "))) << Readout().toStdString();
    EXPECT_TRUE(Readout().contains(QStringLiteral(" мВ; dE/dV = "))) << Readout().toStdString();
    EXPECT_FALSE(Readout().contains(QStringLiteral("точка")));

    // Off the plot, and when the mouse leaves, the readout says nothing; a
    // message in the status bar leaves it be.
    QTest::mouseMove(&View(), QPoint(2, 2));
    EXPECT_EQ(Readout(), QString());
    QTest::mouseMove(&View(), between);
    const QString shown = Readout();
    Frame().statusBar()->showMessage(QStringLiteral("Готово"));
    EXPECT_EQ(Readout(), shown);
    EXPECT_FALSE(Frame().ReadoutLabel()->isHidden());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&View(), &leave);
    EXPECT_EQ(Readout(), QString());
}

TEST_F(GraphView, TheKeyboardCursorStepsFromPointToPointAndTheZoomFollowsIt) {
    StartWithRecord();
    Focus();
    QTest::keyClick(&View(), Qt::Key_Right);
    EXPECT_EQ(View().CursorPoint(), 0);
    // On the point itself: its own volume and value, and its number.
    EXPECT_EQ(Readout(), QStringLiteral("V = 0.5 мл; ЭДС = 100. мВ | точка 1"));
    QTest::keyClick(&View(), Qt::Key_Right);
    EXPECT_EQ(Readout(), QStringLiteral("V = 1. мл; ЭДС = 110. мВ | точка 2"));
    QTest::keyClick(&View(), Qt::Key_End);
    EXPECT_EQ(View().CursorPoint(), 9);
    QTest::keyClick(&View(), Qt::Key_Right);  // held at the last point
    EXPECT_EQ(View().CursorPoint(), 9);
    QTest::keyClick(&View(), Qt::Key_Home);
    EXPECT_EQ(View().CursorPoint(), 0);

    // Not zoomed, there is nothing to pan.
    QTest::keyClick(&View(), Qt::Key_Up);
    QTest::keyClick(&View(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_FALSE(View().Zoom().Zoomed());

    // Zoomed about the cursor, the view follows it out of the range.
    QTest::keyClick(&View(), Qt::Key_Right);
    QTest::keyClick(&View(), Qt::Key_Right);  // point 3, 1.5 mL
    Frame().Action(Command::ZoomIn)->trigger();
    Frame().Action(Command::ZoomIn)->trigger();
    ASSERT_TRUE(View().Zoom().Zoomed());
    EXPECT_LT(Shown().xTo, 3.0);
    QTest::keyClick(&View(), Qt::Key_End);
    EXPECT_GE(Shown().xTo, 5.0);
    EXPECT_EQ(Readout(), QStringLiteral("V = 5. мл; ЭДС = 910. мВ | точка 10"));
    // Arrows with Shift pan along the volumes, Up and Down along the values.
    const VisibleRange before = Shown();
    QTest::keyClick(&View(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_LT(Shown().xFrom, before.xFrom);
    QTest::keyClick(&View(), Qt::Key_Down);
    EXPECT_LT(Shown().yFrom, before.yFrom);

    // Without the focus the keyboard cursor's readout goes.
    Frame().ReadoutLabel()->setFocus();
    EXPECT_EQ(Readout(), QString());
    // A click on a point puts the cursor there.
    Frame().Action(Command::ZoomWhole)->trigger();
    const SurfacePoint p = Layout().measured[4];
    QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(p.x, p.y));
    EXPECT_EQ(View().CursorPoint(), 4);
}

TEST_F(GraphView, AnEmptyRecordTakesNoZoomAndReadsNothing) {
    Start();
    Frame().resize(800, 600);
    Frame().Action(Command::ZoomIn)->trigger();
    Wheel(QPoint(300, 300), 120);
    Drag(QPoint(100, 100), QPoint(400, 400));
    EXPECT_FALSE(View().Zoom().Zoomed());
    QTest::mouseMove(&View(), QPoint(300, 300));
    EXPECT_EQ(Readout(), QString());
    Focus();
    QTest::keyClick(&View(), Qt::Key_Right);
    EXPECT_EQ(View().CursorPoint(), -1);
}

}  // namespace
}  // namespace kelm::test
