// The recent-file list of the per-user profile: the four newest result files.
#pragma once

#include <QString>
#include <QStringList>

#include "core/Profile.h"

namespace kelm {

class RecentFiles {
public:
    static constexpr int kSize = 4;

    // Newest first; kept in the profile, so every window and every run sees the same list.
    QStringList Paths() const;
    // Puts the file at the top; an older entry of the same file goes, the fifth drops off.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store(const QStringList& paths);
};

}  // namespace kelm
