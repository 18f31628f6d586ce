#include "ui/QtPrompter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace kelm {

namespace {

// Without a screen (offscreen or minimal platform) nobody could answer a box,
// and a shell print request would wait for ever: the message goes to the
// error output instead and a question takes its default answer.
bool CanShowWindows() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, std::string_view caption,
                                 std::string_view text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton) {
    if (!CanShowWindows()) {
        std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()),
                     text.data());
        return defaultButton;
    }
    QMessageBox box(icon, Utf8(caption), Utf8(text), buttons, owner);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtPrompter::Inform(std::string_view caption, std::string_view text) {
    Show(owner_, QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtPrompter::Error(std::string_view caption, std::string_view text) {
    Show(owner_, QMessageBox::Critical, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtPrompter::Warn(std::string_view caption, std::string_view text) {
    Show(owner_, QMessageBox::Warning, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

Answer QtPrompter::AskYesNo(std::string_view caption, std::string_view text, Answer defaultAnswer,
                            QuestionIcon icon) {
    const auto button =
        Show(owner_, icon == QuestionIcon::Question ? QMessageBox::Question : QMessageBox::Warning,
             caption, text, QMessageBox::Yes | QMessageBox::No,
             defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace kelm
