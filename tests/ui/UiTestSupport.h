// What the ui tests share: a prompter that records every message and answers
// from a script, a temporary working folder, and result files made on the fly.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <string>
#include <vector>

#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "ui/Prompter.h"
#include "ui/RecentFiles.h"

namespace kelm::test {

struct Message {
    std::string kind;  // "inform", "error" or "ask"
    std::string caption;
    std::string text;
};

class ScriptedPrompter final : public Prompter {
public:
    void Inform(std::string_view caption, std::string_view text) override {
        messages.push_back({"inform", std::string(caption), std::string(text)});
    }
    void Error(std::string_view caption, std::string_view text) override {
        messages.push_back({"error", std::string(caption), std::string(text)});
    }
    Answer AskYesNo(std::string_view caption, std::string_view text, Answer) override {
        messages.push_back({"ask", std::string(caption), std::string(text)});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return Answer::No;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<Message> messages;
    std::deque<Answer> answers;
};

// A fresh working folder, and an empty recent-file list, for each test.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QSettings(kProfileOrganisation, kProfileApplication).remove("Recent File List");
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    static void WriteFile(const QString& path, const std::string& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }

    static std::string ReadFile(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return file.readAll().toStdString();
    }

    // The bytes of a result file holding `count` points of `quantity`.
    static std::string RecordBytes(int count, MeasuredQuantity quantity = MeasuredQuantity::Emf,
                                   int decimalComma = 0) {
        SharedState state;
        NewRecord(state);
        state.record.quantity = quantity;
        state.record.pointCount = count;
        for (int i = 0; i < count; ++i) {
            state.record.points[i] = {0.5 * (i + 1), 100.0 + 10.0 * i * i};
        }
        state.display.decimalComma = decimalComma;
        return SaveRecord(state);
    }

    // Writes such a file into the working folder and returns its path.
    QString WriteRecord(const QString& name, int count,
                        MeasuredQuantity quantity = MeasuredQuantity::Emf, int decimalComma = 0) {
        const QString path = Path(name);
        WriteFile(path, RecordBytes(count, quantity, decimalComma));
        return path;
    }

    QTemporaryDir dir_;
};

}  // namespace kelm::test
