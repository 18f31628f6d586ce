// The one way Kelm writes a file: result files from the window and from
// kelmtool, kelm.cfg, images and PDFs. Either the whole new content is in
// place or the old file is left whole; no temporary file stays behind.
//
// - A regular file is replaced atomically: the bytes go to a temporary file
//   beside it, which is flushed to the disk and renamed over it, so a crash or
//   a power cut leaves the old file or the new one. The new file keeps the old
//   one's permission bits and, where the system allows it, its owner and
//   group; when the group cannot be kept, the group's permissions are dropped
//   rather than handed to another group. A file its user may not write is
//   refused, as a protected file should be.
// - A symbolic link is followed: its target is replaced and the link stays.
// - A file with other hard links: this name gets the new content, the other
//   names keep the old one whole. Writing in place would keep the links but
//   leave every name half written when the write fails.
// - A device or a FIFO (/dev/null, /dev/stdout, a pipe a script reads) is
//   written straight into, as every Unix tool does; there is no file to keep.
//   A FIFO that no program reads is refused at once instead of waiting.
// - A folder is refused.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace kelm {

enum class WriteStatus {
    Written,
    Failed,          // nothing changed: the old file, if there was one, is whole
    Folder,          // the path is a folder
    WriteProtected,  // the file is there but its user may not write it
    NoReader,        // a FIFO that no program reads
    StreamFailed,    // a device or a FIFO refused the bytes or took only part
};

struct WriteResult {
    WriteStatus status = WriteStatus::Written;
    std::error_code error;  // the system's reason, where there is one
    bool Written() const { return status == WriteStatus::Written; }
};

WriteResult WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace kelm
