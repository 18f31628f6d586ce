// The Prompter that shows QMessageBox windows, modal to an owner window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/Prompter.h"

namespace kelm {

class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}

    // The window the boxes are modal to; null centres them on the screen.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void Inform(std::string_view caption, std::string_view text) override;
    void Error(std::string_view caption, std::string_view text) override;
    void Warn(std::string_view caption, std::string_view text) override;
    Answer AskYesNo(std::string_view caption, std::string_view text, Answer defaultAnswer,
                    QuestionIcon icon) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace kelm
