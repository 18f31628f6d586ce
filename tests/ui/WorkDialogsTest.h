// The program with its real processing and results dialogs, opened from the
// menu as the user opens them, and the controls found by their names.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cmath>

#include "AppTest.h"

namespace kelm::test {

class WorkDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        prompter_.messages.clear();
    }

    QWidget* Open(Command command) {
        Frame().Action(command)->trigger();
        QWidget* dialog = command == Command::Processing
                              ? static_cast<QWidget*>(app_->Dialogs().Processing())
                              : static_cast<QWidget*>(app_->Dialogs().Results());
        EXPECT_NE(dialog, nullptr);
        if (dialog != nullptr) {
            Activate(dialog);
        }
        return dialog;
    }
    QWidget* OpenProcessing() { return Open(Command::Processing); }
    QWidget* OpenResults() { return Open(Command::Results); }

    // The offscreen platform activates a window only when asked.
    static void Activate(QWidget* window) {
        QApplication::setActiveWindow(window);
        window->activateWindow();
    }

    template <class Widget>
    static Widget* Child(QWidget* dialog, const char* name) {
        auto* child = dialog->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // Types into a box as the user does: focus in (the text comes selected),
    // the keys, then Tab out of it.
    static void TypeInto(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }

    // A titration jump at 10 mL, `count` points 1 mL apart, with a wobble that
    // the filter strength visibly smooths.
    void RecordJump(int count, MeasuredQuantity quantity = MeasuredQuantity::Emf) {
        state_.record.quantity = quantity;
        state_.record.pointCount = count;
        for (int i = 0; i < count; ++i) {
            state_.record.points[i] = {double(i),
                                       300.0 * std::tanh(i - 10.0) + 4.0 * std::sin(2.7 * i)};
        }
    }
};

}  // namespace kelm::test
