#include "core/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/FileDescriptor.h"

namespace kelm {

namespace {

ReadResult Failure(ReadStatus status, int error = 0) {
    ReadResult result;
    result.status = status;
    if (error != 0) {
        result.error = std::error_code(error, std::generic_category());
    }
    return result;
}

// Anything but Read for what a regular file of at most `limit` bytes is not.
ReadStatus Judge(const struct stat& info, std::size_t limit) {
    if (S_ISDIR(info.st_mode)) {
        return ReadStatus::Folder;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadStatus::NotAFile;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        return ReadStatus::TooLarge;
    }
    return ReadStatus::Read;
}

}  // namespace

ReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t limit) {
    // Judged before it is opened: opening a FIFO waits for a writer, and
    // opening a terminal can change its lines.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Failure(ReadStatus::CannotOpen, errno);
    }
    if (const ReadStatus judged = Judge(info, limit); judged != ReadStatus::Read) {
        return Failure(judged);
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        return Failure(ReadStatus::CannotOpen, errno);
    }
    // The name may have been given to something else in between.
    if (::fstat(file.get(), &info) != 0) {
        return Failure(ReadStatus::Failed, errno);
    }
    if (const ReadStatus judged = Judge(info, limit); judged != ReadStatus::Read) {
        return Failure(judged);
    }

    ReadResult result;
    // One byte more than the size: a file that grew since shows it at once.
    result.bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == result.bytes.size()) {
            if (got > limit) {
                return Failure(ReadStatus::TooLarge);
            }
            result.bytes.resize(std::min(limit + 1, 2 * got + 4096));
        }
        const ::ssize_t n =
            ::read(file.get(), result.bytes.data() + got, result.bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failure(ReadStatus::Failed, errno);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) {
        return Failure(ReadStatus::TooLarge);
    }
    result.bytes.resize(got);
    return result;
}

}  // namespace kelm
