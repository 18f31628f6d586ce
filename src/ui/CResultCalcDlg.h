// "Расчёт результата": the sample, the titrant (picked from the library or
// typed), the blank, the stoichiometry and the unit, or the primary standard
// of a titer determination, and the result of each equivalence point at once.
// The fields' rules are ResultForm's; this window binds its controls to it.
#pragma once

#include <array>
#include <memory>
#include <utility>

#include "results/ResultForm.h"
#include "ui/CWorkDlg.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kelm {

class Prompter;
struct DialogContext;

class CResultCalcDlg final : public CWorkDlg {
    Q_OBJECT
public:
    CResultCalcDlg(const DialogContext& context, QWidget* owner);
    ~CResultCalcDlg() override;

    void SeparatorChanged() override;
    void RecordReplaced() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void Connect();
    // Every control from the record and the library, unless a message of this window is open.
    void Reload();
    void Sync();
    void Left(QWidget* control);
    void OnEnter(QWidget* focused);
    void Copy();
    ResultControl ControlOf(const QWidget* widget) const;
    QWidget* WidgetOf(ResultControl control) const;

    const DialogContext& context_;
    ResultForm form_;
    std::unique_ptr<Prompter> prompter_;
    bool asking_ = false;

    std::array<QLineEdit*, kResultBoxCount> boxes_{};  // by BoxIndex; the titrant's is its combo's
    QComboBox* sampleUnit_ = nullptr;
    QComboBox* titrant_ = nullptr;
    QComboBox* unit_ = nullptr;
    QCheckBox* titerDetermination_ = nullptr;
    QGroupBox* standard_ = nullptr;
    QPlainTextEdit* results_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* updateTiter_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace kelm
