#include "link/PortProblem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "core/FileReader.h"
#include "link/InstrumentLink.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#define KELM_POSIX_PORTS 1
#endif

namespace kelm {

namespace {

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text += part;
    }
    return text;
}

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

#ifdef KELM_POSIX_PORTS

// A lock file is a line or two; more, or anything but a regular file, is not
// a lock file (and a FIFO is never opened, so nothing waits on it).
std::string ReadSmallFile(const std::filesystem::path& path) {
    ReadResult file = ReadWholeFile(path, 4096);
    return file.status == ReadStatus::Read ? std::move(file.bytes) : std::string();
}

bool ProcessAlive(int pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

std::string ProcessName(int pid, const std::string& fromLockFile) {
    const std::string comm =
        std::string(TrimBlanks(ReadSmallFile("/proc/" + std::to_string(pid) + "/comm")));
    return comm.empty() ? fromLockFile : comm;
}

std::string UserName(uid_t uid) {
    const passwd* pw = getpwuid(uid);
    return pw != nullptr ? pw->pw_name : std::to_string(uid);
}

AccessFacts FactsOf(const struct stat& st) {
    AccessFacts facts;
    const passwd* me = getpwuid(getuid());
    facts.user = me != nullptr ? me->pw_name : "$USER";
    facts.owner = UserName(st.st_uid);
    facts.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (const group* gr = getgrgid(st.st_gid)) {
        facts.group = gr->gr_name;
        for (char** member = gr->gr_mem; member != nullptr && *member != nullptr; ++member) {
            facts.listedInGroup = facts.listedInGroup || facts.user == *member;
        }
    } else {
        facts.group = std::to_string(st.st_gid);
    }
    facts.listedInGroup = facts.listedInGroup || (me != nullptr && me->pw_gid == st.st_gid);
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && getgroups(count, groups.data()) == count) {
        facts.inGroupNow = std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
    }
    facts.inGroupNow = facts.inGroupNow || getegid() == st.st_gid;
    return facts;
}

// The lock file names of the device under the name given and its real one.
std::vector<std::string> AllLockFileNames(std::string_view device) {
    std::vector<std::string> names = LockFileNames(device);
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(std::string(device), ec);
    if (!ec) {
        for (std::string& name : LockFileNames(real.string())) {
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

// A live process that holds a lock file of the device, if any.
std::optional<LockOwner> LockHolder(std::string_view device,
                                    const std::vector<std::string>& lockFolders) {
    const std::vector<std::string> names = AllLockFileNames(device);
    for (const std::string& folder : lockFolders) {
        for (const std::string& name : names) {
            const std::optional<LockOwner> owner =
                ParseLockFile(ReadSmallFile(std::filesystem::path(folder) / name));
            if (owner && ProcessAlive(owner->pid)) {
                return LockOwner{owner->pid, ProcessName(owner->pid, owner->program)};
            }
        }
    }
    return std::nullopt;
}

#endif

}  // namespace

std::optional<LockOwner> ParseLockFile(std::string_view content) {
    const std::string_view text = TrimBlanks(content.substr(0, content.find('\n')));
    if (!text.empty() &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (text.size() > 9) {
            return std::nullopt;  // no process has such a number
        }
        LockOwner owner;
        for (char c : text) {
            owner.pid = owner.pid * 10 + (c - '0');
        }
        if (owner.pid == 0) {
            return std::nullopt;
        }
        // QLockFile: the program's name on the second line.
        const std::size_t lineEnd = content.find('\n');
        if (lineEnd != std::string_view::npos) {
            const std::string_view rest = content.substr(lineEnd + 1);
            owner.program = std::string(TrimBlanks(rest.substr(0, rest.find('\n'))));
        }
        return owner;
    }
    if (content.size() == 4) {
        // The old binary form: the pid as an int of this machine.
        int pid = 0;
        std::memcpy(&pid, content.data(), sizeof pid);
        if (pid > 0) {
            return LockOwner{pid, {}};
        }
    }
    return std::nullopt;
}

std::vector<std::string> LockFileNames(std::string_view device) {
    std::vector<std::string> names;
    std::string_view rest = device;
    if (rest.starts_with("/dev/")) {
        rest.remove_prefix(5);
    }
    std::string qtName(rest);
    std::replace(qtName.begin(), qtName.end(), '/', '_');
    if (!qtName.empty()) {
        names.push_back("LCK.." + qtName);
    }
    const std::string_view last = device.substr(device.rfind('/') + 1);
    if (!last.empty() && (names.empty() || "LCK.." + std::string(last) != names.front())) {
        names.push_back("LCK.." + std::string(last));
    }
    return names;
}

PortProblem NoDeviceProblem(int port) {
    return {PortProblemKind::NoDevice,
            Joined({"Порту COM", std::to_string(port),
                    " не назначено устройство: подключите переходник или назовите устройство "
                    "в файле kelm.ports."}),
            "нет устройства"};
}

PortProblem NoPermissionProblem(std::string_view device, const AccessFacts& facts) {
    std::string text;
    if (facts.group.empty()) {
        text = Joined({"Нет доступа к ", device, "."});
    } else if (facts.groupMayReadWrite && !facts.inGroupNow && facts.listedInGroup) {
        text = Joined({"Нет доступа к ", device, ": вы уже в группе ", facts.group,
                       ", но это вступит в силу после нового входа в систему."});
    } else if (facts.groupMayReadWrite && !facts.inGroupNow) {
        text = Joined({"Нет доступа к ", device, ": им могут пользоваться члены группы ",
                       facts.group, ". Добавьте себя в эту группу командой\n    sudo usermod -aG ",
                       facts.group, " ", facts.user, "\nи войдите в систему заново."});
    } else {
        text = Joined({"Нет доступа к ", device, ": права устройства (владелец ", facts.owner,
                       ", группа ", facts.group, ") не разрешают вам чтение и запись."});
    }
    return {PortProblemKind::NoPermission, std::move(text), "нет доступа"};
}

PortProblem HeldProblem(std::string_view device, int pid, std::string_view program) {
    if (pid == 0) {
        return {PortProblemKind::Held, Joined({"Порт ", device, " занят другой программой."}),
                "занят"};
    }
    const std::string process = "процесс " + std::to_string(pid);
    if (program.empty()) {
        return {PortProblemKind::Held,
                Joined({"Порт ", device, " занят другой программой (", process, ")."}), "занят"};
    }
    return {PortProblemKind::Held,
            Joined({"Порт ", device, " занят другой программой: ", program, " (", process, ")."}),
            Joined({"занят: ", program})};
}

PortProblem ProblemFromErrno(int error, std::string_view device, const AccessFacts& facts) {
    switch (error) {
        case EACCES:
        case EPERM:
            return NoPermissionProblem(device, facts);
        case EBUSY:
            return HeldProblem(device, 0, {});
        case ENOENT:
        case ENOTDIR:
        case ENODEV:
        case ENXIO:
            return {PortProblemKind::Gone,
                    Joined({"Устройство ", device, " не найдено: прибор или переходник отключён."}),
                    "отключён"};
        case ENOTTY:
            return {PortProblemKind::Failed,
                    Joined({"Устройство ", device, " не является последовательным портом."}),
                    "не порт"};
        case EIO:
            return {PortProblemKind::Failed,
                    Joined({"Порт ", device,
                            " не открывается: устройство сообщает об ошибке ввода-вывода."}),
                    "не открывается"};
        default:
            return {PortProblemKind::Failed,
                    Joined({"Порт ", device, " не открывается (ошибка ", std::to_string(error),
                            ": ", std::strerror(error), ")."}),
                    "не открывается"};
    }
}

std::vector<std::string> SystemLockFolders() {
    return {"/var/lock", "/run/lock", "/tmp", "/var/tmp"};
}

std::optional<std::string> ForeignLockFile(std::string_view device,
                                           const std::vector<std::string>& lockFolders) {
#ifdef KELM_POSIX_PORTS
    const std::vector<std::string> names = AllLockFileNames(device);
    for (const std::string& folder : lockFolders) {
        for (const std::string& name : names) {
            const std::string path = (std::filesystem::path(folder) / name).string();
            struct stat st {};
            if (lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
                return path;
            }
        }
    }
#else
    (void)device;
    (void)lockFolders;
#endif
    return std::nullopt;
}

PortProblem DiagnoseOpenFailure(std::string_view device,
                                const std::vector<std::string>& lockFolders) {
#ifdef KELM_POSIX_PORTS
    const std::string path(device);
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return ProblemFromErrno(errno, device, {});
    }
    // errno is taken before the user and group look-ups can change it.
    if (access(path.c_str(), R_OK | W_OK) != 0) {
        const int error = errno;
        return ProblemFromErrno(error, device, FactsOf(st));
    }
    if (const std::optional<LockOwner> holder = LockHolder(device, lockFolders)) {
        return HeldProblem(device, holder->pid, holder->program);
    }
    if (const std::optional<std::string> foreign = ForeignLockFile(device, lockFolders)) {
        return {PortProblemKind::Held,
                Joined({"Порт ", device, " занят: на месте его файла блокировки ", *foreign,
                        " стоит не файл; удалите его."}),
                "занят"};
    }
    // Non-blocking, so a modem line cannot keep it waiting; closed at once.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return ProblemFromErrno(error, device, FactsOf(st));
    }
    const bool terminal = isatty(fd) != 0;
    close(fd);
    if (!terminal) {
        return ProblemFromErrno(ENOTTY, device, {});
    }
#else
    (void)lockFolders;
#endif
    return {PortProblemKind::Failed,
            Joined({"Порт ", device, " не открылся, хотя сейчас доступен: повторите попытку."}),
            "не открылся"};
}

std::string OpenFailureText(const InstrumentLink& link) {
    if (link.LastResult() != result::kPortNotOpened) {
        return {};
    }
    const std::string_view device = link.DevicePath(link.PortNumber());
    return device.empty() ? NoDeviceProblem(link.PortNumber()).text
                          : DiagnoseOpenFailure(device).text;
}

}  // namespace kelm
