#include "ui/CKelmDoc.h"

#include <QFileInfo>
#include <filesystem>

#include "core/Journal.h"
#include "core/Prompter.h"
#include "core/RecordFile.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "results/ResultHistory.h"
#include "store/UserStore.h"
#include "ui/RecentFiles.h"

namespace kelm {

namespace {

// The file's name as the core takes it (UTF-8 here, wide where the system
// wants that).
std::filesystem::path FilePath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
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
    Replaced();
    return true;
}

CKelmDoc::OpenResult CKelmDoc::OpenFile(const QString& path) {
    // A failed load leaves the record as it was; the path must stay with it,
    // or a later Save would write the old record over the damaged file.
    const RecordFileResult result = ReadRecordFile(state_, FilePath(path), MessageStyle::Window);
    if (!result.Done()) {
        prompter_.Error(kAppCaption, result.message);
        return result.status == RecordFileStatus::NoData ? OpenResult::NothingToRead
                                                         : OpenResult::Failed;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    recent_.Add(path_);
    if (journal_ != nullptr) {
        journal_->EndReplaced();
    }
    Replaced();
    if (!result.notice.empty()) {
        prompter_.Inform(kAppCaption, result.notice);
    }
    return OpenResult::Opened;
}

bool CKelmDoc::SaveTo(const QString& path) {
    const RecordFileResult result = WriteRecordFile(state_, FilePath(path), MessageStyle::Window);
    if (!result.Done()) {
        prompter_.Error(kAppCaption, result.message);
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    recent_.Add(path_);
    if (journal_ != nullptr) {
        journal_->EndSaved();
    }
    EnterHistory();
    return true;
}

bool CKelmDoc::Recover(const JournalEntry& entry) {
    const RecordFileResult result = ReadRecordFile(state_, entry.file, MessageStyle::Window);
    if (!result.Done()) {
        prompter_.Error(kAppCaption, "Титрация из журнала не восстановлена. " + result.message);
        return false;
    }
    path_.clear();
    if (journal_ != nullptr) {
        journal_->Adopt(entry.file);
    }
    Replaced();
    return true;
}

void CKelmDoc::EnterHistory() {
    if (store_ == nullptr || HistoryEntries(state_, {}, {}).empty()) {
        return;
    }
    Store* store = store_->Get();
    const StoreStatus status =
        store != nullptr ? EnterSavedResults(*store, state_, FilePath(path_)) : store_->Problem();
    // A database that cannot be opened is told once a run; a failed write each time.
    if (!status.Ok() && (store != nullptr || store_->TakeReport())) {
        prompter_.Warn(kAppCaption, "Результаты не внесены в историю. " +
                                        StoreMessage(status, store_->Path(), MessageStyle::Window));
    }
}

void CKelmDoc::Replaced() {
    if (onReplaced_) {
        onReplaced_();
    }
    RedrawViews(state_);
}

QString CKelmDoc::Title() const {
    return path_.isEmpty() ? QString::fromUtf8(kUntitledName) : QFileInfo(path_).fileName();
}

}  // namespace kelm
