#include "ui/CKelmDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/Journal.h"
#include "core/Prompter.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "ui/RecentFiles.h"

namespace kelm {

namespace {

std::string Quoted(const QString& path) {
    return (QStringLiteral("«") + QDir::toNativeSeparators(path) + QStringLiteral("»"))
        .toStdString();
}

}  // namespace

CKelmDoc::CKelmDoc(SharedState& state, Prompter& prompter, RecentFiles& recent)
    : state_(state), prompter_(prompter), recent_(recent) {}

bool CKelmDoc::New() {
    if (!NewRecord(state_)) {
        return false;
    }
    if (journal_ != nullptr) {
        journal_->EndReplaced();
    }
    path_.clear();
    RedrawViews(state_);
    return true;
}

CKelmDoc::OpenResult CKelmDoc::OpenFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompter_.Error(kAppCaption, "Не удалось открыть файл " + Quoted(path) + ".");
        return OpenResult::Failed;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        prompter_.Error(kAppCaption, "Не удалось прочитать файл " + Quoted(path) + ".");
        return OpenResult::Failed;
    }
    // A failed load leaves the record as it was; the path must stay with it,
    // or a later Save would write the old record over the damaged file.
    const LoadStatus status =
        LoadRecord(state_, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (status != LoadStatus::Loaded) {
        prompter_.Error(kAppCaption, LoadFailureMessage(status));
        return status == LoadStatus::NoData ? OpenResult::NothingToRead : OpenResult::Failed;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    recent_.Add(path_);
    if (journal_ != nullptr) {
        journal_->EndReplaced();
    }
    RedrawViews(state_);
    return OpenResult::Opened;
}

bool CKelmDoc::SaveTo(const QString& path) {
    const std::string bytes = SaveRecord(state_);
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) &&
                         file.commit();
    if (!written) {
        if (file.isOpen()) {
            file.cancelWriting();
        }
        prompter_.Error(kAppCaption, "Не удалось сохранить файл " + Quoted(path) +
                                         ". Файл на диске не изменён.");
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    recent_.Add(path_);
    if (journal_ != nullptr) {
        journal_->EndSaved();
    }
    return true;
}

bool CKelmDoc::Recover(const JournalEntry& entry) {
    const QString file = QString::fromStdString(entry.file.string());
    QFile in(file);
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    if (bytes.isEmpty() ||
        LoadRecord(state_, std::string_view(bytes.constData(), std::size_t(bytes.size()))) !=
            LoadStatus::Loaded) {
        prompter_.Error(kAppCaption,
                        "Не удалось восстановить титрацию из журнала " + Quoted(file) + ".");
        return false;
    }
    path_.clear();
    if (journal_ != nullptr) {
        journal_->Adopt(entry.file);
    }
    RedrawViews(state_);
    return true;
}

QString CKelmDoc::Title() const {
    return path_.isEmpty() ? QString::fromUtf8(kUntitledName) : QFileInfo(path_).fileName();
}

}  // namespace kelm
