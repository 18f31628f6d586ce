#include "ui/JournalTexts.h"

#include <QDateTime>
#include <QDir>

#include "ui/Cp1251Text.h"

namespace kelm {

namespace {

constexpr int kDescriptionShown = 60;

QString When(const JournalEntry& entry) {
    if (entry.startTimeKnown) {
        const StartTime& t = entry.startTime;
        return QStringLiteral("%1.%2.%3 %4:%5")
            .arg(t.day, 2, 10, QLatin1Char('0'))
            .arg(t.month, 2, 10, QLatin1Char('0'))
            .arg(t.year)
            .arg(t.hour, 2, 10, QLatin1Char('0'))
            .arg(t.minute, 2, 10, QLatin1Char('0'));
    }
    return QDateTime::fromSecsSinceEpoch(entry.written)
        .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString Description(const JournalEntry& entry) {
    QString text = FromCp1251(entry.description).simplified();
    if (text.size() > kDescriptionShown) {
        text = text.left(kDescriptionShown) + QStringLiteral("...");
    }
    return text;
}

}  // namespace

QString PointsText(int count) {
    const int lastTwo = count % 100;
    const int last = count % 10;
    const char* word = "точек";
    if (lastTwo < 11 || lastTwo > 14) {
        if (last == 1) {
            word = "точка";
        } else if (last >= 2 && last <= 4) {
            word = "точки";
        }
    }
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(word));
}

QString JournalEntryTitle(const JournalEntry& entry) {
    QString title = When(entry) + QStringLiteral(" — ") + PointsText(entry.pointCount);
    const QString description = Description(entry);
    if (!description.isEmpty()) {
        title += QStringLiteral(" — ") + description;
    }
    return title;
}

QString RecoveryQuestion(const std::vector<JournalEntry>& entries) {
    QString text = QStringLiteral("Найдена несохранённая титрация: ") +
                   JournalEntryTitle(entries.front()) + QStringLiteral(".\nВосстановить её?\n\n");
    text += QStringLiteral(
        "Несохранённые титрации хранятся в журнале, пока вы их не сохраните, и доступны в меню "
        "«Файл» › «Несохранённые титрации»");
    if (entries.size() > 1) {
        text += QStringLiteral(" (в журнале: %1)").arg(entries.size());
    }
    return text + QStringLiteral(".");
}

QString JournalKeptLine() {
    return QStringLiteral(
        "Точки титрации хранятся в журнале до сохранения: «Файл» › «Несохранённые титрации».");
}

QString JournalTroubleLine(const QString& folder) {
    // What to do first: a narrow window shortens the line from its end.
    return QStringLiteral(
               "Журнал несохранённых титраций не записывается: сохраните титрацию в файл. "
               "Папка журнала: %1")
        .arg(QDir::toNativeSeparators(folder));
}

}  // namespace kelm
