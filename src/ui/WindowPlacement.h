// Where a work dialog first appears: beside its owner rather than over the
// middle of the graph, the point entry and the result calculation on the
// left, the processing settings at the top right and the results at the foot
// of the screen on the right, so that none covers another.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace kelm {

enum class BesideOwner { Left, Top, Bottom };

// The top left of a window frame of `size` against the left edge of `owner`
// level with its top (Left), or against its right edge level with its top or
// at the bottom of `screen`; moved back onto the screen where it would leave
// it. Where that leaves it over the owner, for want of room beside it, it
// stands no higher than `workTop`, the top of the owner's work area, so that
// the owner's menu and toolbar stay in reach.
QPoint PositionBeside(const QRect& owner, QSize size, BesideOwner where, const QRect& screen,
                      int workTop);

// Moves `dialog` there against its parent window, counting the frame the
// parent's decorations show; nothing without a parent.
void PlaceBesideOwner(QWidget* dialog, BesideOwner where);

// Shows `window`, restores it when minimised and brings it to the front.
void BringToFront(QWidget* window);

}  // namespace kelm
