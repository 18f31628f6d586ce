#include "ui/Cp1251Text.h"

#include <QList>

#include "core/Cp1251.h"

namespace kelm {

QString FromCp1251(std::string_view bytes) {
    return QString::fromStdString(Cp1251ToUtf8(bytes));
}

std::string ToCp1251(const QString& text, char replacement) {
    return Utf8ToCp1251(text.toStdString(), replacement);
}

QString NotInCp1251(const QString& text) {
    QString missing;
    for (const uint code : text.toUcs4()) {
        const char32_t cp = code;
        const QString character = QString::fromUcs4(&cp, 1);
        if (Cp1251Byte(cp) < 0 && !missing.contains(character)) {
            missing += character;
        }
    }
    return missing;
}

}  // namespace kelm
