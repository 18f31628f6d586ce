#include "core/Journal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

#include "core/FileReader.h"
#include "core/FileWriter.h"
#include "core/LocalCalendar.h"
#include "core/ResultFile.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#define KELM_JOURNAL_LOCKS 1
#endif

namespace kelm {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kEntryExtension = ".kel";
constexpr std::string_view kLockExtension = ".lock";
// A journal entry is a result file of a few tens of kilobytes at most.
constexpr std::uintmax_t kLargestEntry = 1 << 20;
// A temporary file this old belongs to a writer that died mid-write.
constexpr std::time_t kStaleTemporarySeconds = 60;

fs::path LockFileOf(const fs::path& entry) {
    fs::path lock = entry;
    lock += kLockExtension;
    return lock;
}

std::time_t WrittenAt(const fs::path& file) {
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(file, error);
    if (error) {
        return 0;
    }
    return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(time));
}

bool ReadEntryFile(const fs::path& file, std::string& bytes) {
    ReadResult read = ReadWholeFile(file, kLargestEntry);
    bytes = std::move(read.bytes);
    return read.status == ReadStatus::Read;
}

bool IsEntryName(const fs::path& file) {
    return file.extension() == kEntryExtension;
}

bool IsTemporaryName(const fs::path& file) {
    return file.extension() == ".tmp";
}

}  // namespace

// An advisory lock on "<entry>.lock", held while a program writes the entry,
// so that a second program running at the same time neither offers nor
// prunes it.
struct Journal::Lock {
#if KELM_JOURNAL_LOCKS
    int fd = -1;
    fs::path file;

    // Takes the lock; false when another holder has it.
    bool Take(const fs::path& entry) {
        file = LockFileOf(entry);
        fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            return true;  // no lock file possible: write unguarded rather than not at all
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            fd = -1;
            return false;
        }
        return true;
    }
    ~Lock() {
        if (fd >= 0) {
            std::error_code error;
            fs::remove(file, error);
            ::close(fd);
        }
    }
#else
    bool Take(const fs::path&) {
        return true;
    }
#endif
};

namespace {

// True when another program holds the entry's lock now.
bool HeldElsewhere(const fs::path& entry) {
#if KELM_JOURNAL_LOCKS
    const fs::path lock = LockFileOf(entry);
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
#else
    (void)entry;
    return false;
#endif
}

}  // namespace

fs::path DefaultJournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state != '\0') {
        return fs::path(state) / "kelm" / "journal";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return fs::path(home) / ".local" / "state" / "kelm" / "journal";
    }
    return {};
}

bool ReadJournalEntry(std::string_view bytes, JournalEntry& entry) {
    const auto scratch = std::make_unique<SharedState>();
    if (LoadRecord(*scratch, bytes) != LoadStatus::Loaded || PointCount(scratch->record) == 0) {
        return false;
    }
    entry.startTime = scratch->record.startTime;
    entry.startTimeKnown = scratch->record.startTimeKnown != 0;
    entry.pointCount = PointCount(scratch->record);
    entry.description = std::string(DescriptionView(scratch->record));
    return true;
}

Journal::Journal(fs::path folder) : folder_(std::move(folder)) {}

Journal::~Journal() = default;

fs::path Journal::NewEntryName() const {
    const std::tm local = LocalCalendar(std::time(nullptr));
    std::random_device device;
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%08x", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<unsigned>(device()));
    fs::path file = folder_ / name;
    file += kEntryExtension;
    return file;
}

Journal::Write Journal::Keep(const SharedState& state) {
    if (PointCount(state.record) == 0) {
        return Write::Skipped;
    }
    if (folder_.empty()) {
        return Write::Failed;
    }
    if (current_.empty()) {
        std::error_code error;
        // The entries are the user's measurements: the folder is theirs alone.
        if (fs::create_directories(folder_, error)) {
            fs::permissions(folder_, fs::perms::owner_all, error);
        }
        auto lock = std::make_unique<Lock>();
        fs::path name = NewEntryName();
        if (error || fs::exists(name, error) || !lock->Take(name)) {
            return Write::Failed;
        }
        current_ = std::move(name);
        lock_ = std::move(lock);
    }
    return WriteWholeFile(current_, SaveRecord(state)).Written() ? Write::Written : Write::Failed;
}

void Journal::Release() {
    lock_.reset();
    current_.clear();
}

void Journal::EndSaved() {
    if (!current_.empty()) {
        std::error_code error;
        fs::remove(current_, error);
    }
    Release();
}

void Journal::EndReplaced() {
    Release();
}

void Journal::Adopt(const fs::path& file) {
    Release();
    auto lock = std::make_unique<Lock>();
    if (lock->Take(file)) {
        current_ = file;
        lock_ = std::move(lock);
    }
}

std::vector<JournalEntry> Journal::Entries() const {
    std::vector<JournalEntry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const fs::path& file = it->path();
        if (!IsEntryName(file) || file == current_ || HeldElsewhere(file)) {
            continue;
        }
        std::string bytes;
        JournalEntry entry;
        if (ReadEntryFile(file, bytes) && ReadJournalEntry(bytes, entry)) {
            entry.file = file;
            entry.written = WrittenAt(file);
            entries.push_back(std::move(entry));
        }
    }
    std::sort(entries.begin(), entries.end(), [](const JournalEntry& a, const JournalEntry& b) {
        return a.written != b.written ? a.written > b.written : a.file > b.file;
    });
    return entries;
}

void Journal::Prune(std::time_t now) const {
    struct Found {
        fs::path file;
        std::time_t written;
    };
    std::vector<Found> found;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const fs::path& file = it->path();
        const std::time_t written = WrittenAt(file);
        if (IsTemporaryName(file) && now - written > kStaleTemporarySeconds) {
            std::error_code ignored;
            fs::remove(file, ignored);
        } else if (IsEntryName(file) && file != current_ && !HeldElsewhere(file)) {
            found.push_back({file, written});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.written > b.written; });
    constexpr std::time_t kMaxAge = std::time_t{kJournalMaxAgeDays} * 24 * 3600;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (i >= kJournalMaxEntries || now - found[i].written > kMaxAge) {
            std::error_code ignored;
            fs::remove(found[i].file, ignored);
            fs::remove(LockFileOf(found[i].file), ignored);
        }
    }
}

}  // namespace kelm
