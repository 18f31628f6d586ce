#include "ui/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace kelm {

namespace {

constexpr char kGroup[] = "Recent File List";

QString Key(int i) {
    return QStringLiteral("File%1").arg(i + 1);
}

QString Canonical(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

QStringList RecentFiles::Paths() const {
    QSettings settings(kProfileOrganisation, kProfileApplication);
    settings.beginGroup(kGroup);
    QStringList paths;
    for (int i = 0; i < kSize; ++i) {
        const QString path = settings.value(Key(i)).toString();
        if (!path.isEmpty()) {
            paths.append(path);
        }
    }
    return paths;
}

void RecentFiles::Add(const QString& path) {
    const QString file = Canonical(path);
    QStringList paths = Paths();
    paths.removeAll(file);
    paths.prepend(file);
    Store(paths);
}

void RecentFiles::Remove(const QString& path) {
    QStringList paths = Paths();
    paths.removeAll(Canonical(path));
    Store(paths);
}

void RecentFiles::Store(const QStringList& paths) {
    QSettings settings(kProfileOrganisation, kProfileApplication);
    settings.beginGroup(kGroup);
    for (int i = 0; i < kSize; ++i) {
        if (i < paths.size()) {
            settings.setValue(Key(i), paths[i]);
        } else {
            settings.remove(Key(i));
        }
    }
}

}  // namespace kelm
