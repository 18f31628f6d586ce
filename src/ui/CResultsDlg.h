// "Результаты титрования": the report of the last run, or of the measured
// points, in a read-only box the user selects and copies from with the box's
// own commands. The program itself never writes to the clipboard.
#pragma once

#include <QRect>
#include <QSize>

#include "processing/ResultsReport.h"
#include "ui/CWorkDlg.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kelm {

struct DialogContext;

// Where the controls stand in a client area of the given size; below
// kResultsLayoutMinimum they stand as for that size.
inline constexpr QSize kResultsLayoutMinimum(320, 150);
struct ResultsLayout {
    QRect report;
    QRect notice;  // empty without a notice
    QRect calculate;
    QRect curvePoints;
    QRect ok;
};
// A notice of `noticeHeight` pixels stands between the report and the
// buttons and takes its height from the report's.
ResultsLayout LayOutResults(QSize client, int noticeHeight = 0);

class CResultsDlg final : public CResultsDlgBase {
    Q_OBJECT
public:
    CResultsDlg(const DialogContext& context, QWidget* owner);

    void FillReport(ReportMode mode) override;
    void ShownByCommand() override;
    // Shown, and the list last shown refilled with the new separator.
    void SeparatorChanged() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Calculate();
    void OnEnter(QWidget* focused);
    void LayOut(QSize client);

    const DialogContext& context_;
    ResultsReport report_;
    QPlainTextEdit* text_ = nullptr;
    // What the last run found doubtful about its equivalence points.
    QLabel* notice_ = nullptr;
    QPushButton* calculate_ = nullptr;
    QPushButton* curvePoints_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace kelm
