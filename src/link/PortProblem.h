// Why a serial port could not be opened, in plain words, as far as the system
// tells: the device is gone, the user may not open it (and the one command
// that lets them), another program holds it (and which, by its lock file).
// The texts are UTF-8; the port list shows the short mark after an entry, the
// connection check and kelmtool the full text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelm {

class InstrumentLink;

enum class PortProblemKind {
    None,
    NoDevice,      // the COM number has no device
    Gone,          // the device is not there (unplugged, simulator stopped)
    NoPermission,  // it is there, but this user may not open it
    Held,          // another program has it open
    Failed,        // it is there and refuses for another reason
};

struct PortProblem {
    PortProblemKind kind = PortProblemKind::None;
    std::string text;  // the full reason
    std::string mark;  // a few words for the port list
};

// What the system says about the device and the user, for the permission text.
struct AccessFacts {
    std::string user;   // the login name
    std::string owner;  // the device's owner
    std::string group;  // the device's group
    bool groupMayReadWrite = false;
    bool inGroupNow = false;     // the running program has the group
    bool listedInGroup = false;  // the user is a member, from the next login on
};

// The owner of a lock file as QLockFile ("pid\nprogram\nhost") or UUCP
// programs ("      1234\n", or the pid as 4 binary bytes) write it.
struct LockOwner {
    int pid = 0;
    std::string program;  // from the file itself; empty when it names none
};
std::optional<LockOwner> ParseLockFile(std::string_view content);

// The names a lock file of the device may have: what follows "/dev/" with
// slashes as "_" (Qt's), and the last component (UUCP programs'), with "LCK.."
// in front.
std::vector<std::string> LockFileNames(std::string_view device);

PortProblem NoDeviceProblem(int port);
PortProblem NoPermissionProblem(std::string_view device, const AccessFacts& facts);
// `pid` 0: the program is unknown.
PortProblem HeldProblem(std::string_view device, int pid, std::string_view program);
// The reason an open() of the device failed with `error` (an errno value).
PortProblem ProblemFromErrno(int error, std::string_view device, const AccessFacts& facts);

// Where serial-port programs put their lock files.
std::vector<std::string> SystemLockFolders();

// A lock file name of the device that something other than a regular file
// holds (a FIFO, a device, a folder): opening the port would wait on it for
// ever, because the port's own locking reads what stands there. Its path,
// or nothing.
std::optional<std::string> ForeignLockFile(std::string_view device,
                                           const std::vector<std::string>& lockFolders);

// Looks at the device after an open failed: whether it exists, whether the
// user may open it, whether a live process holds its lock file in one of
// `lockFolders` or something else stands at its name, and at last what a
// plain open() of it says.
PortProblem DiagnoseOpenFailure(std::string_view device,
                                const std::vector<std::string>& lockFolders = SystemLockFolders());

// The full reason when the link's last exchange could not open its port;
// empty otherwise.
std::string OpenFailureText(const InstrumentLink& link);

}  // namespace kelm
