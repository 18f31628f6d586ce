// The entry window as the tests drive it: started in the program with a
// typed pointer to it, its controls found by name, keys typed into whatever
// has the focus, and ticks given by hand on the test's clock.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "AppTest.h"
#include "StandInDialogs.h"
#include "support/FakeClock.h"
#include "ui/CTitrationEntryDlg.h"

namespace kelm::test {

class EntryWindowTest : public AppTest {
protected:
    // Starts the program with the real entry window and a stand-in
    // processing dialog; services_ holds the port, map and clock by then.
    void StartEntry() {
        services_.clock = &clock_;
        Start([this](DialogHost& host) {
            DialogFactories f = standIns_.Factories(state_);
            f.entry = [this](QWidget* owner) {
                dlg_ = new CTitrationEntryDlg(app_->Context(), owner);
                return dlg_;
            };
            f.results = nullptr;
            host.Register(f);
        });
        events_.clear();
    }

    // Points at volumes 1, 2, ... with the values given.
    void Record(std::initializer_list<double> values,
                MeasuredQuantity quantity = MeasuredQuantity::Emf) {
        state_.record.quantity = quantity;
        state_.link.codeR = QuantityCodeR(quantity);
        state_.record.pointCount = 0;
        for (double v : values) {
            const int i = state_.record.pointCount++;
            state_.record.points[i] = {i + 1.0, v};
        }
    }

    CTitrationEntryDlg& Open() {
        Frame().Action(Command::Entry)->trigger();
        EXPECT_NE(dlg_, nullptr);
        QApplication::setActiveWindow(dlg_);
        prompter_.messages.clear();
        return *dlg_;
    }

    template <class W>
    W* Find(const char* name) {
        W* w = dlg_->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* List() { return Find<QTreeWidget>("pointList"); }
    QComboBox* Criteria() { return Find<QComboBox>("criterionList"); }
    QLineEdit* CriterionBox() { return Find<QLineEdit>("criterionBox"); }
    QLineEdit* AdditionBox() { return Find<QLineEdit>("additionBox"); }
    QLineEdit* ValueBox() { return Find<QLineEdit>("valueBox"); }
    QPushButton* AddButton() { return Find<QPushButton>("addButton"); }
    QPushButton* RecordButton() { return Find<QPushButton>("recordButton"); }
    QPushButton* Calculate() { return Find<QPushButton>("calculateButton"); }

    void Enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    // ASCII only, as the keys of the test keyboard go.
    void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    // Replaces the text of a box as the user does: into it, select all, type.
    void Retype(QLineEdit* box, const char* text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void ChooseMode(RecordMode mode) {
        Criteria()->setFocus();
        QTest::keyClick(Criteria(), Qt::Key_Home);
        for (int i = 0; i < static_cast<int>(mode); ++i) {
            QTest::keyClick(Criteria(), Qt::Key_Down);
        }
    }
    void Tick() {
        clock_.Advance(1);
        dlg_->OnAcquisitionTick();
    }
    // Ticks until the waiting point is recorded, at most `limit` times; the
    // number of ticks it took, or -1.
    int TickUntilRecorded(int limit) {
        for (int n = 1; n <= limit; ++n) {
            Tick();
            if (!dlg_->Entry().AdditionPending()) {
                return n;
            }
        }
        return -1;
    }
    QStringList Row(int i) {
        QStringList texts;
        QTreeWidgetItem* item = List()->topLevelItem(i);
        for (int k = 0; item != nullptr && k < 3; ++k) {
            texts << item->text(k);
        }
        return texts;
    }

    FakeClock clock_;
    StandIns standIns_{events_};
    CTitrationEntryDlg* dlg_ = nullptr;
};

}  // namespace kelm::test
