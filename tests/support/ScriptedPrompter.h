// A prompter that records every message and answers questions from a script.
// Prompters for other owners (For) write into the same log, tagged with the
// owner's name, so a test sees who owned each message and in which order.
// A hook runs test code while a message is open, as a nested event loop lets
// timer ticks arrive while a real box waits for the user.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Prompter.h"

namespace kelm::test {

struct Message {
    std::string kind;  // "inform", "error", "warn" or "ask"
    std::string caption;
    std::string text;
    std::string owner;                  // the name given to For; empty for the prompter itself
    Answer defaultAnswer = Answer::No;  // questions only
    QuestionIcon icon = QuestionIcon::Warning;  // questions only
};

class ScriptedPrompter final : public Prompter {
public:
    ScriptedPrompter() = default;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    void Inform(std::string_view caption, std::string_view text) override {
        Record({"inform", std::string(caption), std::string(text), {}}, "");
    }
    void Error(std::string_view caption, std::string_view text) override {
        Record({"error", std::string(caption), std::string(text), {}}, "");
    }
    void Warn(std::string_view caption, std::string_view text) override {
        Record({"warn", std::string(caption), std::string(text), {}}, "");
    }
    Answer AskYesNo(std::string_view caption, std::string_view text, Answer defaultAnswer,
                    QuestionIcon icon) override {
        return Ask({"ask", std::string(caption), std::string(text), {}, defaultAnswer, icon}, "");
    }

    // A prompter for the window `owner`, sharing this one's log and script.
    std::unique_ptr<Prompter> For(std::string owner) {
        return std::make_unique<Owned>(*this, std::move(owner));
    }

    // The texts of the messages so far, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages) {
            texts.push_back(m.text);
        }
        return texts;
    }

    std::vector<Message> messages;
    // Answers to the questions, in order; a question beyond them fails the test.
    std::deque<Answer> answers;
    // Runs while each message is open, after it is logged; it may call back
    // into the code under test, which may open further messages.
    std::function<void(const Message&)> whileOpen;

private:
    class Owned final : public Prompter {
    public:
        Owned(ScriptedPrompter& log, std::string owner) : log_(log), owner_(std::move(owner)) {}
        void Inform(std::string_view caption, std::string_view text) override {
            log_.Record({"inform", std::string(caption), std::string(text), {}}, owner_);
        }
        void Error(std::string_view caption, std::string_view text) override {
            log_.Record({"error", std::string(caption), std::string(text), {}}, owner_);
        }
        void Warn(std::string_view caption, std::string_view text) override {
            log_.Record({"warn", std::string(caption), std::string(text), {}}, owner_);
        }
        Answer AskYesNo(std::string_view caption, std::string_view text, Answer defaultAnswer,
                        QuestionIcon icon) override {
            return log_.Ask(
                {"ask", std::string(caption), std::string(text), {}, defaultAnswer, icon}, owner_);
        }

    private:
        ScriptedPrompter& log_;
        std::string owner_;
    };

    void Record(Message message, const std::string& owner) {
        message.owner = owner;
        messages.push_back(message);
        if (whileOpen) {
            whileOpen(message);
        }
    }

    Answer Ask(Message message, const std::string& owner) {
        // The answer is taken when the box opens, so questions raised by the
        // hook while this one is open take the answers after it.
        Answer answer = Answer::No;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << message.text;
        } else {
            answer = answers.front();
            answers.pop_front();
        }
        Record(std::move(message), owner);
        return answer;
    }
};

}  // namespace kelm::test
