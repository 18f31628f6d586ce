// The entry window: the point list beside the controls that add titrant and
// record each point's value, typed or read from the meter once a second.
// Every control forwards to the entry logic; Sync paints what the logic
// holds and runs the 1 s timer while the logic wants it.
#pragma once

#include <QPointer>
#include <QTimer>
#include <memory>

#include "acquisition/TitrationEntry.h"
#include "ui/CWorkDlg.h"
#include "ui/DialogContext.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kelm {

class CTitrationEntryDlg final : public CWorkDlg, private EntryWindow {
    Q_OBJECT
public:
    CTitrationEntryDlg(const DialogContext& context, QWidget* owner);
    ~CTitrationEntryDlg() override;

    void SeparatorChanged() override;

    // The 1 s tick; the timer calls it, tests may too.
    void OnAcquisitionTick();
    const QTimer& AcquisitionTimer() const { return timer_; }
    const TitrationEntry& Entry() const { return *entry_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectControls();
    void OnShow();
    void FillList();
    void SetRowTexts(int index);
    void Sync();
    void OnEnter(QWidget* focused);
    void FocusWhenEnabled(QWidget* target);
    void LayOut(int clientWidth, int clientHeight);
    void SaveLayout();
    // The outer size the window opens at: the saved one, else the default.
    QSize OuterSize() const;
    QSize FrameExtra() const;
    void SyncSelection();

    void PointRecorded(int index) override;
    void Beep() override;

    const DialogContext& context_;
    std::unique_ptr<Prompter> prompter_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<TitrationEntry> entry_;
    QTimer timer_;

    QTreeWidget* list_ = nullptr;
    QGroupBox* criterionGroup_ = nullptr;
    QComboBox* criterionList_ = nullptr;
    QLineEdit* criterionBox_ = nullptr;
    QGroupBox* pointGroup_ = nullptr;
    QLabel* additionLabel_ = nullptr;
    QLineEdit* additionBox_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QLabel* valueLabel_ = nullptr;
    QLineEdit* valueBox_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    QPushButton* calculateButton_ = nullptr;

    // A move of the focus into a control that is disabled for now: done once
    // it is enabled, unless the user has put the focus elsewhere meanwhile.
    QPointer<QWidget> deferredFocus_;
    QPointer<QWidget> focusAtDeferral_;
};

}  // namespace kelm
