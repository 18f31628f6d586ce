// "Обработка кривой": the processing settings, each written the moment the
// user leaves its box, clicks or moves a slider; OK asks for a run. The
// fields' rules are ProcessingForm's; this window binds its controls to it.
#pragma once

#include <array>
#include <memory>
#include <utility>

#include "processing/ProcessingForm.h"
#include "ui/CWorkDlg.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace kelm {

class Prompter;
struct DialogContext;

class CProcessingDlg final : public CProcessingDlgBase {
    Q_OBJECT
public:
    CProcessingDlg(const DialogContext& context, QWidget* owner);
    ~CProcessingDlg() override;

    void RefreshPointCount() override;
    // The end value is shown with the new separator.
    void SeparatorChanged() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void Connect();
    // Every control from the settings, unless a question of this window is open.
    void Reload();
    // Paints the form's view into the controls without their signals.
    void Sync();
    void Left(QWidget* control);
    void OnEnter(QWidget* focused);
    void OpenEvaluation();
    // The controls that commit when the focus leaves them.
    std::array<QWidget*, 4> Boxes() const;
    // Each control that Enter knows, with its name in the form.
    std::array<std::pair<QWidget*, ProcessingControl>, 12> Controls() const;
    ProcessingControl ControlOf(const QWidget* widget) const;
    QWidget* WidgetOf(ProcessingControl control) const;

    const DialogContext& context_;
    ProcessingForm form_;
    std::unique_ptr<Prompter> prompter_;
    bool asking_ = false;

    QPushButton* ok_ = nullptr;
    QComboBox* criterion_ = nullptr;
    QLineEdit* endValue_ = nullptr;
    QSlider* pointSlider_ = nullptr;
    QLineEdit* pointCount_ = nullptr;
    QLineEdit* filterStrength_ = nullptr;
    QRadioButton* polynomial_ = nullptr;
    QRadioButton* movingAverage_ = nullptr;
    QSlider* filterSlider_ = nullptr;
    QRadioButton* cubicSpline_ = nullptr;
    QRadioButton* linear_ = nullptr;
    QCheckBox* automatic_ = nullptr;
    // Opens the search window and the choice of points; reached by the mouse
    // and its mnemonic, so the Tab order of the other controls stays.
    QPushButton* evaluation_ = nullptr;
};

}  // namespace kelm
