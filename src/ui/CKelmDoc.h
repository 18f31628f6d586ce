// The document: New, Open and Save of the one titration record. It holds no
// data of its own beyond the file path; every operation acts on SharedState.
#pragma once

#include <QString>
#include <functional>
#include <utility>

namespace kelm {

class Journal;
class Prompter;
class RecentFiles;
class UserStore;
struct JournalEntry;
struct SharedState;

// The name of a record that has no file yet.
inline constexpr char kUntitledName[] = "Безымянный";

class CKelmDoc {
public:
    CKelmDoc(SharedState& state, Prompter& prompter, RecentFiles& recent);

    // The journal of unsaved records that New, Open and Save keep informed.
    void SetJournal(Journal* journal) { journal_ = journal; }
    // The history of results that a save of a record with results enters.
    void SetStore(UserStore* store) { store_ = store; }

    // Told when New, Open or Recover has put another record in place, before
    // the views redraw.
    void OnReplaced(std::function<void()> hook) { onReplaced_ = std::move(hook); }

    // NewRecord; the record then has no file. The record it replaces stays in
    // the journal.
    bool New();

    enum class OpenResult {
        Opened,
        NothingToRead,  // a byte 0 before the data: a readable file without a record
        Failed,         // missing, unreadable, or ending before its data
    };

    // Reads the whole file and loads it. On any failure (missing, a folder or
    // a device, too large, damaged) the user is told and the open record, its
    // path and title stay as they were.
    OpenResult OpenFile(const QString& path);
    bool Open(const QString& path) { return OpenFile(path) == OpenResult::Opened; }

    // Writes the record to `path` through the core's one writer (the old
    // file is replaced whole or not at all); on failure the user is told.
    // On success the record takes that path, and its computed results enter
    // the history of results (the user is told when they cannot).
    bool SaveTo(const QString& path);

    // Loads an unsaved titration from the journal as a record without a file,
    // so that saving it asks where; its entry goes on with its changes. On
    // failure the user is told and the open record stays.
    bool Recover(const JournalEntry& entry);

    // The record's file, empty for a record never opened or saved.
    const QString& Path() const { return path_; }

    // The file name, or "Безымянный".
    QString Title() const;

private:
    void EnterHistory();
    // Another record is in place: the hook, then the redraw.
    void Replaced();

    SharedState& state_;
    Prompter& prompter_;
    RecentFiles& recent_;
    Journal* journal_ = nullptr;
    UserStore* store_ = nullptr;
    std::function<void()> onReplaced_;
    QString path_;
};

}  // namespace kelm
