// How the program tells the user something or asks a question. Logic talks to
// this interface only: the window shows message boxes, tests script the answers.
// Texts are UTF-8.
#pragma once

#include <string_view>

namespace kelm {

// The application title: the caption of a message raised outside any dialog.
inline constexpr std::string_view kAppCaption = "Kelm";

enum class Answer { Yes, No };

// The icon of a Yes/No question: a plausibility or go-on question warns, the
// drift question only asks.
enum class QuestionIcon { Warning, Question };

class Prompter {
public:
    virtual ~Prompter() = default;

    // A message with the information icon and an OK button.
    virtual void Inform(std::string_view caption, std::string_view text) = 0;
    // A message with the error icon and an OK button.
    virtual void Error(std::string_view caption, std::string_view text) = 0;
    // A message with the warning (exclamation) icon and an OK button.
    virtual void Warn(std::string_view caption, std::string_view text) = 0;
    // A Yes/No question; Enter gives defaultAnswer.
    virtual Answer AskYesNo(std::string_view caption, std::string_view text, Answer defaultAnswer,
                            QuestionIcon icon = QuestionIcon::Warning) = 0;
};

}  // namespace kelm
