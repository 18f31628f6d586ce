#include "ui/WindowPlacement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kelm {

QPoint PositionBeside(const QRect& owner, QSize size, BesideOwner where, const QRect& screen) {
    const int x = where == BesideOwner::Left ? owner.left() - size.width() : owner.right() + 1;
    const int y = where == BesideOwner::Bottom ? screen.bottom() + 1 - size.height() : owner.top();
    return {std::max(screen.left(), std::min(x, screen.right() + 1 - size.width())),
            std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height()))};
}

void PlaceBesideOwner(QWidget* dialog, BesideOwner where) {
    const QWidget* owner = dialog->parentWidget();
    if (owner == nullptr) {
        return;
    }
    const QRect frame = owner->frameGeometry();
    const QScreen* screen = owner->screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : frame;
    // Before it is first shown the dialog has no frame yet: it will get one
    // like its owner's.
    const QSize decoration = frame.size() - owner->size();
    dialog->move(PositionBeside(frame, dialog->size() + decoration, where, area));
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
