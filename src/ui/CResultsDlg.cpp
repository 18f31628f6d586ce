#include "ui/CResultsDlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <algorithm>

#include "processing/EvaluationNotice.h"
#include "results/RecordResults.h"
#include "ui/Cp1251Text.h"
#include "ui/DialogContext.h"
#include "ui/DialogUnits.h"
#include "ui/EnterKeyRouter.h"
#include "ui/WindowPlacement.h"

namespace kelm {

ResultsLayout LayOutResults(QSize client, int noticeHeight) {
    const QSize size = client.expandedTo(kResultsLayoutMinimum);
    const int cx = size.width();
    const int cy = size.height();
    // The report keeps a few lines whatever the notice's length.
    constexpr int kGap = 6;
    constexpr int kReportAtLeast = 40;
    const int notice =
        noticeHeight <= 0 ? 0 : std::min(noticeHeight, cy - 50 - kReportAtLeast - kGap);
    const int reportHeight = cy - 50 - (notice > 0 ? notice + kGap : 0);
    return {QRect(10, 10, cx - 20, reportHeight),
            notice > 0 ? QRect(10, 10 + reportHeight + kGap, cx - 20, notice) : QRect(),
            QRect(10, cy - 35, 80, 25), QRect(cx / 2 - 60, cy - 35, 120, 25),
            QRect(cx - 90, cy - 35, 80, 25)};
}

CResultsDlg::CResultsDlg(const DialogContext& context, QWidget* owner)
    : CResultsDlgBase(owner), context_(context) {
    setObjectName(QStringLiteral("results"));
    setWindowTitle(QStringLiteral("Результаты титрования"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("report"));
    text_->setReadOnly(true);
    // Read-only, yet the text is selected and copied from the keyboard too.
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setTabChangesFocus(true);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setWordWrap(true);
    notice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notice_->setTextFormat(Qt::PlainText);
    notice_->hide();
    calculate_ = new QPushButton(QStringLiteral("Расчёт"), this);
    calculate_->setObjectName(QStringLiteral("calculate"));
    curvePoints_ = new QPushButton(QStringLiteral("Точки кривой"), this);
    curvePoints_->setObjectName(QStringLiteral("curvePoints"));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);

    connect(calculate_, &QPushButton::clicked, this, &CResultsDlg::Calculate);
    connect(curvePoints_, &QPushButton::clicked, this,
            [this] { FillReport(ReportMode::CurvePoints); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    new EnterKeyRouter(this, [this](QWidget* focused) { OnEnter(focused); });

    // The size is the user's; the controls are never laid out smaller than
    // the minimum, and the window does not shrink below it either.
    setMinimumSize(kResultsLayoutMinimum);
    resize(DialogUnits(font()).Size(187, 152).expandedTo(kResultsLayoutMinimum));
    PlaceBesideOwner(this, BesideOwner::Bottom);
}

void CResultsDlg::FillReport(ReportMode mode) {
    const ReportMode shown = mode == ReportMode::LastShown ? report_.reportMode : mode;
    text_->setPlainText(FromCp1251(FillReportWithResults(report_, context_.state, mode)));
    // The notice is about the equivalence points, so it goes with their list,
    // also when that list is empty.
    const std::string notice = shown == ReportMode::EquivalencePoints
                                   ? EvaluationNoticeText(context_.state, NoticeLanguage::Russian)
                                   : std::string();
    notice_->setText(QString::fromStdString(notice));
    notice_->setVisible(!notice.empty());
    LayOut(size());
}

void CResultsDlg::ShownByCommand() {
    FillReport(ReportMode::EquivalencePoints);
}

void CResultsDlg::SeparatorChanged() {
    Present();
    FillReport(ReportMode::LastShown);
}

void CResultsDlg::showEvent(QShowEvent* event) {
    // Each time the window opens it lists the equivalence points again.
    if (!event->spontaneous()) {
        FillReport(ReportMode::EquivalencePoints);
    }
    CResultsDlgBase::showEvent(event);
}

void CResultsDlg::resizeEvent(QResizeEvent* event) {
    LayOut(event->size());
    CResultsDlgBase::resizeEvent(event);
}

void CResultsDlg::LayOut(QSize client) {
    const int width = client.expandedTo(kResultsLayoutMinimum).width() - 20;
    const int noticeHeight = notice_->isVisibleTo(this) ? notice_->heightForWidth(width) : 0;
    const ResultsLayout layout = LayOutResults(client, noticeHeight);
    text_->setGeometry(layout.report);
    notice_->setGeometry(layout.notice);
    calculate_->setGeometry(layout.calculate);
    curvePoints_->setGeometry(layout.curvePoints);
    ok_->setGeometry(layout.ok);
}

void CResultsDlg::Calculate() {
    context_.processing.RequestProcessing(this);
}

void CResultsDlg::OnEnter(QWidget* focused) {
    if (focused == ok_) {
        accept();
    } else if (focused == text_) {
        MoveFocusTo(calculate_);
    } else if (focused == calculate_) {
        Calculate();
        MoveFocusTo(calculate_);
    } else if (focused == curvePoints_) {
        FillReport(ReportMode::CurvePoints);
        MoveFocusTo(calculate_);
    } else {
        MoveFocusTo(ok_);
    }
}

}  // namespace kelm
