#include "ui/CLinkCheckDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/SharedState.h"
#include "link/ConnectionCheck.h"
#include "link/PortProblem.h"
#include "ui/Cp1251Text.h"
#include "ui/DialogContext.h"

namespace kelm {

namespace {

// The wait cursor while the exchanges block the window; it reaches the
// screen before they start. Only timers and the window system's own events
// run then, never the user's input.
class WaitCursor {
public:
    WaitCursor() {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CLinkCheckDlg::CLinkCheckDlg(const DialogContext& context, QWidget* owner)
    : QDialog(owner),
      context_(context),
      port_(context.makePort()),
      link_(*port_, PortMap{}),
      report_(new QPlainTextEdit(this)),
      check_(new QPushButton(QStringLiteral("Проверка"), this)) {
    setObjectName(QStringLiteral("linkCheck"));
    setWindowTitle(QStringLiteral("Проверка связи с прибором"));

    report_->setReadOnly(true);
    report_->setTabChangesFocus(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(check_, &QPushButton::clicked, this, &CLinkCheckDlg::RunCheck);

    auto* layout = new QGridLayout(this);
    layout->addWidget(report_, 0, 0, 3, 1);
    layout->addWidget(ok, 0, 1);
    layout->addWidget(check_, 1, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);
    setTabOrder(report_, check_);
    setTabOrder(check_, ok);

    // 307 by 69 dialog units in the desktop font.
    const QFontMetrics metrics(font());
    resize(307 * metrics.averageCharWidth() / 4, 69 * metrics.height() / 8);

    RunCheck();
}

CLinkCheckDlg::~CLinkCheckDlg() = default;

void CLinkCheckDlg::Run(const DialogContext& context, QWidget* owner) {
    CLinkCheckDlg dialog(context, owner);
    dialog.exec();
}

void CLinkCheckDlg::RunCheck() {
    const WaitCursor wait;
    // The map as it stands: an adapter plugged in since the last check counts.
    link_.SetPortMap(context_.portMap());
    const SharedState& state = context_.state;
    QString text = FromCp1251(RunConnectionCheck(link_, state.link, state.record.quantity).report);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (const std::string why = OpenFailureText(link_); !why.empty()) {
        text += QLatin1Char('\n') + QString::fromStdString(why);
    }
    report_->setPlainText(text);
}

}  // namespace kelm
