// Why a port does not open: the texts from what the system says, lock files,
// and the diagnosis of real device nodes (a pseudo-terminal) under real
// permissions and a real lock held by a live process.
#include "link/PortProblem.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>

#include "support/TempDir.h"

namespace kelm {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(LockFile, ThePidAndProgramOfEachFormat) {
    const int binary = 4321;
    const std::string binaryBytes(reinterpret_cast<const char*>(&binary), sizeof binary);
    // content, pid (0: no owner), program
    const std::tuple<std::string, int, std::string> rows[] = {
        {"1234\nminicom\nlab-pc\n", 1234, "minicom"},  // QLockFile
        {"      5678\n", 5678, ""},                    // UUCP, ten columns
        {"42", 42, ""},
        {binaryBytes, 4321, ""},
        {"", 0, ""},
        {"\n\n", 0, ""},
        {"0\n", 0, ""},
        {"12ab\n", 0, ""},
        {"-5\n", 0, ""},
        {"99999999999999999999\n", 0, ""},
        {std::string("\0\0\0\0", 4), 0, ""},
    };
    for (const auto& [content, pid, program] : rows) {
        const auto owner = ParseLockFile(content);
        EXPECT_EQ(owner ? owner->pid : 0, pid) << content;
        EXPECT_EQ(owner ? owner->program : "", program) << content;
    }
}

TEST(LockFile, NamesOfQtAndOfUucpPrograms) {
    EXPECT_EQ(LockFileNames("/dev/ttyUSB0"), std::vector<std::string>{"LCK..ttyUSB0"});
    EXPECT_EQ(LockFileNames("/dev/pts/3"), (std::vector<std::string>{"LCK..pts_3", "LCK..3"}));
    EXPECT_EQ(LockFileNames("/tmp/sim"), (std::vector<std::string>{"LCK.._tmp_sim", "LCK..sim"}));
    EXPECT_EQ(LockFileNames("/dev/"), std::vector<std::string>{});
}

// A USB adapter's node, which the group dialout may use, and the user anna.
AccessFacts Dialout() {
    AccessFacts facts;
    facts.user = "anna";
    facts.owner = "root";
    facts.group = "dialout";
    facts.groupMayReadWrite = true;
    return facts;
}

TEST(PortProblemText, EachErrnoIsWordedForTheUser) {
    const AccessFacts facts = Dialout();
    const std::string d = "/dev/ttyUSB0";
    const std::string join =
        "Нет доступа к /dev/ttyUSB0: им могут пользоваться члены группы dialout. Добавьте себя "
        "в эту группу командой\n    sudo usermod -aG dialout anna\nи войдите в систему заново.";
    const std::string gone = "Устройство /dev/ttyUSB0 не найдено: прибор или переходник отключён.";
    // errno, kind, text, mark
    const std::tuple<int, PortProblemKind, std::string, std::string> rows[] = {
        {EACCES, PortProblemKind::NoPermission, join, "нет доступа"},
        {EPERM, PortProblemKind::NoPermission, join, "нет доступа"},
        {EBUSY, PortProblemKind::Held, "Порт /dev/ttyUSB0 занят другой программой.", "занят"},
        {ENOENT, PortProblemKind::Gone, gone, "отключён"},
        {ENXIO, PortProblemKind::Gone, gone, "отключён"},
        {ENODEV, PortProblemKind::Gone, gone, "отключён"},
        {ENOTTY, PortProblemKind::Failed,
         "Устройство /dev/ttyUSB0 не является последовательным портом.", "не порт"},
        {EIO, PortProblemKind::Failed,
         "Порт /dev/ttyUSB0 не открывается: устройство сообщает об ошибке ввода-вывода.",
         "не открывается"},
        {EMFILE, PortProblemKind::Failed,
         "Порт /dev/ttyUSB0 не открывается (ошибка " + std::to_string(EMFILE) + ": " +
             std::strerror(EMFILE) + ").",
         "не открывается"},
    };
    for (const auto& [error, kind, text, mark] : rows) {
        const PortProblem p = ProblemFromErrno(error, d, facts);
        EXPECT_EQ(std::tie(p.kind, p.text, p.mark), std::tie(kind, text, mark)) << error;
    }
}

TEST(PortProblemText, PermissionAdviceFollowsTheGroupAndTheSession) {
    AccessFacts facts = Dialout();
    facts.listedInGroup = true;  // added, but this session does not have it yet
    EXPECT_EQ(NoPermissionProblem("/dev/ttyUSB0", facts).text,
              "Нет доступа к /dev/ttyUSB0: вы уже в группе dialout, но это вступит в силу после "
              "нового входа в систему.");
    facts.groupMayReadWrite = false;  // the group would not help
    EXPECT_EQ(NoPermissionProblem("/dev/ttyUSB0", facts).text,
              "Нет доступа к /dev/ttyUSB0: права устройства (владелец root, группа dialout) не "
              "разрешают вам чтение и запись.");
    EXPECT_EQ(NoPermissionProblem("/dev/ttyUSB0", {}).text, "Нет доступа к /dev/ttyUSB0.");
    EXPECT_EQ(HeldProblem("/dev/ttyUSB0", 77, "minicom").text,
              "Порт /dev/ttyUSB0 занят другой программой: minicom (процесс 77).");
    EXPECT_EQ(HeldProblem("/dev/ttyUSB0", 77, "minicom").mark, "занят: minicom");
    EXPECT_EQ(HeldProblem("/dev/ttyUSB0", 77, "").text,
              "Порт /dev/ttyUSB0 занят другой программой (процесс 77).");
    EXPECT_EQ(NoDeviceProblem(3).text,
              "Порту COM3 не назначено устройство: подключите переходник или назовите "
              "устройство в файле kelm.ports.");
}

// A pseudo-terminal: a real serial device node, closed with the test.
class Terminal {
public:
    Terminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            path_ = ptsname(master_);
        }
    }
    ~Terminal() {
        if (master_ >= 0) {
            close(master_);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;
    const std::string& Path() const { return path_; }

private:
    int master_ = -1;
    std::string path_;
};

// The diagnosis as the user `uid` sees it, run in a child process that has
// become that user.
std::string DiagnoseAs(uid_t uid, gid_t gid, const std::string& device) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "no pipe";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string text = "could not change the user";
        if (setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0) {
            text = DiagnoseOpenFailure(device).text;
        }
        const ssize_t written = write(pipeEnds[1], text.data(), text.size());
        _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string text;
    char chunk[512];
    for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) {
        text.append(chunk, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return text;
}

TEST(PortDiagnosis, ADeviceTheUserMayNotOpenNamesTheGroupOrThePermissions) {
    const Terminal terminal;
    ASSERT_FALSE(terminal.Path().empty());
    const std::string& device = terminal.Path();
    if (geteuid() == 0) {
        // Root opens anything: ask as the user nobody, for a device that the
        // group dialout may use, as a USB adapter's node is.
        const group* dialout = getgrnam("dialout");
        const gid_t gid = dialout != nullptr ? dialout->gr_gid : 20;
        const std::string name = dialout != nullptr ? dialout->gr_name : "20";
        ASSERT_EQ(chown(device.c_str(), 0, gid), 0);
        ASSERT_EQ(chmod(device.c_str(), 0660), 0);
        EXPECT_EQ(DiagnoseAs(65534, 65534, device),
                  "Нет доступа к " + device + ": им могут пользоваться члены группы " + name +
                      ". Добавьте себя в эту группу командой\n    sudo usermod -aG " + name +
                      " nobody\nи войдите в систему заново.");
    } else {
        ASSERT_EQ(chmod(device.c_str(), 0), 0);
        struct stat st {};
        ASSERT_EQ(stat(device.c_str(), &st), 0);
        const group* gr = getgrgid(st.st_gid);
        const PortProblem p = DiagnoseOpenFailure(device);
        EXPECT_EQ(p.kind, PortProblemKind::NoPermission);
        EXPECT_NE(p.text.find("(владелец "), std::string::npos) << p.text;
        EXPECT_NE(p.text.find(std::string("группа ") + (gr != nullptr ? gr->gr_name : "")),
                  std::string::npos)
            << p.text;
    }
}

TEST(PortDiagnosis, ALiveLockHolderIsNamedAndAStaleLockIsNot) {
    const Terminal terminal;
    ASSERT_FALSE(terminal.Path().empty());
    const TempDir locks;
    const pid_t holder = fork();
    if (holder == 0) {
        pause();  // holds the lock until killed
        _exit(0);
    }
    // The lock file as Qt writes it for this device.
    WriteBytes(locks / LockFileNames(terminal.Path()).front(),
               std::to_string(holder) + "\nsome-program\nlab-pc\n");
    const std::string comm = test::ReadBytes("/proc/self/comm");
    const std::string program = comm.substr(0, comm.find('\n'));  // the child has our name
    PortProblem p = DiagnoseOpenFailure(terminal.Path(), {locks.path().string()});
    EXPECT_EQ(std::tie(p.kind, p.text),
              std::make_tuple(PortProblemKind::Held,
                              "Порт " + terminal.Path() + " занят другой программой: " + program +
                                  " (процесс " + std::to_string(holder) + ")."));

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    // The holder is gone: the device opens now, so the failure was passing.
    p = DiagnoseOpenFailure(terminal.Path(), {locks.path().string()});
    EXPECT_EQ(p.kind, PortProblemKind::Failed);
    EXPECT_EQ(p.text,
              "Порт " + terminal.Path() + " не открылся, хотя сейчас доступен: повторите попытку.");
}

TEST(PortDiagnosis, AMissingDeviceIsGone) {
    const TempDir dir;
    const std::string device = (dir / "ttyUSB9").string();
    const PortProblem p = DiagnoseOpenFailure(device);
    EXPECT_EQ(
        std::tie(p.kind, p.text),
        std::make_tuple(PortProblemKind::Gone,
                        "Устройство " + device + " не найдено: прибор или переходник отключён."));
}

}  // namespace
}  // namespace kelm
