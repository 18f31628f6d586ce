// The About box: icon, version, maker line, OK and the program's description.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace kelm {

// The description the box shows, the same on every opening.
QString AboutText();

class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The description box (read-only), for inspection.
    const QPlainTextEdit* TextBox() const { return text_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* text_;
};

}  // namespace kelm
