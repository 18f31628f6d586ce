// What the work dialogs share: Enter routed by the focused control, focus
// moved as Tab moves it, and code page 1251 at the window's edge.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "UiTestSupport.h"
#include "ui/Cp1251Text.h"
#include "ui/EnterKeyRouter.h"

namespace kelm::test {
namespace {

class EnterKey : public UiTest {
protected:
    EnterKey() {
        auto* layout = new QVBoxLayout(&dialog_);
        for (QWidget* w : {static_cast<QWidget*>(box_), static_cast<QWidget*>(list_),
                           static_cast<QWidget*>(button_), static_cast<QWidget*>(ok_)}) {
            layout->addWidget(w);
        }
        list_->addItems({"a", "b"});
        ok_->setDefault(true);
        QObject::connect(ok_, &QPushButton::clicked, [this] { ++clicks_; });
        QObject::connect(button_, &QPushButton::clicked, [this] { ++clicks_; });
        new EnterKeyRouter(&dialog_, [this](QWidget* focused) { focused_.push_back(focused); });
        dialog_.show();
        QApplication::setActiveWindow(&dialog_);
    }

    QDialog dialog_;
    QLineEdit* box_ = new QLineEdit("12.5");
    QComboBox* list_ = new QComboBox;
    QPushButton* button_ = new QPushButton("Добавка титранта");
    QPushButton* ok_ = new QPushButton("Расчёт");
    std::vector<QWidget*> focused_;
    int clicks_ = 0;
};

TEST_F(EnterKey, GoesToTheHandlerWithTheFocusedControlAndNeverClosesOrClicks) {
    for (QWidget* w : {static_cast<QWidget*>(box_), static_cast<QWidget*>(list_),
                       static_cast<QWidget*>(button_), static_cast<QWidget*>(ok_)}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
    }
    EXPECT_EQ(focused_,
              (std::vector<QWidget*>{box_, box_, list_, list_, button_, button_, ok_, ok_}));
    EXPECT_EQ(clicks_, 0);
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_EQ(dialog_.result(), 0);
    // Other keys and Enter with a modifier stay the control's own.
    box_->setFocus();
    QTest::keyClick(box_, Qt::Key_7);
    QTest::keyClick(box_, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(focused_.size(), 8u);
    EXPECT_EQ(box_->text(), "12.57");
}

TEST_F(EnterKey, MovingTheFocusIntoABoxSelectsItsTextSoTypingReplacesIt) {
    button_->setFocus();
    MoveFocusTo(box_);
    EXPECT_TRUE(box_->hasFocus());
    EXPECT_EQ(box_->selectedText(), "12.5");
    QTest::keyClicks(box_, "3,5");
    EXPECT_EQ(box_->text(), "3,5");
    MoveFocusTo(nullptr);  // harmless
}

TEST(Cp1251Text, RoundTripsTheCodePageAndNamesWhatItCannotHold) {
    const QString russian = QString::fromUtf8("Титрование № 5 — «проба» €");
    EXPECT_EQ(FromCp1251(ToCp1251(russian)), russian);
    EXPECT_TRUE(NotInCp1251(russian).isEmpty());
    const QString mixed = QString::fromUtf8("pH ≈ 7 ≈ 7, 20 °C, 😀 ok");
    EXPECT_EQ(NotInCp1251(mixed), QString::fromUtf8("≈😀"));
    EXPECT_EQ(FromCp1251(ToCp1251(mixed)), QString::fromUtf8("pH ? 7 ? 7, 20 °C, ? ok"));
}

}  // namespace
}  // namespace kelm::test
