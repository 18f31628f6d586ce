#include "ui/WindowPlacement.h"

#include <QMainWindow>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kelm {

QPoint PositionBeside(const QRect& owner, QSize size, BesideOwner where, const QRect& screen,
                      int workTop) {
    const int wantedX =
        where == BesideOwner::Left ? owner.left() - size.width() : owner.right() + 1;
    const int x = std::max(screen.left(), std::min(wantedX, screen.right() + 1 - size.width()));
    int y = where == BesideOwner::Bottom ? screen.bottom() + 1 - size.height() : owner.top();
    const bool overOwner = x < owner.right() + 1 && x + size.width() > owner.left();
    if (overOwner && where != BesideOwner::Bottom) {
        y = std::max(y, workTop);
    }
    return {x, std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height()))};
}

void PlaceBesideOwner(QWidget* dialog, BesideOwner where) {
    const QWidget* owner = dialog->parentWidget();
    if (owner == nullptr) {
        return;
    }
    // A dialog laid out by a layout has its size only once asked: placed
    // before, it would be placed as a small one and could grow off the screen.
    if (dialog->layout() != nullptr) {
        dialog->adjustSize();
    }
    const QRect frame = owner->frameGeometry();
    const QScreen* screen = owner->screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : frame;
    // Before it is first shown the dialog has no frame yet: it will get one
    // like its owner's.
    const QSize decoration = frame.size() - owner->size();
    const auto* main = qobject_cast<const QMainWindow*>(owner);
    const QWidget* work = main != nullptr ? main->centralWidget() : nullptr;
    const int workTop = work != nullptr ? work->mapToGlobal(QPoint(0, 0)).y() : frame.top();
    dialog->move(PositionBeside(frame, dialog->size() + decoration, where, area, workTop));
}

void BringToFront(QWidget* window) {
    window->show();
    if (window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
}

}  // namespace kelm
