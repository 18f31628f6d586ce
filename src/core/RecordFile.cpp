#include "core/RecordFile.h"

#include "core/RecordNotes.h"
#include "core/ResultFile.h"
#include "core/SharedState.h"

namespace kelm {

RecordFileResult ReadRecordFile(SharedState& state, const std::filesystem::path& path,
                                MessageStyle style) {
    const ReadResult read = ReadWholeFile(path);
    if (read.status != ReadStatus::Read) {
        return {RecordFileStatus::NotRead, ReadFailureMessage(read, path, style), {}};
    }
    std::vector<NoteIssue> issues;
    const LoadStatus load = LoadRecord(state, read.bytes, &issues);
    if (load == LoadStatus::Loaded) {
        // Each of kelmtool's lines names the file, as its other lines do.
        return {RecordFileStatus::Done,
                {},
                NoteIssuesMessage(issues, style,
                                  style == MessageStyle::Window ? "" : path.string() + ": ")};
    }
    std::string message(LoadFailureMessage(load));
    if (style == MessageStyle::Tool) {
        message = path.string() + ": " + message;
    }
    return {load == LoadStatus::NoData ? RecordFileStatus::NoData : RecordFileStatus::UnexpectedEnd,
            message,
            {}};
}

RecordFileResult WriteRecordFile(const SharedState& state, const std::filesystem::path& path,
                                 MessageStyle style) {
    const WriteResult written = WriteWholeFile(path, SaveRecord(state));
    if (written.Written()) {
        return {};
    }
    return {RecordFileStatus::NotWritten, WriteFailureMessage(written, path, style), {}};
}

}  // namespace kelm
