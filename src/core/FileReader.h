// The one way Kelm reads a file: result files, tables to import, kelm.cfg and
// kelm.ports. Only a regular file of sensible size is read; anything else is
// refused before a byte of it is read, so a folder, a device, a FIFO without a
// writer or a file of gigabytes never aborts, blocks or fills the memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

namespace kelm {

// Far above the largest file Kelm writes (a 255-point record with a
// 1020-character description and 250 equivalence points is under 60 KB),
// with room for notes added by hand to a result file's readable part.
inline constexpr std::size_t kMaxInputFileSize = std::size_t{4} << 20;  // 4 MiB

enum class ReadStatus {
    Read,
    CannotOpen,  // missing, or not allowed; `error` says which
    Folder,      // a folder, not a file
    NotAFile,    // a device, a FIFO or a socket: never opened
    TooLarge,    // larger than the limit
    Failed,      // the system failed while reading; `error` says how
};

struct ReadResult {
    ReadStatus status = ReadStatus::Read;
    std::error_code error;  // the system's reason, for CannotOpen and Failed
    std::string bytes;      // the whole file when Read, else empty
};

// Reads the whole file at `path` (symbolic links followed).
ReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t limit = kMaxInputFileSize);

}  // namespace kelm
