// "Поиск и выбор точек": the search window and the choice among the
// equivalence points found, opened from the processing window. Modal and made
// for each use; OK stores the fields in the record's notes only when every one
// of them reads, Cancel and the close box change nothing.
#pragma once

#include <QDialog>
#include <memory>

#include "processing/EvaluationForm.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelm {

class Prompter;
struct DialogContext;

class CEvaluationDlg final : public QDialog {
    Q_OBJECT
public:
    CEvaluationDlg(const DialogContext& context, QWidget* owner);
    ~CEvaluationDlg() override;

    // Made, run modally and destroyed; true when OK stored new settings.
    static bool Run(const DialogContext& context, QWidget* owner);

    void accept() override;

private:
    void OnEnter(QWidget* focused);
    QWidget* WidgetOf(EvaluationField field) const;
    EvaluationField FieldOf(const QWidget* widget) const;

    const DialogContext& context_;
    EvaluationForm form_;
    std::unique_ptr<Prompter> prompter_;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QComboBox* choice_ = nullptr;
    QLineEdit* count_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace kelm
