// Enter in a work dialog never simply closes it: the key goes to one handler
// of the dialog, which acts on the control that has the focus and moves the
// focus on. Without this, a focused button would be clicked and a box would
// press the default button.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace kelm {

class EnterKeyRouter final : public QObject {
public:
    using Handler = std::function<void(QWidget* focused)>;

    // Watches `dialog` and every widget in it at the time of the call, so it
    // is made once the dialog's controls exist. Owned by the dialog.
    EnterKeyRouter(QWidget* dialog, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> dialog_;
    Handler handler_;
};

// Gives `target` the focus as Tab would, so a box's text comes selected and
// what the user types next replaces it.
void MoveFocusTo(QWidget* target);

}  // namespace kelm
