// A result file on disk, as the window and kelmtool both take it: read it,
// load it, save it, and word what went wrong for the one who asked.
#pragma once

#include <filesystem>
#include <string>

#include "core/FileMessages.h"

namespace kelm {

struct SharedState;

enum class RecordFileStatus {
    Done,
    NotRead,        // the file could not be read (missing, folder, device, too large...)
    NoData,         // a byte 0 before the data: a readable file without a record
    UnexpectedEnd,  // the file ends before its data does
    NotWritten,     // the file could not be written (the message says what is left)
};

struct RecordFileResult {
    RecordFileStatus status = RecordFileStatus::Done;
    std::string message;  // the failure in the asker's words; empty when done
    // A loaded file's notes that could not be read, in the asker's words;
    // the rest of the file is loaded all the same.
    std::string notice;
    bool Done() const { return status == RecordFileStatus::Done; }
};

// Loads the record of the file at `path` into `state`. A failure changes
// nothing in `state`; lines of its readable block that cannot be read are
// told in `notice`.
RecordFileResult ReadRecordFile(SharedState& state, const std::filesystem::path& path,
                                MessageStyle style);

// Saves the record of `state` to `path` through the one writer.
RecordFileResult WriteRecordFile(const SharedState& state, const std::filesystem::path& path,
                                 MessageStyle style);

}  // namespace kelm
