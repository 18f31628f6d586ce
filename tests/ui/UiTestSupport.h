// What the ui tests share: a temporary working folder and result files made
// on the fly (the scripted prompter is in support/).
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <string>

#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/ScriptedPrompter.h"
#include "ui/RecentFiles.h"

namespace kelm::test {

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

// The Alt letters of a window's labels and buttons, lower case, in the order
// found; each must be one a keyboard types, and none may repeat, or Alt with
// it would only move between the two.
inline QString Mnemonics(const QWidget* window) {
    QString letters;
    const auto take = [&](const QString& text) {
        const qsizetype at = text.indexOf(u'&');
        if (at >= 0 && at + 1 < text.size()) {
            letters += text.at(at + 1).toLower();
        }
    };
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        take(label->text());
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        take(button->text());
    }
    return letters;
}

inline void ExpectDistinctTypeableMnemonics(const QWidget* window) {
    const QString letters = Mnemonics(window);
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const QChar c = letters.at(i);
        EXPECT_TRUE(c.isDigit() || c.script() == QChar::Script_Cyrillic || (c >= u'a' && c <= u'z'))
            << "Alt+" << QString(c).toStdString() << " cannot be typed";
        EXPECT_EQ(letters.indexOf(c), i) << "Alt+" << QString(c).toStdString() << " is taken twice";
    }
}

}  // namespace kelm::test
