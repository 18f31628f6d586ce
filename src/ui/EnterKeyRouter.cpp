#include "ui/EnterKeyRouter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kelm {

EnterKeyRouter::EnterKeyRouter(QWidget* dialog, Handler handler)
    : QObject(dialog), dialog_(dialog), handler_(std::move(handler)) {
    dialog->installEventFilter(this);
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

bool EnterKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (!enter || mods != Qt::NoModifier || dialog_.isNull()) {
        return QObject::eventFilter(watched, event);
    }
    if (!key->isAutoRepeat()) {
        QWidget* focused = QApplication::focusWidget();
        handler_(focused != nullptr && dialog_->isAncestorOf(focused) ? focused : nullptr);
    }
    return true;
}

void MoveFocusTo(QWidget* target) {
    if (target != nullptr) {
        target->setFocus(Qt::TabFocusReason);
    }
}

}  // namespace kelm
