#include "core/FileWriter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <random>
#include <string>

#include "core/FileDescriptor.h"

namespace kelm {

namespace {

constexpr int kNameAttempts = 16;
constexpr int kMaxLinkSteps = 40;  // as the system's own limit on link chains

WriteResult Result(WriteStatus status, int error = 0) {
    WriteResult result;
    result.status = status;
    if (error != 0) {
        result.error = std::error_code(error, std::generic_category());
    }
    return result;
}

// Writing into a pipe whose reader has gone raises SIGPIPE, which would end
// the program. It is held back while the bytes are written and, when the
// write raised it, taken off again, so the write simply fails with EPIPE.
class HeldBrokenPipe {
public:
    HeldBrokenPipe() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &before_);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigismember(&pending, SIGPIPE) == 1;
    }
    ~HeldBrokenPipe() {
        if (!pendingBefore_) {
            const timespec now{};
            while (sigtimedwait(&pipe_, nullptr, &now) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    HeldBrokenPipe(const HeldBrokenPipe&) = delete;
    HeldBrokenPipe& operator=(const HeldBrokenPipe&) = delete;

private:
    sigset_t pipe_{};
    sigset_t before_{};
    bool pendingBefore_ = false;
};

// 0, or the error that stopped the bytes.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ::ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The path the bytes go to: `path` with every symbolic link on its end
// followed, so that the link stays and its target gets the content. A link
// to nothing yet gives the name it points to.
bool FollowLinks(std::filesystem::path& path, int& error) {
    for (int step = 0; step < kMaxLinkSteps; ++step) {
        std::error_code ec;
        const std::filesystem::file_status status = std::filesystem::symlink_status(path, ec);
        if (!std::filesystem::is_symlink(status)) {
            return true;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
        if (ec) {
            error = ec.value();
            return false;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    error = ELOOP;
    return false;
}

// "<name>.<16 hex digits>.tmp" beside `path`.
std::filesystem::path TemporaryName(const std::filesystem::path& path, std::mt19937_64& random) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix = ".";
    std::uint64_t bits = random();
    for (int i = 0; i < 16; ++i, bits >>= 4) {
        suffix += kHex[bits & 0xF];
    }
    suffix += ".tmp";
    std::filesystem::path temporary = path;
    temporary += suffix;
    return temporary;
}

// Creates a temporary file that no other writer has; 0 or the error.
int CreateTemporary(const std::filesystem::path& path, mode_t mode, FileDescriptor& file,
                    std::filesystem::path& temporary) {
    std::random_device device;
    std::mt19937_64 random((std::uint64_t{device()} << 32) ^ device());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = TemporaryName(path, random);
        file.Reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (file.get() >= 0) {
            return 0;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

// Gives the new file the old one's owner, group and permission bits, as far
// as the system lets this user.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 0777;
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, -1, old.st_gid) != 0) {
            // Another group now: what the old group was allowed is not its.
            mode &= ~static_cast<mode_t>(0070);
        }
    }
    ::fchmod(fd, mode);
}

// Makes a rename in `folder` durable; where a folder cannot be synced the
// rename stands all the same.
void SyncFolder(const std::filesystem::path& folder) {
    const FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

WriteResult WriteStraight(const std::filesystem::path& path, const struct stat& info,
                          std::string_view bytes) {
    // Not blocking: a FIFO without a reader fails at once with ENXIO.
    FileDescriptor stream(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (stream.get() < 0) {
        const int error = errno;
        return S_ISFIFO(info.st_mode) && error == ENXIO ? Result(WriteStatus::NoReader)
                                                        : Result(WriteStatus::StreamFailed, error);
    }
    const int flags = ::fcntl(stream.get(), F_GETFL);
    if (flags >= 0) {
        ::fcntl(stream.get(), F_SETFL, flags & ~O_NONBLOCK);  // a full pipe is waited on
    }
    int error = 0;
    {
        const HeldBrokenPipe held;
        error = WriteAll(stream.get(), bytes);
    }
    const int closeError = stream.Close();
    if (error == 0) {
        error = closeError;
    }
    return error == 0 ? Result(WriteStatus::Written) : Result(WriteStatus::StreamFailed, error);
}

WriteResult Replace(const std::filesystem::path& path, const struct stat* old,
                    std::string_view bytes) {
    FileDescriptor file;
    std::filesystem::path temporary;
    // Private until it has the old file's bits; a new file as the umask says.
    if (const int error = CreateTemporary(path, old != nullptr ? 0600 : 0666, file, temporary)) {
        return Result(WriteStatus::Failed, error);
    }
    int error = WriteAll(file.get(), bytes);
    if (error == 0 && old != nullptr) {
        KeepOwnerAndMode(file.get(), *old);
    }
    if (error == 0 && ::fsync(file.get()) != 0) {
        error = errno;
    }
    if (const int closeError = file.Close(); error == 0) {
        error = closeError;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Result(WriteStatus::Failed, error);
    }
    SyncFolder(path.parent_path());
    return Result(WriteStatus::Written);
}

}  // namespace

WriteResult WriteWholeFile(const std::filesystem::path& given, std::string_view bytes) {
    std::filesystem::path path = given;
    if (int error = 0; !FollowLinks(path, error)) {
        return Result(WriteStatus::Failed, error);
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return Result(WriteStatus::Failed, errno);
        }
        return Replace(path, nullptr, bytes);
    }
    if (S_ISDIR(info.st_mode)) {
        return Result(WriteStatus::Folder);
    }
    if (!S_ISREG(info.st_mode)) {
        return WriteStraight(path, info, bytes);
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        return Result(WriteStatus::WriteProtected);
    }
    return Replace(path, &info, bytes);
}

}  // namespace kelm
