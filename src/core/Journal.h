// The journal of unsaved titrations: every record that holds points the user
// has not saved is kept, whole, as a result file in the user's state folder,
// rewritten after each change, so that a crash, a power cut or a New pressed
// by mistake loses nothing. It never touches a file of the user's: saving the
// record ends its entry, and recovery loads an entry as a record without a file.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/SharedState.h"

namespace kelm {

inline constexpr int kJournalMaxEntries = 50;
inline constexpr int kJournalMaxAgeDays = 30;

// One unsaved titration found in the journal.
struct JournalEntry {
    std::filesystem::path file;
    std::time_t written = 0;  // when it was last written
    StartTime startTime{};
    bool startTimeKnown = false;
    int pointCount = 0;
    std::string description;  // code page 1251
};

// $XDG_STATE_HOME/kelm/journal, else ~/.local/state/kelm/journal; empty when
// neither variable is set.
std::filesystem::path DefaultJournalFolder();

class Journal {
public:
    explicit Journal(std::filesystem::path folder);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }

    enum class Write {
        Written,  // the entry on disk is the record now
        Skipped,  // the record holds no point: nothing to keep
        Failed,   // the folder or the disk refused it; the previous entry is whole
    };

    // After any change of the record: writes it whole into the current entry,
    // opening a new one for a record that has none yet.
    Write Keep(const SharedState& state);

    // The record was saved to a file of the user's: its entry is removed.
    void EndSaved();
    // The record was replaced (New, Open, a recovered entry): its entry stays
    // in the journal as it is, for a later recovery.
    void EndReplaced();

    // Makes `file` (an entry listed by Entries) the current entry, so that
    // changes of the recovered record go on into it and a save removes it.
    void Adopt(const std::filesystem::path& file);

    // The entries other running programs are not writing, newest first;
    // files that are not whole result files are passed over.
    std::vector<JournalEntry> Entries() const;

    // Removes the entries older than 30 days and all but the newest 50.
    void Prune(std::time_t now) const;

    // True when the record's changes go into an entry now.
    bool HasCurrentEntry() const { return !current_.empty(); }
    const std::filesystem::path& CurrentEntry() const { return current_; }

private:
    struct Lock;

    std::filesystem::path NewEntryName() const;
    void Release();

    std::filesystem::path folder_;
    std::filesystem::path current_;
    std::unique_ptr<Lock> lock_;
};

// Reads one journal entry's facts from a result file's bytes; false when the
// bytes do not load as a record with points.
bool ReadJournalEntry(std::string_view bytes, JournalEntry& entry);

}  // namespace kelm
